#include "app/win32/printing.h"

#include "app/session.h"
#include "app/win32/frame_state.h"
#include "app/win32/gui_ui.h"
#include "res/resource.h"
#include "res/strings.h"
#include "view/print_layout.h"
#include "view/win32/pane_windows.h"

#include <commdlg.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::wstring gPrintOutput;

// The printer chosen for one job: the device mode (orientation from the
// settings) and the device names, both in movable global memory as the
// system print dialog wants them.
struct PrinterChoice {
    HGLOBAL devMode = nullptr;
    HGLOBAL devNames = nullptr;
    ~PrinterChoice() {
        if (devMode != nullptr) GlobalFree(devMode);
        if (devNames != nullptr) GlobalFree(devNames);
    }
};

HGLOBAL globalCopy(const void* data, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (memory == nullptr) return nullptr;
    memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    return memory;
}

// Offsets in characters after the four-word header: driver, device, port.
HGLOBAL buildDevNames(const wchar_t* driver, const wchar_t* device, const wchar_t* port) {
    const size_t d = wcslen(driver) + 1, v = wcslen(device) + 1, p = wcslen(port) + 1;
    std::vector<wchar_t> block(4 + d + v + p, L'\0');
    auto* names = reinterpret_cast<DEVNAMES*>(block.data());
    names->wDriverOffset = 4;
    names->wDeviceOffset = static_cast<WORD>(4 + d);
    names->wOutputOffset = static_cast<WORD>(4 + d + v);
    names->wDefault = 0;
    wcscpy(&block[4], driver);
    wcscpy(&block[4 + d], device);
    wcscpy(&block[4 + d + v], port);
    return globalCopy(block.data(), block.size() * sizeof(wchar_t));
}

std::wstring deviceNameOf(HGLOBAL devMode) {
    if (devMode == nullptr) return {};
    const auto* mode = static_cast<const DEVMODEW*>(GlobalLock(devMode));
    std::wstring name(mode->dmDeviceName, wcsnlen(mode->dmDeviceName, CCHDEVICENAME));
    GlobalUnlock(devMode);
    return name;
}

// The default printer, asked for without a dialog; its name and
// orientation replace the settings'.
bool takeDefaultPrinter(AppSettings* s) {
    PRINTDLGW pd = {};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgW(&pd)) return false;
    if (pd.hDevMode != nullptr) {
        const auto* mode = static_cast<const DEVMODEW*>(GlobalLock(pd.hDevMode));
        snprintf(s->printerName, sizeof s->printerName, "%s",
                 tlvNarrow(mode->dmDeviceName).c_str());
        s->printerDir = mode->dmOrientation;
        GlobalUnlock(pd.hDevMode);
        GlobalFree(pd.hDevMode);
    }
    if (pd.hDevNames != nullptr) GlobalFree(pd.hDevNames);
    return pd.hDevMode != nullptr;
}

// Opens the stored printer, else the default one. False without any.
bool openPrinterHandle(AppSettings* s, HANDLE* printer) {
    std::wstring name = tlvWiden(s->printerName);
    if (!name.empty() && OpenPrinterW(name.data(), printer, nullptr)) return true;
    if (!takeDefaultPrinter(s)) return false;
    name = tlvWiden(s->printerName);
    return OpenPrinterW(name.data(), printer, nullptr) != FALSE;
}

// Reads the printer's information into choice. False when it cannot be
// read; true with an empty device mode when the printer has none.
bool readPrinter(HANDLE printer, int orientation, PrinterChoice* choice) {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed == 0) return false;
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return false;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    if (info->pDevMode == nullptr) return true;
    choice->devMode =
        globalCopy(info->pDevMode, info->pDevMode->dmSize + info->pDevMode->dmDriverExtra);
    if (choice->devMode != nullptr &&
        (orientation == DMORIENT_PORTRAIT || orientation == DMORIENT_LANDSCAPE)) {
        auto* mode = static_cast<DEVMODEW*>(GlobalLock(choice->devMode));
        mode->dmOrientation = static_cast<short>(orientation);
        mode->dmFields |= DM_ORIENTATION;
        GlobalUnlock(choice->devMode);
    }
    choice->devNames = buildDevNames(info->pDriverName != nullptr ? info->pDriverName : L"",
                                     info->pPrinterName != nullptr ? info->pPrinterName : L"",
                                     info->pPortName != nullptr ? info->pPortName : L"");
    return true;
}

// The print dialog "印刷".

struct PrintDialogData {
    AppSettings* settings;
    PrinterChoice* choice;
    char face[kSettingsFontSize];
    int points[3];
};

constexpr int kOptionBoxes[5] = {IDC_PRINT_FRAME, IDC_PRINT_COLOUR, IDC_PRINT_REPORT,
                                 IDC_PRINT_PATHS, IDC_PRINT_SAME_PAGE};

bool checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void updateEnabling(HWND dialog) {
    const bool report = checked(dialog, IDC_PRINT_REPORT), paths = checked(dialog, IDC_PRINT_PATHS);
    EnableWindow(GetDlgItem(dialog, IDC_PRINT_FONT_BUTTON), report);
    EnableWindow(GetDlgItem(dialog, IDC_PRINT_COLOUR), paths);
    EnableWindow(GetDlgItem(dialog, IDC_PRINT_SAME_PAGE), report && paths);
}

void showPrinterName(HWND dialog, const PrintDialogData* d) {
    const std::wstring name = deviceNameOf(d->choice->devMode);
    const std::wstring shown = name.empty() ? tlvWiden(tlvString(IDS_NO_PRINTER_NAME)) : name;
    SetDlgItemTextW(dialog, IDC_PRINT_PRINTER_BUTTON, shown.c_str());
}

void showFont(HWND dialog, const PrintDialogData* d) {
    char text[96];
    snprintf(text, sizeof text, tlvString(IDS_FONT_BUTTON), d->face, d->points[0],
             d->points[1] > 400 ? tlvString(IDS_FONT_BOLD) : "",
             d->points[2] != 0 ? tlvString(IDS_FONT_ITALIC) : "");
    SetDlgItemTextW(dialog, IDC_PRINT_FONT_BUTTON, tlvWiden(text).c_str());
}

void OnPrintDialogInit(HWND dialog, PrintDialogData* d) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
    showPrinterName(dialog, d);
    showFont(dialog, d);
    for (int bit = 0; bit < 5; ++bit) {
        CheckDlgButton(dialog, kOptionBoxes[bit],
                       (d->settings->printStatus >> bit) & 1 ? BST_CHECKED : BST_UNCHECKED);
    }
    updateEnabling(dialog);
}

void OnChoosePrinter(HWND dialog, PrintDialogData* d) {
    PRINTDLGW pd = {};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = dialog;
    pd.hDevMode = d->choice->devMode;
    pd.hDevNames = d->choice->devNames;
    pd.Flags = PD_PRINTSETUP;
    if (!PrintDlgW(&pd)) return;
    // The dialog may hand back new blocks in place of the ones it was given.
    d->choice->devMode = pd.hDevMode;
    d->choice->devNames = pd.hDevNames;
    showPrinterName(dialog, d);
}

void OnPrintDialogOk(HWND dialog, PrintDialogData* d) {
    AppSettings* s = d->settings;
    const std::wstring name = deviceNameOf(d->choice->devMode);
    if (!name.empty()) {
        snprintf(s->printerName, sizeof s->printerName, "%s", tlvNarrow(name.c_str()).c_str());
        const auto* mode = static_cast<const DEVMODEW*>(GlobalLock(d->choice->devMode));
        s->printerDir = mode->dmOrientation;
        GlobalUnlock(d->choice->devMode);
    }
    // A disabled box still counts with its check state.
    int status = s->printStatus & ~0x1F;
    for (int bit = 0; bit < 5; ++bit) status |= checked(dialog, kOptionBoxes[bit]) ? 1 << bit : 0;
    s->printStatus = status;
    memcpy(s->printerFont, d->face, sizeof s->printerFont);
    memcpy(s->printerPoint, d->points, sizeof s->printerPoint);
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK PrintDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    auto* d = reinterpret_cast<PrintDialogData*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (msg == WM_INITDIALOG) {
        OnPrintDialogInit(dialog, reinterpret_cast<PrintDialogData*>(lp));
        return TRUE;
    }
    if (msg != WM_COMMAND || d == nullptr) return FALSE;
    switch (LOWORD(wp)) {
        case IDOK: OnPrintDialogOk(dialog, d); return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        case IDC_PRINT_PRINTER_BUTTON: OnChoosePrinter(dialog, d); return TRUE;
        case IDC_PRINT_FONT_BUTTON:
            if (ChooseReportFont(dialog, d->face, d->points)) showFont(dialog, d);
            return TRUE;
        case IDC_PRINT_REPORT:
        case IDC_PRINT_PATHS: updateEnabling(dialog); return TRUE;
        default: return FALSE;
    }
}

bool runPrintDialog(HWND frame, AppSettings* s, PrinterChoice* choice) {
    PrintDialogData d = {s, choice, {}, {}};
    memcpy(d.face, s->printerFont, sizeof d.face);
    memcpy(d.points, s->printerPoint, sizeof d.points);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(frame, GWLP_HINSTANCE));
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PRINT), frame, PrintDialogProc,
                           reinterpret_cast<LPARAM>(&d)) == 1;
}

// Why nothing is printed. Nothing may wait for a person while the main
// window is hidden: the shell's message then goes to standard error.
void refuseHidden(FrameState* fs, int messageId) {
    fs->ui->message(tlvString(IDS_PRINT_CAPTION), tlvString(messageId), kIconError);
}

// The printer's device context, after the dialog when asked for (or when
// the printer has no device mode); null when there is none.
HDC openPrinterDC(FrameState* fs, bool withDialog) {
    AppSettings& s = fs->session->settings;
    HANDLE printer = nullptr;
    if (!openPrinterHandle(&s, &printer)) {
        refuseHidden(fs, IDS_NO_PRINTER);
        return nullptr;
    }
    PrinterChoice choice;
    const bool read = readPrinter(printer, s.printerDir, &choice);
    ClosePrinter(printer);
    if (!read) return nullptr;
    if (choice.devMode == nullptr) {
        fs->ui->message(tlvString(IDS_PRINT_CAPTION), tlvString(IDS_BAD_PRINTER), kIconError);
        withDialog = true;
    }
    if (withDialog) {
        if (!fs->ui->visible()) {
            refuseHidden(fs, IDS_PRINT_DIALOG_HIDDEN);
            return nullptr;
        }
        if (!runPrintDialog(fs->frame, &s, &choice) || choice.devMode == nullptr) return nullptr;
    }
    const std::wstring name = tlvWiden(s.printerName);
    auto* mode = static_cast<DEVMODEW*>(GlobalLock(choice.devMode));
    HDC dc = CreateDCW(L"WINSPOOL", name.c_str(), nullptr, mode);
    GlobalUnlock(choice.devMode);
    return dc;
}

HFONT createReportFont(const AppSettings& s, int pixelsPerInch) {
    LOGFONTW font = {};
    font.lfHeight = -MulDiv(s.printerPoint[0], pixelsPerInch, 72);
    font.lfWeight = s.printerPoint[1];
    font.lfItalic = s.printerPoint[2] != 0 ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(font.lfFaceName, tlvWiden(s.printerFont).c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

// One print job on a printer device context.
class GdiPrintJob : public PrintJob {
public:
    GdiPrintJob(HDC dc, FrameState* fs, int pane) : dc_(dc), fs_(fs), pane_(pane) {}
    bool startPage() override { return StartPage(dc_) > 0; }
    void endPage() override { EndPage(dc_); }
    bool printReport(ViewRect* area, bool compact) override;
    int printPanes(const ViewRect& area) override;

private:
    // Screen pixels grown to the printer's resolution.
    int deviceUnits(int screenPixels) const {
        return MulDiv(screenPixels, GetDeviceCaps(dc_, LOGPIXELSX), 96);
    }
    HDC dc_;
    FrameState* fs_;
    int pane_;
};

bool GdiPrintJob::printReport(ViewRect* area, bool compact) {
    ExportOptions options = ExportOptionsOf(*fs_->session, fs_->drawing);
    options.report.loaded = fs_->drawing.loaded;
    options.report.state = &fs_->drawing.reportState;
    const size_t size = BuildReportText(options.report, compact, nullptr, 0, "\n");
    if (size == 0) return false;
    std::vector<char> text(size, '\0');
    BuildReportText(options.report, compact, text.data(), text.size(), "\n");
    const std::wstring wide = tlvWiden(text.data());
    HFONT font = createReportFont(fs_->session->settings, GetDeviceCaps(dc_, LOGPIXELSY));
    HGDIOBJ old = SelectObject(dc_, font);
    const UINT format = DT_EXPANDTABS | DT_NOPREFIX;
    RECT extent = {0, 0, 0, 0};
    DrawTextW(dc_, wide.c_str(), -1, &extent, format | DT_CALCRECT);
    const bool framed = (fs_->session->settings.printStatus & kPrintFrame) != 0;
    const int band = framed ? deviceUnits(GetSystemMetrics(SM_CXFRAME)) : 0;
    const ReportColumn c = LayoutReportColumn(area, extent.right, extent.bottom, band);
    if (framed) {
        RECT column = {c.column.left, c.column.top, c.column.right, c.column.bottom};
        DrawBevelFrame(dc_, &column, band, band, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    RECT r = {c.text.left, c.text.top, c.text.right, c.text.bottom};
    SetTextColor(dc_, RGB(0, 0, 0));
    SetBkMode(dc_, TRANSPARENT);
    DrawTextW(dc_, wide.c_str(), -1, &r, format);
    SelectObject(dc_, old);
    DeleteObject(font);
    return c.cut;
}

int GdiPrintJob::printPanes(const ViewRect& area) {
    PaneSet* set = PaneSetOf(GetDlgItem(fs_->frame, IDC_VIEW_PANEL));
    if (set == nullptr) return 0;
    const AppSettings& s = fs_->session->settings;
    const bool colour = (s.printStatus & kPrintColour) != 0;
    ViewPens pens = {};
    BuildDevicePens(&pens, colour ? kPensColour : kPensBlack, s.colorMap, s.widthMap,
                    GetDeviceCaps(dc_, LOGPIXELSX));
    ViewRect rects[kPaneCount];
    const unsigned slots = LayoutPrintedPanes(s.viewSeparate, pane_, area, rects);
    static const uint32_t kBlack[3] = {0, 0, 0};
    int drawn = 0;
    for (int slot = 0; slot < kPaneCount; ++slot) {
        if ((slots & (1u << slot)) == 0) continue;
        GdiCanvas canvas(dc_, &pens);
        canvas.setFrameWidth(deviceUnits(1));
        PanePaintInput input = PaneInputOf(set, slot);
        if (!colour) input.axisColors = kBlack;
        PaintPrintedPane(&canvas, set->view.panes[slot], rects[slot],
                         static_cast<uint32_t>(s.viewStatus), &fs_->drawing.filter, input,
                         colour ? s.colorMap[8] : 0, (s.printStatus & kPrintFrame) != 0);
        drawn = 1;
    }
    BuildPens(&pens, -1, nullptr, nullptr);
    return drawn;
}

PrintResult printDocument(HDC dc, FrameState* fs, int pane) {
    char file[kPlatPathMax] = {};
    ncBlockGetFilename(fs->drawing.blocks, fs->drawing.mainProgram, file, sizeof file, nullptr);
    const std::wstring title = tlvWiden(file);
    DOCINFOW doc = {};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = title.c_str();
    doc.lpszOutput = gPrintOutput.empty() ? nullptr : gPrintOutput.c_str();
    if (StartDocW(dc, &doc) <= 0) return {0, false};
    GdiPrintJob job(dc, fs, pane);
    const ViewRect page = {0, 0, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
    const PrintResult result =
        RunPrintPages(&job, static_cast<uint32_t>(fs->session->settings.printStatus), page);
    EndDoc(dc);
    return result;
}

}  // namespace

void SetPrintOutput(const wchar_t* path) {
    gPrintOutput = path != nullptr ? path : L"";
}

bool PrintDrawing(FrameState* fs, int pane, bool withDialog) {
    if (fs->drawing.tracing || !fs->drawing.loaded) return false;
    HDC dc = openPrinterDC(fs, withDialog);
    if (dc == nullptr) return false;
    fs->ui->statusText(tlvString(IDS_PRINTING));
    PrintResult result = {0, false};
    if ((fs->session->settings.printStatus & (kPrintReport | kPrintPaths)) != 0) {
        result = printDocument(dc, fs, pane);
    } else if (!fs->ui->visible()) {
        // At the window the person sees the empty result; a batch caller
        // would only get the exit status.
        refuseHidden(fs, IDS_NOTHING_TO_PRINT);
    }
    fs->ui->statusText(tlvString(IDS_READY));
    DeleteDC(dc);
    if (result.cut)
        fs->ui->message(tlvString(IDS_PRINT_CAPTION), tlvString(IDS_REPORT_CUT), kIconExclamation);
    return result.drawn != 0;
}

bool ChooseReportFont(HWND owner, char* face, int points[3]) {
    HDC screen = GetDC(owner);
    LOGFONTW font = {};
    font.lfHeight = -MulDiv(points[0], GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(owner, screen);
    font.lfWeight = points[1];
    font.lfItalic = points[2] != 0 ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(font.lfFaceName, tlvWiden(face).c_str(), LF_FACESIZE);
    CHOOSEFONTW cf = {};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    cf.lpLogFont = &font;
    cf.Flags = CF_SCREENFONTS | CF_FIXEDPITCHONLY | CF_SCRIPTSONLY | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFontW(&cf)) return false;
    snprintf(face, kSettingsFontSize, "%s", tlvNarrow(font.lfFaceName).c_str());
    points[0] = cf.iPointSize / 10;
    points[1] = font.lfWeight;
    points[2] = font.lfItalic != 0 ? 1 : 0;
    return true;
}
