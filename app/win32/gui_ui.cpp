#include "app/win32/gui_ui.h"

#include "app/win32/filter_window.h"
#include "app/win32/frame_state.h"
#include "app/win32/progress_dialogs.h"
#include "app/win32/status_bar.h"
#include "app/win32/view_panel.h"
#include "definitions/profile_item.h"
#include "pathdata/export.h"
#include "platform/sjis.h"
#include "platform/win32/wide.h"
#include "res/resource.h"
#include "res/strings.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr DWORD kOpenResultChars = 4159;

// The file name typed in a file dialog, as CP932 text.
std::string dialogFileName(HWND dialog) {
    wchar_t typed[MAX_PATH] = {};
    if (SendMessageW(dialog, CDM_GETSPEC, MAX_PATH, reinterpret_cast<LPARAM>(typed)) <= 0) return {};
    return tlvNarrow(typed);
}

// Whether the person lets the export write over path, which the dialog's
// own prompt did not ask about (it asked about the name as typed).
bool mayOverwrite(HWND dialog, const char* path) {
    if (!platIsFile(path)) return true;
    std::wstring text = tlvWiden(path) + L"\n\n" + tlvWiden(tlvString(IDS_OVERWRITE_QUESTION));
    std::wstring caption = tlvWiden(tlvString(IDS_SAVE_AS));
    return tlvMessageBox(dialog, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONEXCLAMATION) ==
           IDYES;
}

// The save dialog keeps the typed name when the person picks another type;
// the export then gives the name the type's extension. The hook shows that
// name as soon as the type changes, and asks before the export would write
// over a file under the name it makes.
UINT_PTR CALLBACK saveDialogHook(HWND hook, UINT msg, WPARAM, LPARAM lp) {
    if (msg != WM_NOTIFY) return 0;
    const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lp);
    HWND dialog = GetParent(hook);
    const int type = static_cast<int>(notify->lpOFN->nFilterIndex) - 1;
    if (notify->hdr.code == CDN_TYPECHANGE) {
        char name[kPlatPathMax] = {};
        snprintf(name, sizeof name, "%s", dialogFileName(dialog).c_str());
        if (name[0] == '\0' || !ExportNameForType(name, sizeof name, type)) return 0;
        std::wstring wideName = tlvWiden(name);
        // Older dialogs name the field edt1, newer ones the combo box cmb13.
        for (int field : {edt1, cmb13}) {
            SendMessageW(dialog, CDM_SETCONTROLTEXT, field,
                         reinterpret_cast<LPARAM>(wideName.c_str()));
        }
        return 0;
    }
    if (notify->hdr.code != CDN_FILEOK) return 0;
    char path[kPlatPathMax] = {};
    snprintf(path, sizeof path, "%s", tlvNarrow(notify->lpOFN->lpstrFile).c_str());
    if (!ExportNameForType(path, sizeof path, type) || mayOverwrite(dialog, path)) return 0;
    SetWindowLongPtrW(hook, DWLP_MSGRESULT, 1);  // stay in the dialog
    return 1;
}

}  // namespace

void WriteStandardError(const std::string& line) {
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (err == nullptr || err == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(err, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

bool SplitOpenResult(const wchar_t* result, PathName* files, int capacity, int* count) {
    *count = 0;
    const wchar_t* first = result;
    const wchar_t* next = first + wcslen(first) + 1;
    if (*next == L'\0') {  // one file: a full path
        std::string path = tlvNarrow(first);
        if (path.empty() || path.size() >= kPlatPathMax || capacity < 1) return false;
        strcpy(files[0].text, path.c_str());
        *count = 1;
        return true;
    }
    std::string folder = tlvNarrow(first);
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    for (; *next != L'\0' && *count < capacity; next += wcslen(next) + 1) {
        std::string path = folder + tlvNarrow(next);
        if (path.size() >= kPlatPathMax) continue;  // cannot be opened anyway
        strcpy(files[*count].text, path.c_str());
        ++*count;
    }
    return *count > 0;
}

GuiUi::GuiUi(FrameState* fs, void (*refreshStates)(FrameState* fs))
    : fs_(fs), refreshStates_(refreshStates) {
    settings = &fs->session->settings;
}

bool GuiUi::visible() {
    return IsWindowVisible(fs_->frame) != FALSE;
}

bool GuiUi::chooseOpenFiles(PathName* files, int capacity, int* count) {
    // Nobody can answer a dialog in a batch run: a name that is no file is
    // loaded as given and reported like any unreadable file.
    if (!visible()) return *count > 0;
    AppSettings& s = *settings;
    std::wstring filter = tlvWiden(tlvString(IDS_FILTER_NC));
    if (s.openFilter[0] != '\0') {
        std::wstring ext = tlvWiden(s.openFilter);
        filter += tlvWiden(tlvString(IDS_USER_FILTER)) + L" (" + ext + L")|" + ext + L"|";
    }
    filter += tlvWiden(tlvString(IDS_FILTER_ALL));
    std::wstring filters = tlvFilterOf(filter);
    std::vector<wchar_t> result(kOpenResultChars + 1, L'\0');
    const char* initial = *count > 0 && files[0].text[0] != '\0' ? files[0].text : nullptr;
    std::wstring initialWide = tlvWiden(initial);
    lstrcpynW(result.data(), initialWide.c_str(), static_cast<int>(result.size()));
    std::wstring folder = tlvWiden(s.openPath);
    std::wstring title = tlvWiden(tlvString(IDS_OPEN_FILE));
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = fs_->frame;
    ofn.lpstrFilter = filters.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(s.openFilterId > 0 ? s.openFilterId : 1);
    ofn.lpstrFile = result.data();
    ofn.nMaxFile = kOpenResultChars;
    ofn.lpstrInitialDir = initial == nullptr ? folder.c_str() : nullptr;
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!tlvFileDialog(&ofn, false)) return false;
    s.openFilterId = static_cast<int32_t>(ofn.nFilterIndex);
    return SplitOpenResult(result.data(), files, capacity, count);
}

bool GuiUi::chooseSaveFile(char* path, size_t size, int* type) {
    // A batch run writes the given or proposed name without asking.
    if (!visible()) return path[0] != '\0';
    std::wstring filters =
        tlvFilterOf(tlvWiden(tlvString(IDS_FILTER_EXPORT)) + tlvWiden(tlvString(IDS_FILTER_ALL)));
    wchar_t result[MAX_PATH] = {};
    std::wstring proposed = tlvWiden(path);
    lstrcpynW(result, proposed.c_str(), MAX_PATH);
    std::wstring title = tlvWiden(tlvString(IDS_SAVE_AS));
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = fs_->frame;
    ofn.lpstrFilter = filters.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(*type + 1);
    ofn.lpstrFile = result;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title.c_str();
    ofn.Flags =
        OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ENABLEHOOK | OFN_ENABLESIZING;
    ofn.lpfnHook = saveDialogHook;
    if (!tlvFileDialog(&ofn, true)) return false;
    std::string chosen = tlvNarrow(result);
    if (chosen.empty() || chosen.size() >= size) return false;
    strcpy(path, chosen.c_str());
    *type = static_cast<int>(ofn.nFilterIndex) - 1;
    return true;
}

bool GuiUi::chooseDefinitionFile(int titleId, int filterId, char* path, size_t size) {
    if (!visible()) return false;
    const std::string current = ResolveDefinitionPath(path);
    const size_t folderLength = FolderLength(current.c_str());
    std::wstring folder = tlvWiden(current.substr(0, folderLength).c_str());
    wchar_t result[MAX_PATH] = {};
    lstrcpynW(result, tlvWiden(current.c_str() + folderLength).c_str(), MAX_PATH);
    std::wstring filters = tlvFilterOf(tlvWiden(tlvString(filterId)));
    std::wstring title = tlvWiden(tlvString(titleId));
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = fs_->frame;
    ofn.lpstrFilter = filters.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = result;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!tlvFileDialog(&ofn, false)) return false;
    std::string chosen = tlvNarrow(result);
    if (chosen.empty() || chosen.size() >= size) return false;
    strcpy(path, chosen.c_str());
    return true;
}

void GuiUi::message(const char* caption, const char* text, UiIcon icon) {
    if (!visible()) {
        std::string line = std::string(tlvString(IDS_PRODUCT)) + ": " + caption + ": " + text;
        for (char& c : line) {
            if (c == '\n') c = ' ';
        }
        WriteStandardError(tlvEscapeControls(line.c_str()) + "\r\n");
        return;
    }
    const UINT icons[] = {MB_ICONERROR, MB_ICONEXCLAMATION, MB_ICONQUESTION};
    tlvMessageBox(fs_->frame, tlvWiden(text).c_str(), tlvWiden(caption).c_str(),
                  MB_OK | icons[icon]);
}

void GuiUi::statusText(const char* text) {
    SetStatusText(fs_->frame, -1, "%s", text);
}

void GuiUi::progressOpen(const char* title, bool twoBars) {
    progressClose();
    twoBars_ = twoBars;
    quietSteps_ = 0;
    lastVisit_ = GetTickCount();
    progress_ = twoBars ? DualProgressOpen(fs_->frame, title) : ProgressOpen(fs_->frame, title);
}

void GuiUi::progressTitle(const char* title) {
    if (progress_ != nullptr && twoBars_) DualProgressSetTitle(progress_, title);
}

// The engine asks once per line or block, a million times for a large
// program, and every visit to the dialog costs a window look-up and often a
// repaint of a bar: it is visited for a new text, and otherwise at most
// every few hundredths of a second, which still answers Cancel at once.
constexpr int kQuietStepsPerCheck = 1000;
constexpr DWORD kVisitIntervalMs = 40;

int GuiUi::progressStep(int bar, const char* label, int percent) {
    if (progress_ == nullptr) return 1;
    if (label == nullptr) {
        if (++quietSteps_ < kQuietStepsPerCheck) return 1;
        quietSteps_ = 0;
    }
    const DWORD now = GetTickCount();
    if (label == nullptr && now - lastVisit_ < kVisitIntervalMs) return 1;
    lastVisit_ = now;
    return twoBars_ ? DualProgressStep(progress_, bar, label, percent) : ProgressStep(progress_, label, percent);
}

void GuiUi::progressClose() {
    if (progress_ != nullptr) ProgressClose(progress_);
    progress_ = nullptr;
}

void GuiUi::drawingChanged(const Drawing& drawing, uint32_t what) {
    if ((what & kDrawingLists) != 0) showLists(drawing);
    if ((what & kDrawingFilter) != 0) RefreshFilterLists(fs_);
    if ((what & kDrawingState) != 0) {
        SyncRunState(fs_);
        if (refreshStates_ != nullptr) refreshStates_(fs_);
    }
    if ((what & kDrawingRange) != 0) FitViewPanes(fs_->frame, -1);
}

void GuiUi::showLists(const Drawing& drawing) {
    ClearRegisterList(fs_->frame);
    ClearCodeList(fs_->frame);
    if (!drawing.loaded) return;
    SetCodeListCount(fs_->frame, ncBlockListCount(drawing.blocks) + 1);
    for (int axis = 0; axis < 3; ++axis) {
        char text[128];
        RangeCellText(drawing, axis, text, sizeof text);
        SetRegisterCell(fs_->frame, axis, 0, "%s", RangeCellLabel(axis));
        SetRegisterCell(fs_->frame, axis, 1, "%s", text);
    }
    SelectCodeLine(fs_->frame, 0);
}
