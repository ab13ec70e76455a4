#include "pathdata/export.h"

#include "platform/sjis.h"
#include "pathdata/export_writer.h"
#include "platform/ordered_pieces.h"
#include "res/strings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr const char* kExtensions[3] = {".dxf", ".csv", ".log"};

void fail(DrawingUi* ui, int messageId) {
    ui->message(tlvString(IDS_SAVE_AS), tlvString(messageId), kIconError);
}

ExportResult writeLog(Drawing* d, DrawingUi* ui, TextSink* sink, const char* path,
                      const ExportOptions& options) {
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
    ok = sinkClose(sink) && ok;
    if (ok) return kExportWritten;
    fail(ui, IDS_WRITE_FAILED);
    platFileDelete(path);
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

// Records are formatted in pieces of this many, by a helper thread and the
// caller together; the caller writes the pieces to the file in order.
constexpr int kPieceRecords = 8192;
constexpr int kPieceSlots = 4;

// One piece of the file, composed in memory.
struct Piece {
    std::vector<char> text;
    bool ok = true;
};

struct PieceWork {
    const RecordFormat* format;
    const MotionRecord* records;
    int count;
    Piece slots[kPieceSlots];
};

void formatPiece(void* context, uint64_t k, int slot) {
    auto* work = static_cast<PieceWork*>(context);
    Piece* piece = &work->slots[slot];
    auto sink = std::make_unique<TextSink>();
    piece->text.clear();
    sinkOpenMemory(sink.get(), &piece->text);
    const int begin = static_cast<int>(k) * kPieceRecords;
    const int end = std::min(work->count, begin + kPieceRecords);
    bool ok = true;
    for (int i = begin; ok && i < end; ++i) {
        MotionRecord r;
        memcpy(&r, &work->records[i], sizeof r);
        ok = work->format->record(sink.get(), r);
    }
    piece->ok = ok && sinkFlush(sink.get());
}

// Shows how far the export is (done of count records); false when the
// person asked to stop.
bool goOn(DrawingUi* ui, bool dialog, int64_t done, int count) {
    return !dialog || ui->progressStep(0, nullptr, static_cast<int>(done * 100 / count)) != 0;
}

// The records of the mapped store, in pieces. Returns 0 or the id of the
// message that says why it stopped.
int writeMapped(DrawingUi* ui, TextSink* sink, const RecordFormat& format,
                const MotionRecord* records, int count, bool dialog) {
    PieceWork work{&format, records, count, {}};
    const uint64_t pieceCount = (static_cast<uint64_t>(count) + kPieceRecords - 1) / kPieceRecords;
    PlatOrderedPieces pieces(pieceCount, kPieceSlots, formatPiece, &work);
    pieces.start();  // without a helper the caller formats every piece
    int written = 0;
    for (int slot; (slot = pieces.next()) >= 0;) {
        if (!goOn(ui, dialog, written, count)) return IDS_ABORTED;
        const Piece& piece = work.slots[slot];
        if (!piece.ok || !sinkWriteRaw(sink, piece.text.data(), piece.text.size())) {
            return IDS_WRITE_FAILED;
        }
        written += kPieceRecords;
        pieces.release();
    }
    return 0;
}

// Records read one by one, for a store that is not mapped.
int writeUnmapped(Drawing* d, DrawingUi* ui, TextSink* sink, const RecordFormat& format, int count,
                  bool dialog) {
    for (int i = 0; i < count; ++i) {
        if (!goOn(ui, dialog, i, count)) return IDS_ABORTED;
        MotionRecord r;
        if (pathStoreRead(d->paths, i, &r) == 0) return IDS_INTERNAL_ERROR;
        if (!format.record(sink, r)) return IDS_WRITE_FAILED;
    }
    return 0;
}

// Writes every record that the display filter shows; returns 0 on
// success, else the id of the message that says why it stopped.
int writeRecords(Drawing* d, DrawingUi* ui, TextSink* sink, int type, const ExportOptions& o,
                 bool dialog) {
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
                          ? writeMapped(ui, sink, format, records, count, dialog)
                          : writeUnmapped(d, ui, sink, format, count, dialog);
    if (error != 0) return error;
    return format.trailer(sink) ? 0 : IDS_WRITE_FAILED;
}

ExportResult writeDrawing(Drawing* d, DrawingUi* ui, TextSink* sink, const char* path, int type,
                          const ExportOptions& options) {
    const bool dialog = ui->visible();
    if (dialog) {
        ui->progressOpen(tlvString(IDS_SAVE_AS), false);
        ui->progressStep(0, tlvString(IDS_WRITING), 0);
    }
    int error = writeRecords(d, ui, sink, type, options, dialog);
    if (dialog) ui->progressClose();
    if (!sinkClose(sink) && error == 0) error = IDS_WRITE_FAILED;
    if (error == 0) return kExportWritten;
    fail(ui, error);
    platFileDelete(path);
    return kExportFailed;
}

}  // namespace

void exportProposedName(const char* source, int type, char* out, size_t size) {
    const char* base = sjisFileName(source);
    size_t stem = strlen(source);
    for (const char* p = base; *p != '\0'; p += sjisCharLength(p)) {
        if (*p == '.') stem = static_cast<size_t>(p - source);
    }
    const char* ext = kExtensions[type >= 0 && type <= 2 ? type : 0];
    if (stem + strlen(ext) >= size) stem = size > strlen(ext) ? size - strlen(ext) - 1 : 0;
    snprintf(out, size, "%.*s%s", static_cast<int>(stem), source, ext);
}

ExportResult ExportDrawing(Drawing* d, DrawingUi* ui, const char* name, int type,
                           const ExportOptions& options) {
    if (type < 0) type = d->lastExportType;
    if (d->tracing || !d->loaded) return kExportNotRun;
    char path[kPlatPathMax] = {};
    if (name != nullptr) snprintf(path, sizeof path, "%s", name);
    if (!platIsFile(path)) {
        if (path[0] == '\0' || platIsDirectory(path)) {
            char source[kPlatPathMax] = {};
            ncBlockGetFilename(d->blocks, d->mainProgram, source, sizeof source, nullptr);
            exportProposedName(source, type, path, sizeof path);
        }
        if (!ui->chooseSaveFile(path, sizeof path, &type)) return kExportNotRun;
        d->lastExportType = type;
    }
    if (type < kExportDxf || type > kExportLog) return kExportWritten;  // "All files": nothing
    auto sink = std::make_unique<TextSink>();
    if (!sinkOpen(sink.get(), path)) {
        ui->message(tlvString(IDS_SAVE_AS), tlvString(IDS_CANNOT_OPEN), kIconError);
        return kExportNotRun;
    }
    if (type == kExportLog) return writeLog(d, ui, sink.get(), path, options);
    return writeDrawing(d, ui, sink.get(), path, type, options);
}
