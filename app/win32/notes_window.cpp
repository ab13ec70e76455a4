#include "app/win32/notes_window.h"

#include "app/win32/frame_state.h"
#include "panes/code_rows.h"
#include "panes/panes.h"
#include "platform/win32/window_class.h"
#include "platform/win32/wide.h"
#include "res/strings.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

const wchar_t kNotesClass[] = L"TLV_NotesClass";
// The window hangs on its main window under this property, so that every
// main window (and every test's) finds its own.
const wchar_t kNotesProperty[] = L"TLV_NotesWindow";
constexpr int kNotesListId = 1;
constexpr int kNotesWidth = 560, kNotesHeight = 260;

HWND notesList(HWND window) {
    return GetDlgItem(window, kNotesListId);
}
HWND ownerOf(HWND window) {
    return GetWindow(window, GW_OWNER);
}

void insertColumn(HWND list, int index, int title, int format, int width) {
    std::wstring text = tlvWiden(tlvString(title));
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = text.data();
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

bool OnCreate(HWND window) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                    LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                                0, 0, 0, 0, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kNotesListId)),
                                instance, nullptr);
    if (list == nullptr) return false;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    insertColumn(list, 0, IDS_NOTES_COLUMN_LINE, LVCFMT_RIGHT, 56);
    insertColumn(list, 1, IDS_NOTES_COLUMN_PROGRAM, LVCFMT_LEFT, 64);
    insertColumn(list, 2, IDS_NOTES_COLUMN_MESSAGE, LVCFMT_LEFT, 400);
    SetPropW(ownerOf(window), kNotesProperty, window);
    return true;
}

void OnDestroy(HWND window) {
    HWND owner = ownerOf(window);
    if (owner != nullptr && GetPropW(owner, kNotesProperty) == window)
        RemovePropW(owner, kNotesProperty);
}

// One row; row is the code list row it shows, -1 for none.
void addRow(HWND list, const std::wstring& line, const std::wstring& program,
            const std::wstring& message, int32_t row) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<wchar_t*>(line.c_str());
    item.lParam = row;
    const int index =
        static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) return;
    const std::wstring* texts[] = {&program, &message};
    for (int column = 1; column <= 2; ++column) {
        LVITEMW cell = {};
        cell.iSubItem = column;
        cell.pszText = const_cast<wchar_t*>(texts[column - 1]->c_str());
        SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&cell));
    }
}

void addNote(HWND list, NcBlockStore* blocks, const NcNote& note) {
    char line[16], program[16], message[256];
    snprintf(line, sizeof line, "%05d", note.lineIndex + 1);
    snprintf(program, sizeof program, "O%04d", note.programNumber);
    ncNoteText(note, message, sizeof message);
    addRow(list, tlvWiden(line), tlvWiden(program), tlvWiden(message),
           CodeRowOfLine(blocks, note.programNumber, note.lineIndex));
}

void fillList(HWND list, const Drawing& drawing) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    const NcNotes* notes = drawing.notes;
    for (int32_t i = 0; i < notes->count; ++i) addNote(list, drawing.blocks, notes->notes[i]);
    // Only the first notes are kept: the last row says how many more.
    const uint64_t total = ncNotesTotal(notes);
    if (total > static_cast<uint64_t>(notes->count)) {
        char more[128];
        snprintf(more, sizeof more, tlvString(IDS_NOTES_MORE),
                 static_cast<unsigned long long>(total - static_cast<uint64_t>(notes->count)));
        addRow(list, L"", L"", tlvWiden(more), -1);
    }
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, LVSCW_AUTOSIZE_USEHEADER);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// Shows the note's line in the code list; the focus stays here, so that
// the user can walk the notes with the keyboard.
void showItem(HWND window, int item) {
    if (item < 0) return;
    LVITEMW data = {};
    data.mask = LVIF_PARAM;
    data.iItem = item;
    if (!SendMessageW(notesList(window), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) return;
    if (data.lParam >= 0) SelectCodeLine(ownerOf(window), static_cast<int32_t>(data.lParam));
}

LRESULT OnNotify(HWND window, NMHDR* header) {
    if (header->idFrom != kNotesListId) return 0;
    HWND list = notesList(window);
    switch (header->code) {
        case NM_DBLCLK:
            showItem(window, reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
            return 0;
        case NM_RETURN:
            showItem(window, static_cast<int>(SendMessageW(
                                 list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
            return 0;
        case LVN_KEYDOWN:
            if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_ESCAPE)
                ShowWindow(window, SW_HIDE);
            return 0;
        default: return 0;
    }
}

void OnSize(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    MoveWindow(notesList(window), 0, 0, r.right, r.bottom, TRUE);
}

LRESULT CALLBACK NotesProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: return OnCreate(window) ? 0 : -1;
        case WM_DESTROY: OnDestroy(window); return 0;
        case WM_SIZE: OnSize(window); return 0;
        case WM_SETFOCUS: SetFocus(notesList(window)); return 0;
        // Closing only hides: the window keeps its place until the main window goes.
        case WM_CLOSE: ShowWindow(window, SW_HIDE); return 0;
        case WM_NOTIFY: return OnNotify(window, reinterpret_cast<NMHDR*>(lp));
        default: return DefWindowProcW(window, msg, wp, lp);
    }
}

// Over the lower right of the main window, where the views are: the code
// list on the left stays in sight.
HWND createNotesWindow(HWND frame) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(frame, GWLP_HINSTANCE));
    if (!tlvRegisterClass(tlvWindowClass(instance, kNotesClass, NotesProc, 0, WHITE_BRUSH)))
        return nullptr;
    RECT r;
    GetWindowRect(frame, &r);
    const int x = r.right - kNotesWidth - 24 > r.left ? r.right - kNotesWidth - 24 : r.left;
    const int y = r.bottom - kNotesHeight - 48 > r.top ? r.bottom - kNotesHeight - 48 : r.top;
    std::wstring title = tlvWiden(tlvString(IDS_NOTES_TITLE));
    return CreateWindowExW(WS_EX_TOOLWINDOW, kNotesClass, title.c_str(),
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, x,
                           y, kNotesWidth, kNotesHeight, frame, nullptr, instance, nullptr);
}

}  // namespace

HWND NotesWindow(HWND frame) {
    return frame != nullptr ? static_cast<HWND>(GetPropW(frame, kNotesProperty)) : nullptr;
}

void ShowNotesWindow(FrameState* fs) {
    HWND frame = fs->frame;
    if (!IsWindowVisible(frame)) return;
    HWND window = NotesWindow(frame);
    if (window == nullptr) window = createNotesWindow(frame);
    if (window == nullptr) return;
    RefreshNotesWindow(fs);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
}

void RefreshNotesWindow(FrameState* fs) {
    HWND window = NotesWindow(fs->frame);
    if (window == nullptr || fs->drawing.notes == nullptr) return;
    fillList(notesList(window), fs->drawing);
}
