#include "app/win32/progress_dialogs.h"

#include "app/win32/frame.h"
#include "res/resource.h"

#include <commctrl.h>

#include <memory>
#include <vector>

namespace {

constexpr int kIdleCallsPerPump = 1000;

struct ProgressState {
    HWND owner;
    bool cancelled;
    int position[2];  // last position set per bar
    int calls;        // steps since messages were last processed
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
    HWND ownerWindow = IsWindow(owner) ? owner : FindWindowW(kFrameClassName, nullptr);
    auto* state = new ProgressState{ownerWindow, false, {0, 0}, 0, twoBars};
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

// Sets a label and a bar; true when anything visible changed.
bool setBar(HWND dialog, ProgressState* state, int bar, int labelId, int barId, const char* label,
            int percent) {
    bool changed = false;
    if (label != nullptr) {
        SetDlgItemTextW(dialog, labelId, tlvWiden(label).c_str());
        changed = true;
    }
    if (percent != state->position[bar]) {
        state->position[bar] = percent;
        SendDlgItemMessageW(dialog, barId, PBM_SETPOS, percent, 0);
        changed = true;
    }
    return changed;
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
    const bool changed = setBar(dialog, state, bar, bar == 0 ? IDC_DUAL_LABEL1 : IDC_DUAL_LABEL2,
                                bar == 0 ? IDC_DUAL_BAR1 : IDC_DUAL_BAR2, label, percent);
    if (changed || ++state->calls >= kIdleCallsPerPump) {
        state->calls = 0;
        pumpMessages(dialog);
    }
    return state->cancelled ? 0 : 1;
}

void DualProgressSetTitle(HWND dialog, const char* title) {
    ProgressState* state = dialog != nullptr ? stateOf(dialog) : nullptr;
    if (state == nullptr) return;
    SetWindowTextW(dialog, tlvWiden(title != nullptr ? title : "").c_str());
    state->calls = 0;
}

void ProgressClose(HWND dialog) {
    ProgressState* state = dialog != nullptr && IsWindow(dialog) ? stateOf(dialog) : nullptr;
    if (state == nullptr) return;
    if (state->owner != nullptr) EnableWindow(state->owner, TRUE);
    DestroyWindow(dialog);
}

namespace {

struct ReportDialogData {
    const std::wstring* text;
    const AppSettings* settings;
    HFONT font;
};

INT_PTR CALLBACK ReportProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* data = reinterpret_cast<ReportDialogData*>(lp);
        LOGFONTW font = {};
        HDC dc = GetDC(dialog);
        font.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
        ReleaseDC(dialog, dc);
        font.lfWeight = data->settings->printerPoint[1];
        font.lfItalic = data->settings->printerPoint[2] != 0 ? TRUE : FALSE;
        font.lfCharSet = DEFAULT_CHARSET;
        font.lfPitchAndFamily = FIXED_PITCH;
        std::wstring face = tlvWiden(data->settings->printerFont);
        lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
        data->font = CreateFontIndirectW(&font);
        if (data->font != nullptr) {
            SendDlgItemMessageW(dialog, IDC_REPORT_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(data->font), FALSE);
        }
        SetDlgItemTextW(dialog, IDC_REPORT_TEXT, data->text->c_str());
        // The report opens at its top with nothing selected, so that the
        // file name, date and time are seen first: the dialog's own focus
        // handling would select the whole text and scroll to its end.
        HWND edit = GetDlgItem(dialog, IDC_REPORT_TEXT);
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, 0);
        SendMessageW(edit, EM_SCROLLCARET, 0, 0);
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) EndDialog(dialog, LOWORD(wp));
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void ShowReportDialog(HWND frame) {
    FrameState* fs = frameState(frame);
    if (fs == nullptr || fs->drawing.tracing || !fs->drawing.loaded) return;
    ExportOptions options = exportOptionsOf(*fs->session, fs->drawing);
    options.report.loaded = fs->drawing.loaded;
    options.report.tracing = fs->drawing.tracing;
    options.report.state = &fs->drawing.reportState;
    // The edit control breaks lines at CR LF and shows the extra CR as a
    // soft break, which is harmless.
    const char* lineEnd = "\r\r\n";
    std::wstring text;
    const size_t size = BuildReportText(options.report, false, nullptr, 0, lineEnd);
    if (size > 0) {
        std::vector<char> buffer(size, '\0');
        BuildReportText(options.report, false, buffer.data(), buffer.size(), lineEnd);
        text = tlvWiden(buffer.data());
    }
    ReportDialogData data = {&text, &fs->session->settings, nullptr};
    DialogBoxParamW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(frame, GWLP_HINSTANCE)),
                    MAKEINTRESOURCEW(IDD_REPORT), frame, ReportProc, reinterpret_cast<LPARAM>(&data));
    if (data.font != nullptr) DeleteObject(data.font);
}
