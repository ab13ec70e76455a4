// The load pipeline's and the exports' user interface for the Windows
// shell: file dialogs, message boxes, progress dialogs, the status text and
// the two lists. While the main window is hidden (batch runs) nothing waits
// for a person: dialogs are skipped and messages go to standard error.
#pragma once

#include "pathdata/drawing.h"
#include "dialogs/win32/common_dialogs.h"
#include "platform/win32/wide.h"

#include <windows.h>
#include <commdlg.h>

#include <string>

struct FrameState;

// Where a run without a window says what went wrong: the caller's
// standard error, when it has one (CP932 bytes, as the log files are).
void WriteStandardError(const std::string& line);

class GuiUi : public DrawingUi {
public:
    // refreshStates sets the menus' and buttons' states after the run
    // state changed; the load keeps its folder and history in the
    // window's settings.
    GuiUi(FrameState* fs, void (*refreshStates)(FrameState* fs));
    bool visible() override;
    bool chooseOpenFiles(PathName* files, int capacity, int* count) override;
    bool chooseSaveFile(char* path, size_t size, int* type) override;
    void message(const char* caption, const char* text, UiIcon icon) override;
    void statusText(const char* text) override;
    void progressOpen(const char* title, bool twoBars) override;
    void progressTitle(const char* title) override;
    int progressStep(int bar, const char* label, int percent) override;
    void progressClose() override;
    // The lists, the filter window, the panes' fit and the menus' and
    // buttons' states, as far as what changed asks.
    void drawingChanged(const Drawing& drawing, uint32_t what) override;
    // The open dialog for a machine or tool file, titled with string titleId
    // and offering only the filter of string filterId ("label|pattern|"); path holds the current
    // file (relative to the executable's folder or absolute), where the
    // dialog starts, and receives the choice. False when cancelled.
    bool chooseDefinitionFile(int titleId, int filterId, char* path, size_t size);

private:
    void showLists(const Drawing& drawing);

    FrameState* fs_;  // the window's state, which owns this
    void (*refreshStates_)(FrameState* fs);
    HWND progress_ = nullptr;
    bool twoBars_ = false;
    int quietSteps_ = 0;   // steps since the time was last looked at
    DWORD lastVisit_ = 0;  // when the dialog was last visited
};

// The multi-selection result of the open dialog (a folder, then names, or
// one full path) as separate paths; false when nothing fits.
bool SplitOpenResult(const wchar_t* result, PathName* files, int capacity, int* count);
