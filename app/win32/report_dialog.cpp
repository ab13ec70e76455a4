#include "app/win32/report_dialog.h"

#include "platform/win32/wide.h"
#include "res/resource.h"

#include <string>
#include <vector>

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
                SendDlgItemMessageW(dialog, IDC_REPORT_TEXT, WM_SETFONT,
                                    reinterpret_cast<WPARAM>(data->font), FALSE);
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

void ShowReportDialog(HWND owner, const Session& session, const Drawing& drawing) {
    if (drawing.tracing || !drawing.loaded) return;
    ExportOptions options = ExportOptionsOf(session, drawing);
    options.report.loaded = drawing.loaded;
    options.report.tracing = drawing.tracing;
    options.report.state = &drawing.reportState;
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
    ReportDialogData data = {&text, &session.settings, nullptr};
    DialogBoxParamW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)),
                    MAKEINTRESOURCEW(IDD_REPORT), owner, ReportProc,
                    reinterpret_cast<LPARAM>(&data));
    if (data.font != nullptr) DeleteObject(data.font);
}
