// Printing to a PostScript test printer that writes to a file, hidden
// batch runs, the clipboard formats, the external editor and send
// application, and help, in the shell started in-process.
#include "app/win32/clipboard_picture.h"
#include "app/win32/external_apps.h"
#include "app/win32/help_page.h"
#include "app/win32/printing.h"
#include "view/print_layout.h"
#include "res/resource.h"
#include "res/strings.h"
#include "view/win32/pane_windows.h"
#include "tests/app/win_test_support.h"

#include <winspool.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> gBoxes;
int recordBox(HWND, const wchar_t* text, const wchar_t*, UINT) {
    gBoxes.push_back(text);
    return IDOK;
}

const wchar_t kPrinter[] = L"Taliver Test";

// A PostScript printer on the FILE: port, driven by Wine's PostScript
// driver with the test's own PPD, made the default. Adding what a former
// test added fails harmlessly; a printer that is still missing fails the
// last step.
bool ensureTestPrinter() {
    wchar_t dir[MAX_PATH] = {};
    DWORD size = sizeof dir;
    GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), size, &size);
    const std::wstring ppd = std::wstring(dir) + L"\\tlvtest.ppd";
    CopyFileW(tlvWiden((sourceDir() + "\\tests\\app\\data\\tlvtest.ppd").c_str()).c_str(),
              ppd.c_str(), FALSE);
    wchar_t driverName[] = L"Taliver Test PS", driverFile[] = L"wineps.drv";
    DRIVER_INFO_3W driver = {};
    driver.cVersion = 3;
    driver.pName = driverName;
    driver.pDriverPath = driverFile;
    driver.pConfigFile = driverFile;
    driver.pDataFile = const_cast<wchar_t*>(ppd.c_str());
    AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&driver));
    wchar_t port[] = L"FILE:", processor[] = L"winprint", datatype[] = L"RAW";
    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<wchar_t*>(kPrinter);
    info.pPortName = port;
    info.pDriverName = driverName;
    info.pPrintProcessor = processor;
    info.pDatatype = datatype;
    HANDLE h = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (h != nullptr) ClosePrinter(h);
    return SetDefaultPrinterW(kPrinter) != FALSE;
}

// How the PostScript sets a pen's colour (0x00BBGGRR) before it strokes.
std::string psColour(uint32_t colour) {
    char text[64];
    snprintf(text, sizeof text, "%.2f %.2f %.2f setrgbcolor", (colour & 0xFF) / 255.0,
             (colour >> 8 & 0xFF) / 255.0, (colour >> 16 & 0xFF) / 255.0);
    return text;
}

class WinPrint : public ShellTest {
protected:
    // Report and tool path on their own pages, framed, in black.
    WinPrint() : ShellTest(recordBox, "[Current]\r\nEnableMap=12288\r\nPrintStatus=13\r\n") {}
    void SetUp() override {
        ShellTest::SetUp();
        gBoxes.clear();
        ASSERT_TRUE(ensureTestPrinter());
    }
    void TearDown() override {
        SetPrintOutput(nullptr);
        ShellTest::TearDown();
    }
    // Prints with the given options to a file of the test's folder and
    // returns the PostScript.
    std::string printWith(int status, int pane, const std::string& name) {
        const std::string out = dir + "\\" + name;
        SetPrintOutput(tlvWiden(out.c_str()).c_str());
        settings().printStatus = status;
        EXPECT_TRUE(PrintDrawing(fs(), pane, false)) << status;
        return readFile(out);
    }
};

// Which pages a print has is checked natively; here that the cutting
// colour reaches the paper only when printing in colour.
TEST_F(WinPrint, ColourOnPaperOnlyWhenPrintingInColour) {
    ASSERT_EQ(startDemo(), kStartRunning);
    const std::string cutting = psColour(settings().colorMap[1]);
    EXPECT_NE(printWith(kPrintPaths | kPrintColour, 2, "colour.ps").find(cutting),
              std::string::npos);
    EXPECT_EQ(printWith(kPrintPaths, 2, "black.ps").find(cutting), std::string::npos);
    EXPECT_TRUE(gBoxes.empty());
}

// The print dialog shows the printer and enables the font button, the
// colour box and the same-page box by the report box; the choice confirmed
// is stored and printed.
TEST_F(WinPrint, DialogEnablesByTheBoxesAndStoresTheChoice) {
    ASSERT_EQ(startDemo(), kStartRunning);
    SetPrintOutput(tlvWiden((dir + "\\dialog.ps").c_str()).c_str());
    std::wstring printer;
    std::string enabled;
    const auto answer = [&](HWND dialog) {
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, IDC_PRINT_PRINTER_BUTTON, text, 256);
        printer = text;
        for (int round = 0; round < 2; ++round) {
            for (int control : {IDC_PRINT_FONT_BUTTON, IDC_PRINT_COLOUR, IDC_PRINT_SAME_PAGE}) {
                enabled += IsWindowEnabled(GetDlgItem(dialog, control)) ? '1' : '0';
            }
            if (round == 0) SendDlgItemMessageW(dialog, IDC_PRINT_REPORT, BM_CLICK, 0, 0);
        }
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    };
    withDialog(L"印刷", answer, [&] { EXPECT_TRUE(PrintDrawing(fs(), -1, true)); });
    EXPECT_EQ(printer, kPrinter);
    EXPECT_EQ(enabled, "111010");  // without the report: no font, no same page
    EXPECT_EQ(settings().printStatus, 0x09);
    EXPECT_STREQ(settings().printerName, "Taliver Test");
    EXPECT_NE(readFile(dir + "\\dialog.ps").find("%%Page:"), std::string::npos);
}

// Hidden runs print or write their output without a window or a question,
// and end with a failure where they cannot: a print dialog nobody can
// answer, saved options that print nothing, or no output asked for, when
// nothing would ever end the invisible window. A missing program writes
// nothing. Which output a line asks for and its bytes are checked natively.
TEST_F(WinPrint, HiddenBatchWritesOrFailsWithoutWaiting) {
    const std::string quoted = "\"" + demo() + "\"", dxf = dir + "\\out.dxf", ps = dir + "\\out.ps";
    const struct {
        std::string args;
        int printStatus;
        StartResult result;
        int exitCode;
        std::string output, mark;  // the output holds mark when written
    } cases[] = {
        {"/P " + quoted, 13, kStartBatch, 0, ps, "%%Page:"},
        {"/PRNOUT " + quoted, 13, kStartBatch, 1, ps, "%%Page:"},
        {"/P " + quoted, 1, kStartBatch, 1, ps, "%%Page:"},
        {"/DXFOUT " + quoted + " \"" + dxf + "\"", 13, kStartBatch, 0, dxf, "EOF"},
        {"/LOGOUT=x.log " + quoted, 13, kStartEnded, 1, "", ""},
        {"/LOGOUT", 13, kStartEnded, 1, "", ""},
    };
    for (const auto& c : cases) {
        writeFile(dir + "\\t.cfg",
                  "[Current]\r\nEnableMap=12288\r\nPrintStatus=" + std::to_string(c.printStatus));
        DeleteFileA(c.output.c_str());
        SetPrintOutput(tlvWiden(ps.c_str()).c_str());
        ASSERT_EQ(start("/HIDE " + c.args, SW_HIDE), c.result) << c.args;
        EXPECT_EQ(frame(), nullptr);
        EXPECT_EQ(program->exitCode, c.exitCode) << c.args;
        const std::string written = c.output.empty() ? "" : readFile(c.output);
        EXPECT_EQ(!written.empty() && written.find(c.mark) != std::string::npos, c.exitCode == 0)
            << c.args;
    }
    EXPECT_EQ(start("/HIDE /LOGOUT \"" + dir + "\\missing.nc\"", SW_HIDE), kStartBatch);
    EXPECT_EQ(GetFileAttributesA((dir + "\\missing.log").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(gBoxes.empty());
}

TEST_F(WinPrint, ClipboardHoldsPictureMetafileAndReport) {
    ASSERT_EQ(startDemo(), kStartRunning);
    UpdateWindow(frame());
    PaneSet* panes = PaneSetOf(GetDlgItem(frame(), IDC_VIEW_PANEL));
    ASSERT_NE(panes, nullptr);
    // Without a cached picture (never painted) there is no bitmap; the
    // metafile and the report are placed all the same.
    for (bool painted : {true, false}) {
        if (!painted) InvalidatePanes(panes, -1, false);
        EXPECT_EQ(CopyPicture(fs()), painted);
        EXPECT_EQ(IsClipboardFormatAvailable(CF_BITMAP) != FALSE, painted);
        EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
        ASSERT_TRUE(OpenClipboard(nullptr));
        const auto* text = static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT)));
        ASSERT_NE(text, nullptr);
        const std::string report = text;
        GlobalUnlock(GetClipboardData(CF_TEXT));
        CloseClipboard();
        EXPECT_EQ(report.rfind("ファイル名", 0), 0u);
        EXPECT_NE(report.find("\r\n"), std::string::npos);
    }
}

TEST_F(WinPrint, EditorAndSendGetFileAndLine) {
    ASSERT_EQ(startDemo(), kStartRunning);
    const std::string echo = winPath(TLV_ECHO_ARGS_EXE);
    const std::string out = dir + "\\args.txt";
    SetEnvironmentVariableW(L"TLV_ECHO_FILE", tlvWiden(out.c_str()).c_str());
    AppSettings& s = settings();
    snprintf(s.editorName, sizeof s.editorName, "%s", echo.c_str());
    snprintf(s.editorArg, sizeof s.editorArg, "%s", "/L%2 %s %1");
    snprintf(s.sendName, sizeof s.sendName, "%s", echo.c_str());
    snprintf(s.sendArg, sizeof s.sendArg, "%s", "%2 %1");
    const struct {
        int (*run)(FrameState*);
        int row;
        std::string expected;  // behind the quoted program
    } cases[] = {
        {OpenInEditor, 0, " /L0 %s " + demo()},  // the file's header row
        {OpenInEditor, 3, " /L3 %s " + demo()},
        {SendCurrentFile, 0, " 1 " + demo()},
    };
    for (const auto& c : cases) {
        DeleteFileA(out.c_str());
        SelectCodeLine(frame(), c.row);
        ASSERT_EQ(c.run(fs()), 1);
        for (int i = 0; i < 200 && GetFileAttributesA(out.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(50);
        Sleep(100);
        EXPECT_EQ(readFile(out), "\"" + echo + "\"" + c.expected);
    }
}

TEST_F(WinPrint, HelpPageBesideTheProgramAndMessageWhenMissing) {
    std::string exe = TLV_TALIVER_EXE;
    const std::string page = exe.substr(0, exe.size() - 4) + ".html";
    EXPECT_NE(readFile(winPath(page)).find(reinterpret_cast<const char*>(u8"終了コード")),
              std::string::npos);
    // This test program has no guide beside it.
    EXPECT_FALSE(OpenHelp(nullptr));
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0].rfind(tlvWiden(tlvString(IDS_HELP_MISSING)), 0), 0u);
}

}  // namespace
