#include "pathdata/pipeline.h"

#include "engine/loader.h"
#include "platform/sjis.h"
#include "engine/status.h"
#include "engine/translate.h"
#include "res/strings.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// What the progress callback needs; it travels in the configuration's
// progress field, which the engine carries without looking at it.
struct LoadContext {
    Drawing* drawing;
    DrawingUi* ui;
    bool dialog;      // a progress dialog is open
    int mainPercent;  // how far the main program has run
};

// Asked with or without a dialog: a hidden run can be stopped too (the
// headless program on a signal); without a dialog the answer is 1 unless
// a stop was asked for.
int answer(LoadContext* c, int bar, const char* label, int percent) {
    return c->ui->progressStep(bar, label, percent);
}

int loadingEvent(LoadContext* c, const NcProgressEvent* e, uint32_t phase) {
    if (phase == kNcPhaseBegin) {
        c->ui->statusText(tlvString(IDS_LOADING));
        if (!c->dialog) return 1;
        c->ui->progressStep(1, tlvString(IDS_TRANSLATING), 0);
        return c->ui->progressStep(0, tlvString(IDS_LOADING), 0);
    }
    return answer(c, 0, nullptr, static_cast<int>(e->progress & 0xFFFF));
}

int translationEvent(LoadContext* c, const NcProgressEvent* e, uint32_t phase) {
    if (phase == kNcPhaseBegin) {
        c->ui->statusText(tlvString(IDS_TRANSLATING));
        ncNotesClear(c->drawing->notes);
        return 1;
    }
    if (e->state->blockNotes != 0) ncNotesTake(c->drawing->notes, e->state, e->block);
    // A record that cannot be stored would leave a silently shortened
    // drawing: stop the load and say why, like any other failure.
    if (pathStoreAppend(c->drawing->paths, e->motion) == 0) {
        ncStatus(NcStatusWriteFailed, pathStoreFailureText(c->drawing->paths).c_str());
        return 0;
    }
    // The bar follows the main program; inside a call it holds still, but
    // the question whether to go on is asked all the same, so that a long
    // run of repeats can be stopped.
    if (e->state->callLevel == 0) c->mainPercent = static_cast<int>(e->progress & 0xFFFF);
    return answer(c, 1, nullptr, c->mainPercent);
}

int LoadProgress(const NcProgressEvent* e) {
    auto* c = static_cast<LoadContext*>(e->config->progressWindow);
    if (c == nullptr) return 1;
    const uint32_t phase = ncEventPhase(e->event);
    if (phase == kNcPhaseEnd) {
        c->ui->statusText(tlvString(IDS_READY));
        return 1;
    }
    return ncEventStage(e->event) == kNcStageLoading ? loadingEvent(c, e, phase)
                                                      : translationEvent(c, e, phase);
}

// Resets everything a load rebuilds; the interpreter starts from the
// machine's modal codes.
void resetForLoad(Drawing* d, DrawingUi* ui, bool add) {
    d->loaded = false;
    ui->drawingChanged(*d, kDrawingLists);
    pathStoreClear(d->paths);
    BuildMachineConfig(*d->machine, *d->tools, &d->config, &d->state);
    RefreshFilterSets(d);
    if (add) {
        ui->drawingChanged(*d, kDrawingFilter);
        return;
    }
    d->mainProgram = -1;
    d->range = kDefaultRangeBox;
    ui->drawingChanged(*d, kDrawingFilter | kDrawingRange);
    ncBlockClear(d->blocks);
}

bool loadFiles(Drawing* d, DrawingUi* ui, const char* const* files, int count,
               NcProgressCallback callback) {
    for (int i = 0; i < count; ++i) {
        ui->rememberFolder(files[i]);
        ui->progressTitle(sjisFileName(files[i]));
        ncStatus(NcStatusNone, nullptr);
        int32_t main = -1;
        if (ncBlockLoading(d->blocks, &d->config, files[i], &main, callback) == 0) return false;
        // A numbered main program wins over an automatic one; an automatic
        // number only fills a gap.
        if (d->mainProgram == -1 || (main > 0 && main < 10000)) d->mainProgram = main;
    }
    return true;
}

bool translate(Drawing* d, NcProgressCallback callback) {
    ncStatus(NcStatusNone, nullptr);
    if (d->mainProgram == -1) d->mainProgram = ncBlockNext(d->blocks, -1);
    d->state.callLevel = 0;
    d->state.callStack[0].programNumber = d->mainProgram;
    if (ncBlockTranslate(d->blocks, &d->config, &d->state, callback) == 0) return false;
    if (pathStoreMap(d->paths) == 0) {
        ncStatus(NcStatusWriteFailed, pathStoreFailureText(d->paths).c_str());
        return false;
    }
    return true;
}

void showResult(Drawing* d, DrawingUi* ui) {
    char path[kPlatPathMax];
    if (ncBlockGetFilename(d->blocks, d->mainProgram, path, sizeof path, nullptr) == 1 &&
        path[0] != '\0') {
        ui->addToHistory(path);
    }
    d->loaded = true;
    d->reportState = d->state;
    d->range = RangeBoxOf(d->state.pathMin, d->state.pathMax);
    ui->drawingChanged(*d, kDrawingLists);
    // A drawing that is not all it seems says so where the user looks.
    if (const uint64_t notes = ncNotesTotal(d->notes); notes > 0) {
        char text[128];
        snprintf(text, sizeof text, tlvString(IDS_NOTES_COUNT),
                 static_cast<unsigned long long>(notes));
        ui->statusText(text);
    }
}

void showFailure(Drawing* d, DrawingUi* ui) {
    ui->drawingChanged(*d, kDrawingLists);
    pathStoreClear(d->paths);
    ncBlockClear(d->blocks);
    ncNotesClear(d->notes);
    d->mainProgram = -1;
    d->range = kDefaultRangeBox;
    char detail[kNcStatusTextSize];
    const uint32_t code = ncStatus(kNcStatusRead, detail);
    const char* message = tlvString(ncStatusMessageId(code));
    if (!ncStatusHasDetail(code)) {
        ui->message(tlvString(IDS_OPEN_FILE), message, kIconExclamation);
        return;
    }
    std::vector<char> text(strlen(message) + strlen(detail) + 3);
    snprintf(text.data(), text.size(), "%s\n\n%s", message, detail);
    ui->message(tlvString(IDS_OPEN_FILE), text.data(), kIconError);
}

}  // namespace

RangeBox RangeBoxOf(const float pathMin[3], const float pathMax[3]) {
    RangeBox box = kDefaultRangeBox;
    for (int i = 0; i < 3; ++i) {
        // A program without moves on an axis leaves it unset; the default
        // keeps the views' fit finite.
        if (pathMin[i] <= kNcRangeUnset || pathMax[i] <= kNcRangeUnset) continue;
        const float margin = 0.1f * (pathMax[i] - pathMin[i]);
        box.min[i] = pathMin[i] - margin;
        box.max[i] = pathMax[i] + margin;
    }
    return box;
}

int OpenNcFiles(Drawing* d, DrawingUi* ui, bool add, const char* const* files, int count) {
    if (d->tracing) return 0;
    std::vector<const char*> names(files, files + (count > 0 ? count : 0));
    std::vector<PathName> chosen(64);
    if (names.empty() || !platIsFile(names[0])) {
        if (!names.empty()) snprintf(chosen[0].text, kPlatPathMax, "%s", names[0]);
        int chosenCount = names.empty() ? 0 : 1;
        if (!ui->chooseOpenFiles(chosen.data(), static_cast<int>(chosen.size()), &chosenCount)) {
            return 0;
        }
        names.clear();
        for (int i = 0; i < chosenCount; ++i) names.push_back(chosen[i].text);
    }
    resetForLoad(d, ui, add);
    LoadContext context = {d, ui, ui->visible(), 0};
    if (context.dialog) ui->progressOpen(nullptr, true);
    d->config.progressWindow = &context;
    bool ok = loadFiles(d, ui, names.data(), static_cast<int>(names.size()), LoadProgress) &&
              translate(d, LoadProgress);
    d->config.progressWindow = nullptr;
    if (context.dialog) ui->progressClose();
    if (ok) {
        showResult(d, ui);
    } else {
        showFailure(d, ui);
    }
    RefreshFilterSets(d);
    ui->drawingChanged(*d, kDrawingFilter | kDrawingState | kDrawingRange);
    return 1;
}
