// Printing to a PostScript test printer that writes to a file, the
// clipboard formats, the external editor and send application, and help,
// in the shell started in-process.
#include "app/win32/clipboard_picture.h"
#include "app/win32/external_apps.h"
#include "app/win32/help_page.h"
#include "app/win32/printing.h"
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
// driver with the test's own PPD; added once per prefix.
bool ensureTestPrinter() {
    HANDLE h = nullptr;
    if (OpenPrinterW(const_cast<wchar_t*>(kPrinter), &h, nullptr)) {
        ClosePrinter(h);
        return SetDefaultPrinterW(kPrinter) != FALSE;
    }
    wchar_t dir[MAX_PATH] = {};
    DWORD size = sizeof dir;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), size, &size))
        return false;
    const std::wstring ppd = std::wstring(dir) + L"\\tlvtest.ppd";
    if (!CopyFileW(tlvWiden((sourceDir() + "\\tests\\app\\data\\tlvtest.ppd").c_str()).c_str(),
                   ppd.c_str(), FALSE)) {
        return false;
    }
    wchar_t driverName[] = L"Taliver Test PS", driverFile[] = L"wineps.drv";
    DRIVER_INFO_3W driver = {};
    driver.cVersion = 3;
    driver.pName = driverName;
    driver.pDriverPath = driverFile;
    driver.pConfigFile = driverFile;
    driver.pDataFile = const_cast<wchar_t*>(ppd.c_str());
    if (!AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&driver)) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
        return false;
    }
    wchar_t port[] = L"FILE:", processor[] = L"winprint", datatype[] = L"RAW";
    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<wchar_t*>(kPrinter);
    info.pPortName = port;
    info.pDriverName = driverName;
    info.pPrintProcessor = processor;
    info.pDatatype = datatype;
    h = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (h == nullptr) return false;
    ClosePrinter(h);
    return SetDefaultPrinterW(kPrinter) != FALSE;
}

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Runs a Linux program (argv[0] a Unix path) to its end through Wine's
// own spawn entry, as the browser launcher does; false where there is none.
bool runUnix(std::vector<std::string> args) {
    using Spawn = LONG(CDECL*)(char* const argv[], int wait);
    auto spawn = reinterpret_cast<Spawn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    if (spawn == nullptr) return false;
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return spawn(argv.data(), TRUE) == 0;
}

// The Unix path of a Windows path, from Wine's own conversion.
std::string unixPath(const std::string& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* converted = convert != nullptr ? convert(tlvWiden(path.c_str()).c_str()) : nullptr;
    if (converted == nullptr) return {};
    std::string out = converted;
    HeapFree(GetProcessHeap(), 0, converted);
    return out;
}

// Whether a pixel of colour (0x00BBGGRR) is on the page that ghostscript
// renders from ps; -1 when it could not render it.
int hasColour(const std::string& ps, uint32_t colour) {
    const std::string ppm = ps + ".ppm";
    DeleteFileA(ppm.c_str());
    const std::string psUnix = unixPath(ps);
    if (!runUnix({"/usr/bin/gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=ppmraw", "-r60",
                  "-sOutputFile=" + psUnix + ".ppm", psUnix})) {
        return -1;
    }
    const std::string image = readFile(ppm);
    // "P6\n<w> <h>\n255\n" then RGB triples.
    size_t at = 0;
    for (int fields = 0; fields < 4 && at != std::string::npos; ++fields)
        at = image.find_first_of(" \n", at + 1);
    if (at == std::string::npos) return -1;
    const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    const auto closeTo = [](char got, int want) {
        return abs(static_cast<unsigned char>(got) - want) <= 2;
    };
    for (size_t i = at + 1; i + 2 < image.size(); i += 3) {
        if (closeTo(image[i], r) && closeTo(image[i + 1], g) && closeTo(image[i + 2], b)) return 1;
    }
    return 0;
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

TEST_F(WinPrint, PagesAndColours) {
    ASSERT_EQ(start("\"" + demo() + "\""), kStartRunning);
    EXPECT_EQ(countOf(printWith(0x0D, -1, "two.ps"), "%%Page:"), 2);
    EXPECT_EQ(countOf(printWith(0x1D, -1, "one.ps"), "%%Page:"), 1);
    // The cutting colour is on paper only when printing in colour.
    const uint32_t cutting = settings().colorMap[1];
    printWith(0x0A, 2, "colour.ps");
    printWith(0x08, 2, "black.ps");
    EXPECT_EQ(hasColour(dir + "\\colour.ps", cutting), 1);
    EXPECT_EQ(hasColour(dir + "\\black.ps", cutting), 0);
    EXPECT_TRUE(gBoxes.empty());
}

// What the print dialog showed: the printer, and the enabled state of the
// font button, the colour box and the same-page box before and after the
// report box is cleared; then it is confirmed.
std::wstring gDialogPrinter;
std::string gEnabled;
void CALLBACK answerPrintDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowW(L"#32770", L"印刷");
    if (dialog == nullptr) return;
    KillTimer(nullptr, id);
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, IDC_PRINT_PRINTER_BUTTON, text, 256);
    gDialogPrinter = text;
    for (int round = 0; round < 2; ++round) {
        for (int control : {IDC_PRINT_FONT_BUTTON, IDC_PRINT_COLOUR, IDC_PRINT_SAME_PAGE}) {
            gEnabled += IsWindowEnabled(GetDlgItem(dialog, control)) ? '1' : '0';
        }
        if (round == 0) SendDlgItemMessageW(dialog, IDC_PRINT_REPORT, BM_CLICK, 0, 0);
    }
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(WinPrint, DialogEnablesByTheBoxesAndStoresTheChoice) {
    ASSERT_EQ(start("\"" + demo() + "\""), kStartRunning);
    SetPrintOutput(tlvWiden((dir + "\\dialog.ps").c_str()).c_str());
    gEnabled.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 100, answerPrintDialog);
    EXPECT_TRUE(PrintDrawing(fs(), -1, true));
    KillTimer(nullptr, timer);
    EXPECT_EQ(gDialogPrinter, kPrinter);
    EXPECT_EQ(gEnabled, "111010");  // without the report: no font, no same page
    EXPECT_EQ(settings().printStatus, 0x09);
    EXPECT_STREQ(settings().printerName, "Taliver Test");
    EXPECT_EQ(countOf(readFile(dir + "\\dialog.ps"), "%%Page:"), 1);
}

TEST_F(WinPrint, HiddenBatchPrintsWithoutDialogOrFails) {
    const struct {
        const char* option;
        int printStatus;
        int exitCode;
    } cases[] = {
        {"/P", 13, 0},
        {"/PRNOUT", 13, 1},  // a dialog cannot be answered hidden
        {"/P", 1, 1},        // the saved options print nothing
    };
    int run = 0;
    for (const auto& c : cases) {
        const std::string out = dir + "\\batch" + std::to_string(run++) + ".ps";
        writeFile(dir + "\\t.cfg",
                  "[Current]\r\nEnableMap=12288\r\nPrintStatus=" + std::to_string(c.printStatus));
        SetPrintOutput(tlvWiden(out.c_str()).c_str());
        EXPECT_EQ(start(std::string(c.option) + " /HIDE \"" + demo() + "\"", SW_HIDE), kStartBatch);
        EXPECT_EQ(program->exitCode, c.exitCode) << c.option;
        EXPECT_EQ(countOf(readFile(out), "%%Page:") > 0, c.exitCode == 0) << c.option;
        EXPECT_TRUE(gBoxes.empty());
    }
}

bool clipboardHas(UINT format) {
    return IsClipboardFormatAvailable(format) != FALSE;
}

TEST_F(WinPrint, ClipboardHoldsPictureMetafileAndReport) {
    ASSERT_EQ(start("\"" + demo() + "\""), kStartRunning);
    UpdateWindow(frame());
    PaneSet* panes = PaneSetOf(GetDlgItem(frame(), IDC_VIEW_PANEL));
    ASSERT_NE(panes, nullptr);
    // Without a cached picture (never painted) there is no bitmap; the
    // metafile and the report are placed all the same.
    for (bool painted : {true, false}) {
        if (!painted) InvalidatePanes(panes, -1, false);
        EXPECT_EQ(CopyPicture(fs()), painted);
        EXPECT_EQ(clipboardHas(CF_BITMAP), painted);
        EXPECT_TRUE(clipboardHas(CF_ENHMETAFILE));
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
    ASSERT_EQ(start("\"" + demo() + "\""), kStartRunning);
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
