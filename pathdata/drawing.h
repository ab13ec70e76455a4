// The drawing: what loading and translating NC files produces (the block
// store, the path records, the interpreter's state and its copy for the
// report, the range box and the display filter), and what those steps ask
// of the user interface. The Windows shell and the headless program each
// implement DrawingUi.
#pragma once

#include "definitions/machine_definition.h"
#include "definitions/tool_table.h"
#include "engine/block_store.h"
#include "engine/modal_state.h"
#include "engine/notes.h"
#include "pathdata/display_filter.h"
#include "pathdata/path_store.h"
#include "pathdata/range_box.h"

#include <cstddef>
#include <cstdint>

// One file name.
struct PathName {
    char text[kPlatPathMax];
};

// Message box icons.
enum UiIcon { kIconError, kIconExclamation, kIconQuestion };

class DrawingUi {
public:
    virtual ~DrawingUi() = default;
    // Whether the main window is shown: only then do long operations open
    // a progress dialog, and only then may anything wait for a person.
    virtual bool visible() = 0;
    // The open dialog, when the first name given is not an existing file:
    // files[0] holds that name, if any, and *count is 0 or 1; the dialog
    // fills up to capacity names. false cancels.
    virtual bool chooseOpenFiles(PathName* files, int capacity, int* count) = 0;
    // The save dialog for an export: path holds the proposed name, type the
    // export type; false cancels.
    virtual bool chooseSaveFile(char* path, size_t size, int* type) = 0;
    virtual void message(const char* caption, const char* text, UiIcon icon) = 0;
    virtual void statusText(const char* text) = 0;

    // Progress dialog with one or two bars (bar 0 and 1). step answers 1 to
    // go on and 0 once Cancel was pressed.
    virtual void progressOpen(const char* title, bool twoBars) = 0;
    virtual void progressTitle(const char* title) = 0;
    virtual int progressStep(int bar, const char* label, int percent) = 0;
    virtual void progressClose() = 0;

    // The code list, the register list and the rest of the window.
    virtual void clearCodeList() = 0;
    virtual void setCodeListCount(int32_t rows) = 0;
    virtual void selectCodeLine(int32_t row) = 0;
    virtual void clearRegisterList() = 0;
    virtual void setRegisterCell(int row, int column, const char* text) = 0;
    virtual void refreshFilterLists() = 0;
    virtual void fitAllPanes() = 0;
    virtual void refreshCommandStates() = 0;
    virtual void rememberFolder(const char* path) = 0;
    virtual void addToHistory(const char* path) = 0;
};

struct Drawing {
    NcBlockStore* blocks;
    PathRecordStore* paths;
    const MachineDefinition* machine;
    const ToolTable* tools;
    NcMachineConfig config;
    NcModalState state;        // the interpreter's, reset before every translation
    NcModalState reportState;  // copy kept after the last successful translation
    NcNotes* notes;            // what the last translation did not draw as written
    int32_t mainProgram;       // -1 while none is known
    RangeBox range;
    DisplayFilter filter;
    bool loaded;   // drawing data present
    bool tracing;  // a trace runs: loading and exporting refuse
    int lastExportType;
};

// Creates the two stores and sets everything else to its empty state;
// false (with nothing left behind) when a store cannot be created.
bool drawingCreate(Drawing* drawing, const MachineDefinition* machine, const ToolTable* tools);
void drawingDestroy(Drawing* drawing);

// Rebuilds the filter's sets: every loaded program 1..9999 and every tool
// changed in by M06 are present and shown (nothing while not loaded).
void RefreshFilterSets(Drawing* drawing);
