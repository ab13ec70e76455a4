#include "pathdata/export.h"

#include "platform/sjis.h"
#include "pathdata/export_writer.h"
#include "platform/ordered_pieces.h"
#include "res/strings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kExtensions[4] = {".dxf", ".csv", ".log", ".svg"};

bool asciiEqualNoCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        if (lower(*a) != lower(*b)) return false;
    }
    return *a == *b;
}

void fail(DrawingUi* ui, int messageId) {
    ui->message(tlvString(IDS_SAVE_AS), tlvString(messageId), kIconError);
}

ExportResult writeLog(Drawing* d, DrawingUi* ui, TextSink* sink, const ExportOptions& options) {
    ReportInputs in = options.report;
    in.loaded = d->loaded;
    in.tracing = d->tracing;
    in.state = &d->reportState;
    const size_t size = BuildReportText(in, false, nullptr, 0, "\r\n");
    bool ok = true;
    if (size > 0) {
        std::vector<char> text(size + 1, '\0');
        BuildReportText(in, false, text.data(), text.size(), "\n");
        ok = sinkWrite(sink, text.data());
    }
    if (ok && sinkClose(sink)) return kExportWritten;
    sinkDiscard(sink);
    fail(ui, IDS_WRITE_FAILED);
    return kExportFailed;
}

// What turns records into text: the file type, the DXF style and the
// filter. Read-only, so that two threads can format at once.
struct RecordFormat {
    int type;
    DxfStyle style;
    const DisplayFilter* filter;

    bool header(TextSink* sink) const { return write(sink, kPhaseHeader, nullptr); }
    bool trailer(TextSink* sink) const { return write(sink, kPhaseTrailer, nullptr); }
    bool record(TextSink* sink, const MotionRecord& r) const {
        return !IsRecordShown(filter, r.programNumber, r.toolNumber) ||
               write(sink, kPhaseRecord, &r);
    }
    bool write(TextSink* sink, int phase, const MotionRecord* r) const {
        return type == kExportDxf ? WriteDxf(sink, phase, r, &style) != 0
                                  : WriteCsv(sink, phase, r) != 0;
    }
};

// Records are formatted in pieces by a helper thread and the caller
// together; the caller writes the pieces to the file in order. A piece ends
// after kPieceRecords records or once its text would pass about
// kPieceBytes, so that the pieces held at once stay small whatever the
// records hold: one cycle of 32767 holes alone is megabytes of text. A
// record bigger than that by itself is never composed in memory; the caller
// writes it straight to the file in its turn.
constexpr int kPieceRecords = 8192;
constexpr size_t kPieceBytes = 2u << 20;
constexpr int kPieceSlots = 4;

// The usual length of a record's text (its entities at about 128 bytes, CSV
// lines at 32), for cutting pieces. Not an upper bound, but in proportion
// to one: a number is never longer than 46 characters.
size_t textEstimate(int type, const MotionRecord& r) {
    const bool dxf = type == kExportDxf;
    switch (r.kind) {
        case kMotionLine: return dxf ? 128 : 32;
        case kMotionArc: return dxf ? 192 : 109 * 32;  // up to 109 CSV points
        case kMotionCycle: {
            const size_t holes =
                r.cycle.repeatCount > 1 ? static_cast<size_t>(r.cycle.repeatCount) : 1;
            return holes * (dxf ? 4 * 128 : 32);  // up to four entities per hole
        }
        default: return 0;
    }
}

// Records [begin, end) of the store. A direct span is a single record that
// the caller writes to the file itself.
struct PieceSpan {
    int begin, end;
    bool direct;
};

std::vector<PieceSpan> planPieces(const MotionRecord* records, int count, int type) {
    std::vector<PieceSpan> spans;
    int begin = 0;
    size_t bytes = 0;
    for (int i = 0; i < count; ++i) {
        const size_t size = textEstimate(type, records[i]);
        const bool alone = size > kPieceBytes;
        if (i > begin && (alone || i - begin == kPieceRecords || bytes + size > kPieceBytes)) {
            spans.push_back({begin, i, false});
            begin = i;
            bytes = 0;
        }
        if (alone) {
            spans.push_back({i, i + 1, true});
            begin = i + 1;
            continue;
        }
        bytes += size;
    }
    if (count > begin) spans.push_back({begin, count, false});
    return spans;
}

// One piece of the file, composed in memory.
struct Piece {
    std::vector<char> text;
    bool ok = true;
};

struct PieceWork {
    const RecordFormat* format;
    const MotionRecord* records;
    std::vector<PieceSpan> spans;
    Piece slots[kPieceSlots];
};

void formatPiece(void* context, uint64_t k, int slot) {
    auto* work = static_cast<PieceWork*>(context);
    Piece* piece = &work->slots[slot];
    piece->text.clear();
    piece->ok = true;
    const PieceSpan& span = work->spans[k];
    if (span.direct) return;
    auto sink = std::make_unique<TextSink>();
    sinkOpenMemory(sink.get(), &piece->text);
    bool ok = true;
    for (int i = span.begin; ok && i < span.end; ++i) {
        MotionRecord r;
        memcpy(&r, &work->records[i], sizeof r);
        ok = work->format->record(sink.get(), r);
    }
    piece->ok = ok && sinkFlush(sink.get());
}

// Shows how far the export is (done of count records); false when the
// person asked to stop. Asked with or without a dialog: a hidden run can
// be stopped too (the headless program on a signal).
bool goOn(DrawingUi* ui, int64_t done, int count) {
    return ui->progressStep(0, nullptr, static_cast<int>(done * 100 / count)) != 0;
}

// Writes a piece that was composed in memory, or a direct one record by
// record; false when a write failed.
bool writePiece(TextSink* sink, const PieceWork& work, const PieceSpan& span, const Piece& piece) {
    if (!span.direct) return piece.ok && sinkWriteRaw(sink, piece.text.data(), piece.text.size());
    for (int i = span.begin; i < span.end; ++i) {
        MotionRecord r;
        memcpy(&r, &work.records[i], sizeof r);
        if (!work.format->record(sink, r)) return false;
    }
    return true;
}

// The records of the mapped store, in pieces. Returns 0 or the id of the
// message that says why it stopped.
int writeMapped(DrawingUi* ui, TextSink* sink, const RecordFormat& format,
                const MotionRecord* records, int count) {
    PieceWork work{&format, records, planPieces(records, count, format.type), {}};
    PlatOrderedPieces pieces(work.spans.size(), kPieceSlots, formatPiece, &work);
    pieces.start();  // without a helper the caller formats every piece
    size_t k = 0;
    for (int slot; (slot = pieces.next()) >= 0; ++k) {
        if (!goOn(ui, work.spans[k].begin, count)) return IDS_ABORTED;
        if (!writePiece(sink, work, work.spans[k], work.slots[slot])) return IDS_WRITE_FAILED;
        pieces.release();
    }
    return 0;
}

// Records read one by one, for a store that is not mapped.
int writeUnmapped(Drawing* d, DrawingUi* ui, TextSink* sink, const RecordFormat& format,
                  int count) {
    for (int i = 0; i < count; ++i) {
        if (!goOn(ui, i, count)) return IDS_ABORTED;
        MotionRecord r;
        if (pathStoreRead(d->paths, i, &r) == 0) return IDS_INTERNAL_ERROR;
        if (!format.record(sink, r)) return IDS_WRITE_FAILED;
    }
    return 0;
}

// Writes every record that the display filter shows; returns 0 on
// success, else the id of the message that says why it stopped.
int writeRecords(Drawing* d, DrawingUi* ui, TextSink* sink, int type, const ExportOptions& o) {
    RecordFormat format = {type, {}, &d->filter};
    memcpy(format.style.rangeMin, d->range.min, sizeof format.style.rangeMin);
    memcpy(format.style.rangeMax, d->range.max, sizeof format.style.rangeMax);
    memcpy(format.style.colorMap, o.colorMap, sizeof format.style.colorMap);
    format.style.displayMask = o.displayMask;
    // The header and trailer frame the file even when no record is shown,
    // so that a DXF reader always gets a whole drawing.
    if (!format.header(sink)) return IDS_WRITE_FAILED;
    const int count = pathStoreCount(d->paths);
    int mapped = 0;
    const MotionRecord* records = pathStoreView(d->paths, &mapped);
    const int error = records != nullptr && mapped == count
                          ? writeMapped(ui, sink, format, records, count)
                          : writeUnmapped(d, ui, sink, format, count);
    if (error != 0) return error;
    return format.trailer(sink) ? 0 : IDS_WRITE_FAILED;
}

ExportResult writeDrawing(Drawing* d, DrawingUi* ui, TextSink* sink, int type,
                          const ExportOptions& options) {
    const bool dialog = ui->visible();
    if (dialog) {
        ui->progressOpen(tlvString(IDS_SAVE_AS), false);
        ui->progressStep(0, tlvString(IDS_WRITING), 0);
    }
    int error = writeRecords(d, ui, sink, type, options);
    if (dialog) ui->progressClose();
    if (error == 0 && sinkClose(sink)) return kExportWritten;
    // Only what this export created goes: the file it was about to put in
    // place. An existing output (or a device) stays as it was.
    sinkDiscard(sink);
    fail(ui, error != 0 ? error : IDS_WRITE_FAILED);
    return kExportFailed;
}

ExportResult writePicture(Drawing* d, DrawingUi* ui, TextSink* sink, const ExportOptions& o) {
    const int error = o.picture(sink, *d, ui, o.pictureContext);
    if (error == 0 && sinkClose(sink)) return kExportWritten;
    sinkDiscard(sink);
    fail(ui, error != 0 ? error : IDS_WRITE_FAILED);
    return kExportFailed;
}

// Shows why an output name is refused, with the name beneath the message.
void refuse(DrawingUi* ui, int messageId, const char* path) {
    const std::string text = std::string(tlvString(messageId)) + "\n\n" + path;
    ui->message(tlvString(IDS_SAVE_AS), text.c_str(), kIconError);
}

// Whether path is one of the loaded NC files, by identity rather than
// spelling: writing there would destroy the program being exported.
bool isLoadedFile(Drawing* d, const char* path) {
    char source[kPlatPathMax], previous[kPlatPathMax] = {};
    for (int32_t p = ncBlockNext(d->blocks, -1); p >= 0; p = ncBlockNext(d->blocks, p)) {
        if (ncBlockGetFilename(d->blocks, p, source, sizeof source, nullptr) != 1) continue;
        if (strcmp(source, previous) == 0) continue;  // files hold many programs
        if (platSameFile(source, path)) return true;
        memcpy(previous, source, sizeof previous);
    }
    return false;
}

}  // namespace

void ExportProposedName(const char* source, int type, char* out, size_t size) {
    const char* base = sjisFileName(source);
    size_t stem = strlen(source);
    for (const char* p = base; *p != '\0'; p += sjisCharLength(p)) {
        if (*p == '.') stem = static_cast<size_t>(p - source);
    }
    const char* ext = kExtensions[type >= 0 && type <= kExportSvg ? type : 0];
    if (stem + strlen(ext) >= size) stem = size > strlen(ext) ? size - strlen(ext) - 1 : 0;
    snprintf(out, size, "%.*s%s", static_cast<int>(stem), source, ext);
}

bool ExportNameForType(char* path, size_t size, int type) {
    if (type < kExportDxf || type > kExportLog) return false;
    const char* base = sjisFileName(path);
    const char* dot = nullptr;
    for (const char* p = base; *p != '\0'; p += sjisCharLength(p)) {
        if (*p == '.') dot = p;
    }
    const size_t stem = dot != nullptr ? static_cast<size_t>(dot - path) : strlen(path);
    if (dot != nullptr) {
        const auto known = [dot](const char* ext) { return asciiEqualNoCase(dot, ext); };
        if (known(kExtensions[type]) || std::none_of(kExtensions, kExtensions + 3, known))
            return false;
    }
    if (stem + strlen(kExtensions[type]) >= size) return false;
    strcpy(path + stem, kExtensions[type]);
    return true;
}

ExportResult ExportDrawing(Drawing* d, DrawingUi* ui, const char* name, int type,
                           const ExportOptions& options) {
    if (type < 0) type = d->lastExportType;
    if (d->tracing || !d->loaded) return kExportNotRun;
    char path[kPlatPathMax] = {};
    if (name != nullptr) snprintf(path, sizeof path, "%s", name);
    // Without a person to ask, a folder is an error rather than a reason to
    // write a name of our own choosing somewhere else.
    if (!ui->visible() && platIsDirectory(path)) {
        refuse(ui, IDS_OUTPUT_IS_FOLDER, path);
        return kExportFailed;
    }
    if (!platIsFile(path)) {
        if (path[0] == '\0' || platIsDirectory(path)) {
            char source[kPlatPathMax] = {};
            ncBlockGetFilename(d->blocks, d->mainProgram, source, sizeof source, nullptr);
            ExportProposedName(source, type, path, sizeof path);
        }
        if (!ui->chooseSaveFile(path, sizeof path, &type)) return kExportNotRun;
        // The dialog keeps the name as it was proposed when only the type
        // changed: CSV text must not land in demo.dxf. A name given without
        // a dialog (a batch run) is written as given.
        if (ui->visible()) ExportNameForType(path, sizeof path, type);
        // The save dialog offers no picture type to come back to.
        if (type != kExportSvg) d->lastExportType = type;
    }
    const bool picture = type == kExportSvg && options.picture != nullptr;
    // "All files": nothing
    if (!picture && (type < kExportDxf || type > kExportLog)) return kExportWritten;
    if (isLoadedFile(d, path)) {
        refuse(ui, IDS_OUTPUT_IS_INPUT, path);
        return kExportFailed;
    }
    auto sink = std::make_unique<TextSink>();
    if (!sinkOpen(sink.get(), path)) {
        ui->message(tlvString(IDS_SAVE_AS), tlvString(IDS_CANNOT_OPEN), kIconError);
        return kExportNotRun;
    }
    if (type == kExportLog) return writeLog(d, ui, sink.get(), options);
    if (picture) return writePicture(d, ui, sink.get(), options);
    return writeDrawing(d, ui, sink.get(), type, options);
}
