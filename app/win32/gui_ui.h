// The load pipeline's and the exports' user interface for the Windows
// shell: file dialogs, message boxes, progress dialogs, the status text and
// the two lists. While the main window is hidden (batch runs) nothing waits
// for a person: dialogs are skipped and messages go to standard error.
#pragma once

#include "pathdata/drawing.h"
#include "platform/win32/wide.h"

#include <windows.h>
#include <commdlg.h>

#include <string>

// Every message box of the shell goes through here, so that a test can
// answer it instead of a person: the hook gets what MessageBoxW would and
// returns the button id.
using MessageBoxHook = int (*)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
void tlvSetMessageBoxHook(MessageBoxHook hook);
int tlvMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// Every open and save dialog of the shell goes through here, for the same
// reason: the hook gets the filled-in OPENFILENAMEW, answers as the dialog
// would (true for confirmed, the choice in lpstrFile and nFilterIndex).
using FileDialogHook = bool (*)(OPENFILENAMEW* ofn, bool save);
void tlvSetFileDialogHook(FileDialogHook hook);
bool tlvFileDialog(OPENFILENAMEW* ofn, bool save);

// Where a run without a window says what went wrong: the caller's
// standard error, when it has one (CP932 bytes, as the log files are).
void writeStandardError(const std::string& line);

// A string-table text as UTF-16, empty when the id is unknown.
std::wstring tlvLoadString(HINSTANCE instance, UINT id);

class GuiUi : public DrawingUi {
public:
    explicit GuiUi(HWND frame) : frame_(frame) {}
    bool visible() override;
    bool chooseOpenFiles(PathName* files, int capacity, int* count) override;
    bool chooseSaveFile(char* path, size_t size, int* type) override;
    void message(const char* caption, const char* text, UiIcon icon) override;
    void statusText(const char* text) override;
    void progressOpen(const char* title, bool twoBars) override;
    void progressTitle(const char* title) override;
    int progressStep(int bar, const char* label, int percent) override;
    void progressClose() override;
    void clearCodeList() override;
    void setCodeListCount(int32_t rows) override;
    void selectCodeLine(int32_t row) override;
    void clearRegisterList() override;
    void setRegisterCell(int row, int column, const char* text) override;
    void refreshFilterLists() override;
    void fitAllPanes() override;
    void refreshCommandStates() override;
    void rememberFolder(const char* path) override;
    void addToHistory(const char* path) override;
    // The open dialog for a machine or tool file, titled with string titleId
    // and offering only filter ("label|pattern|"); path holds the current
    // file (relative to the executable's folder or absolute), where the
    // dialog starts, and receives the choice. False when cancelled.
    bool chooseDefinitionFile(int titleId, const wchar_t* filter, char* path, size_t size);

private:
    HWND frame_;
    HWND progress_ = nullptr;
    bool twoBars_ = false;
};

// The multi-selection result of the open dialog (a folder, then names, or
// one full path) as separate paths; false when nothing fits.
bool splitOpenResult(const wchar_t* result, PathName* files, int capacity, int* count);
