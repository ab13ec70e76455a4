// Export of the drawing as a DXF drawing, a CSV point list or a log file
// holding the NC report.
#pragma once

#include "pathdata/drawing.h"
#include "pathdata/report.h"

#include <cstdint>

enum ExportType { kExportDxf = 0, kExportCsv = 1, kExportLog = 2, kExportSvg = 3 };

struct TextSink;
// Writes the picture of the drawing to sink (the view draws it, which this
// module cannot reach by itself). Returns 0, or the id of the message that
// says why it stopped.
using PictureWriter = int (*)(TextSink* sink, const Drawing& drawing, DrawingUi* ui,
                              const void* context);

// What an export needs besides the drawing.
struct ExportOptions {
    uint32_t colorMap[4];   // the motion styles' colours, for the DXF layers
    uint32_t displayMask;   // hidden styles give negative layer colours
    ReportInputs report;    // for the log; loaded and tracing are taken from the drawing
    PictureWriter picture;  // for kExportSvg, which only the command line asks for
    const void* pictureContext;
};

enum ExportResult { kExportNotRun = 0, kExportWritten = 1, kExportFailed = -1 };

// Writes the drawing to name (or, when name does not name an existing file,
// to the name chosen in the save dialog) as type, or the type used last
// when type is negative. A failure is shown through ui->message and its
// partial file deleted. kExportNotRun when nothing was done (no drawing, a
// trace runs, the dialog was cancelled).
ExportResult ExportDrawing(Drawing* drawing, DrawingUi* ui, const char* name, int type,
                           const ExportOptions& options);

// The proposed name of an export: the source path without its extension,
// then ".dxf", ".csv", ".log" or ".svg".
void ExportProposedName(const char* source, int type, char* out, size_t size);

// The name chosen in the save dialog made to fit the chosen type: a name
// without an extension, or ending in another type's own extension (".dxf",
// ".csv", ".log", in any case), takes the type's extension; any other
// extension is the person's choice and stays (".txt" for a CSV list, say).
// "All files" changes nothing. False when path is unchanged, also when the
// new name would not fit in size.
bool ExportNameForType(char* path, size_t size, int type);
