#include "app/win32/progress_dialogs.h"

#include "platform/win32/wide.h"
#include "res/resource.h"

#include <commctrl.h>

namespace {

struct ProgressState {
    HWND owner;
    bool cancelled;
    int position[2];  // last position set per bar
    bool twoBars;
};

ProgressState* stateOf(HWND dialog) {
    return reinterpret_cast<ProgressState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

INT_PTR CALLBACK ProgressProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lp);
        auto* state = reinterpret_cast<ProgressState*>(lp);
        const int bars[2] = {state->twoBars ? IDC_DUAL_BAR1 : IDC_PROGRESS_BAR, IDC_DUAL_BAR2};
        for (int i = 0; i < (state->twoBars ? 2 : 1); ++i) {
            SendDlgItemMessageW(dialog, bars[i], PBM_SETRANGE32, 0, 100);
            SendDlgItemMessageW(dialog, bars[i], PBM_SETSTEP, 1, 0);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDCANCEL) {
            if (ProgressState* state = stateOf(dialog)) state->cancelled = true;
        }
        return TRUE;
    case WM_NCDESTROY: delete stateOf(dialog); return FALSE;
    default: return FALSE;
    }
}

// Handles what is waiting, dialog navigation first. A quit message found
// here is put back for the main loop, which must still see it.
void pumpMessages(HWND dialog) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

HWND openDialog(HWND owner, const char* title, bool twoBars) {
    HWND ownerWindow = IsWindow(owner) ? owner : nullptr;
    auto* state = new ProgressState{ownerWindow, false, {0, 0}, twoBars};
    if (ownerWindow != nullptr) EnableWindow(ownerWindow, FALSE);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(twoBars ? IDD_DUAL_PROGRESS : IDD_PROGRESS),
                                     ownerWindow, ProgressProc, reinterpret_cast<LPARAM>(state));
    if (dialog == nullptr) {
        delete state;
        if (ownerWindow != nullptr) EnableWindow(ownerWindow, TRUE);
        return nullptr;
    }
    if (title != nullptr) SetWindowTextW(dialog, tlvWiden(title).c_str());
    ShowWindow(dialog, SW_SHOW);
    return dialog;
}

// Sets a label and a bar.
void setBar(HWND dialog, ProgressState* state, int bar, int labelId, int barId, const char* label,
            int percent) {
    if (label != nullptr) SetDlgItemTextW(dialog, labelId, tlvWiden(label).c_str());
    if (percent != state->position[bar]) {
        state->position[bar] = percent;
        SendDlgItemMessageW(dialog, barId, PBM_SETPOS, percent, 0);
    }
}

}  // namespace

HWND ProgressOpen(HWND owner, const char* title) { return openDialog(owner, title, false); }
HWND DualProgressOpen(HWND owner, const char* title) { return openDialog(owner, title, true); }

int ProgressStep(HWND dialog, const char* label, int percent) {
    ProgressState* state = dialog != nullptr ? stateOf(dialog) : nullptr;
    if (state == nullptr) return 1;
    setBar(dialog, state, 0, IDC_PROGRESS_LABEL, IDC_PROGRESS_BAR, label, percent);
    pumpMessages(dialog);
    return state->cancelled ? 0 : 1;
}

int DualProgressStep(HWND dialog, int bar, const char* label, int percent) {
    ProgressState* state = dialog != nullptr ? stateOf(dialog) : nullptr;
    if (state == nullptr) return 1;
    bar = bar == 0 ? 0 : 1;
    setBar(dialog, state, bar, bar == 0 ? IDC_DUAL_LABEL1 : IDC_DUAL_LABEL2,
           bar == 0 ? IDC_DUAL_BAR1 : IDC_DUAL_BAR2, label, percent);
    pumpMessages(dialog);
    return state->cancelled ? 0 : 1;
}

void DualProgressSetTitle(HWND dialog, const char* title) {
    ProgressState* state = dialog != nullptr ? stateOf(dialog) : nullptr;
    if (state == nullptr) return;
    SetWindowTextW(dialog, tlvWiden(title != nullptr ? title : "").c_str());
}

void ProgressClose(HWND dialog) {
    ProgressState* state = dialog != nullptr && IsWindow(dialog) ? stateOf(dialog) : nullptr;
    if (state == nullptr) return;
    if (state->owner != nullptr) EnableWindow(state->owner, TRUE);
    DestroyWindow(dialog);
}
