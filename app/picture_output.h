// The tool path picture as a batch output: the view settings and the
// command line's size turned into picture settings, and the export options
// that write it.
#pragma once

#include "app/command_line.h"
#include "app/session.h"
#include "view/svg_picture.h"

// The layout, angles, display bits, colours and widths of settings, at the
// command line's size (the default size where none was given).
void PictureSettingsOf(const AppSettings& settings, const CommandLine& command,
                       PictureSettings* out);
// The export options of a batch output: those of the session, and for an
// SVG output the picture writer, with picture as its settings (kept by the
// caller for as long as the options are used).
ExportOptions BatchExportOptions(const Session& session, const Drawing& drawing,
                                 const CommandLine& command, PictureSettings* picture);
