#include "pathdata/drawing.h"

#include "definitions/profile_item.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <thread>

bool drawingCreate(Drawing* d, const MachineDefinition* machine, const ToolTable* tools) {
    memset(d, 0, sizeof *d);
    d->blocks = ncBlockCreate();
    d->paths = pathStoreCreate();
    d->notes = new (std::nothrow) NcNotes;
    if (d->blocks == nullptr || d->paths == nullptr || d->notes == nullptr) {
        drawingDestroy(d);
        return false;
    }
    d->machine = machine;
    d->tools = tools;
    d->mainProgram = -1;
    d->range = kDefaultRangeBox;
    ncNotesClear(d->notes);
    return true;
}

void drawingDestroy(Drawing* d) {
    // The stores' scratch files are discarded side by side: after a large
    // program, handing their cached pages back to the system is most of
    // the work. The path store touches nothing shared.
    PathRecordStore* paths = d->paths;
    std::thread helper;
    if (paths != nullptr) {
        try {
            helper = std::thread(pathStoreDestroy, paths);
            paths = nullptr;
        } catch (...) {
            // no thread to be had, or no memory for one: one after the other
        }
    }
    if (d->blocks != nullptr) ncBlockDestroy(d->blocks);
    if (paths != nullptr) pathStoreDestroy(paths);
    if (helper.joinable()) helper.join();
    delete d->notes;
    d->blocks = nullptr;
    d->paths = nullptr;
    d->notes = nullptr;
    d->loaded = false;
}

void RefreshFilterSets(Drawing* d) {
    filterClear(&d->filter);
    if (!d->loaded) return;
    for (int32_t p = ncBlockNext(d->blocks, -1); p >= 0; p = ncBlockNext(d->blocks, p)) {
        filterAddProgram(&d->filter, p);
    }
    for (int t = 0; t < kNcToolCount; ++t) {
        if (d->state.tools[t].changeCount > 0) filterAddTool(&d->filter, t);
    }
}

const char* RangeCellLabel(int axis) {
    static const char* const kAxes[3] = {"X", "Y", "Z"};
    return axis >= 0 && axis < 3 ? kAxes[axis] : "";
}

void RangeCellText(const Drawing& d, int axis, char* text, size_t size) {
    if (axis < 0 || axis >= 3) {
        snprintf(text, size, "%s", "");
        return;
    }
    snprintf(text, size, "%.3lf,%.3lf", static_cast<double>(d.reportState.pathMin[axis]),
             static_cast<double>(d.reportState.pathMax[axis]));
}

void DrawingUi::rememberFolder(const char* path) {
    const size_t folder = FolderLength(path);
    if (settings == nullptr || folder == 0) return;
    snprintf(settings->openPath, sizeof settings->openPath, "%.*s", static_cast<int>(folder - 1),
             path);
}

void DrawingUi::addToHistory(const char* path) {
    if (settings != nullptr) AddToHistory(settings, path);
}
