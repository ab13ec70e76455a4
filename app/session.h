// What lives for the whole run: the settings, the machine definition and
// the tool table, read at start-up from the settings file and the command
// line, and written back at the end.
#pragma once

#include "app/command_line.h"
#include "definitions/settings.h"
#include "definitions/machine_definition.h"
#include "definitions/tool_table.h"
#include "pathdata/export.h"

#include <string>

struct Session {
    AppSettings settings;
    MachineDefinition machine;
    ToolTable tools;
    char settingsPath[kSettingsTextSize];  // empty: the executable's .cfg
};

// Start-up: the settings, then the tool and machine files (a TDL= or MDL=
// naming an existing file replaces the remembered one; a relative name is
// looked for beside the executable, then in the current folder), then a
// pane option selects that pane alone. False when a named file was not
// found or a file was refused; problems then holds one line per file
// ("message: path"), and the remembered files are used.
bool StartSession(Session* session, const CommandLine& command, std::string* problems);
// The end of the run: settings, tool table and machine definition are
// written back. Returns 1 when all three were written.
int EndSession(const Session& session);

// The export options the session's settings give for a drawing.
ExportOptions ExportOptionsOf(const Session& session, const Drawing& drawing);
