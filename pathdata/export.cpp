#include "pathdata/export.h"

#include "platform/sjis.h"
#include "pathdata/export_writer.h"
#include "res/strings.h"

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

// Writes every record that the display filter shows; returns 0 on
// success, else the id of the message that says why it stopped.
int writeRecords(Drawing* d, DrawingUi* ui, TextSink* sink, int type, const ExportOptions& o,
                 bool dialog) {
    DxfStyle style = {};
    memcpy(style.rangeMin, d->range.min, sizeof style.rangeMin);
    memcpy(style.rangeMax, d->range.max, sizeof style.rangeMax);
    memcpy(style.colorMap, o.colorMap, sizeof style.colorMap);
    style.displayMask = o.displayMask;
    auto write = [&](int phase, const MotionRecord* r) {
        return type == kExportDxf ? WriteDxf(sink, phase, r, &style) : WriteCsv(sink, phase, r);
    };
    // The header and trailer frame the file even when no record is shown,
    // so that a DXF reader always gets a whole drawing.
    if (!write(kPhaseHeader, nullptr)) return IDS_WRITE_FAILED;
    const int count = pathStoreCount(d->paths);
    for (int i = 0; i < count; ++i) {
        const int percent = static_cast<int>(static_cast<int64_t>(i) * 100 / count);
        if (dialog && ui->progressStep(0, nullptr, percent) == 0) return IDS_ABORTED;
        MotionRecord r;
        if (pathStoreRead(d->paths, i, &r) == 0) return IDS_INTERNAL_ERROR;
        if (!IsRecordShown(&d->filter, r.programNumber, r.toolNumber)) continue;
        if (!write(kPhaseRecord, &r)) return IDS_WRITE_FAILED;
    }
    return write(kPhaseTrailer, nullptr) ? 0 : IDS_WRITE_FAILED;
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
