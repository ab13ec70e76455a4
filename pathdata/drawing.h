// The drawing: what loading and translating NC files produces (the block
// store, the path records, the interpreter's state and its copy for the
// report, the range box and the display filter), and what those steps ask
// of the user interface: prompts, progress and one change notification.
// The Windows shell and the headless program each implement DrawingUi.
#pragma once

#include "definitions/machine_definition.h"
#include "definitions/settings.h"
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

struct Drawing;

// What a load or an export asks of a person, and what it tells them.
class DrawingPrompts {
public:
    virtual ~DrawingPrompts() = default;
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
    virtual void statusText(const char*) {}
};

// The progress of a long operation, with one or two bars (bar 0 and 1).
// step answers 1 to go on and 0 to stop (Cancel, or a stop asked for by
// other means); without a dialog it is asked all the same.
class DrawingProgress {
public:
    virtual ~DrawingProgress() = default;
    virtual void progressOpen(const char*, bool /*twoBars*/) {}
    virtual void progressTitle(const char*) {}
    virtual int progressStep(int /*bar*/, const char* /*label*/, int /*percent*/) { return 1; }
    virtual void progressClose() {}
};

// What changed in a drawing (bits), for the one notification below.
enum DrawingChange : uint32_t {
    kDrawingLists = 0x1,   // blocks or ranges: the code and register lists show them anew
    kDrawingFilter = 0x2,  // the filter's sets
    kDrawingRange = 0x4,   // the range box: the panes fit it
    kDrawingState = 0x8,   // loaded or not: menus and buttons follow
};

// Whoever shows a drawing hears of its changes here.
class DrawingObserver {
public:
    virtual ~DrawingObserver() = default;
    virtual void drawingChanged(const Drawing&, uint32_t /*what*/) {}
};

// The three together, as the pipeline and the exports take them. A shell
// implements the parts it uses; progress and changes default to nothing.
// A load keeps the folder of each file and the main program's file in the
// history of settings, when given.
class DrawingUi : public DrawingPrompts, public DrawingProgress, public DrawingObserver {
public:
    virtual void rememberFolder(const char* path);
    virtual void addToHistory(const char* path);

    AppSettings* settings = nullptr;
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

// The register list's cells for axis 0-2 (X, Y, Z) of a loaded drawing: the
// axis letter and the path's range as "min,max" with three decimals.
const char* RangeCellLabel(int axis);
void RangeCellText(const Drawing& drawing, int axis, char* text, size_t size);
