// Printing to a PostScript test printer that writes to a file, the
// clipboard formats, the external editor and send application, and help,
// in the shell started in-process.
#include "app/win32/clipboard_picture.h"
#include "app/win32/external_apps.h"
#include "app/win32/help_page.h"
#include "app/win32/printing.h"
#include "res/strings.h"
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

// Runs a program to its end while serving this process's messages.
DWORD runToEnd(const std::string& line) {
    std::wstring command = tlvWiden(line.c_str());
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return ~0u;
    DWORD waited = WAIT_TIMEOUT, code = STILL_ACTIVE;
    for (int i = 0; i < 600 && waited == WAIT_TIMEOUT; ++i) {
        pump();
        waited = WaitForSingleObject(pi.hProcess, 50);
    }
    if (waited == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

// Whether a pixel of colour (0x00BBGGRR) is in the page that ghostscript
// renders from ps; -1 when ghostscript could not render it.
int hasColour(const std::string& ps, uint32_t colour) {
    const std::string ppm = ps + ".ppm";
    DeleteFileA(ppm.c_str());
    // Wine starts a Linux program given by its Unix path.
    std::string unixPs = ps.substr(2), unixPpm = ppm.substr(2);
    for (std::string* s : {&unixPs, &unixPpm}) {
        for (char& c : *s) c = c == '\\' ? '/' : c;
    }
    if (runToEnd("/usr/bin/gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ppmraw -r60 -sOutputFile=" +
                 unixPpm + " " + unixPs) != 0) {
        return -1;
    }
    const std::string image = readFile(ppm);
    // "P6\n<w> <h>\n255\n" then RGB triples.
    size_t at = 0;
    for (int fields = 0; fields < 4 && at != std::string::npos; ++fields)
        at = image.find_first_of(" \n", at + 1);
    if (at == std::string::npos) return -1;
    const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    for (size_t i = at + 1; i + 2 < image.size(); i += 3) {
        const auto near = [](unsigned char got, int want) { return abs(got - want) <= 2; };
        if (near(image[i], r) && near(image[i + 1], g) && near(image[i + 2], b)) return 1;
    }
    return 0;
}

class WinPrint : public ShellTest {
protected:
    WinPrint() : ShellTest(recordBox, "[Current]\r\nEnableMap=12288\r\n") {}
    void SetUp() override {
        ShellTest::SetUp();
        gBoxes.clear();
        ASSERT_TRUE(ensureTestPrinter());
    }
    void TearDown() override {
        tlvSetPrintOutput(nullptr);
        ShellTest::TearDown();
    }
    // Prints with the given options to a file of the test's folder and
    // returns the PostScript.
    std::string printWith(int status, int pane, const std::string& name) {
        const std::string out = dir + "\\" + name;
        tlvSetPrintOutput(tlvWiden(out.c_str()).c_str());
        settings().printStatus = status;
        EXPECT_TRUE(printDrawing(frame(), pane, false)) << status;
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

TEST_F(WinPrint, LongReportIsCutWithAWarning) {
    ASSERT_EQ(start("\"" + demo() + "\""), kStartRunning);
    settings().printerPoint[0] = 40;  // far too large for the A5 test page
    printWith(0x04, -1, "cut.ps");
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0], tlvWiden(tlvString(IDS_REPORT_CUT)));
}

TEST_F(WinPrint, HiddenBatchPrintsWithoutDialogOrFails) {
    const struct {
        const char* option;
        int exitCode;
    } cases[] = {{"/P", 0}, {"/PRNOUT", 1}};  // a dialog cannot be answered hidden
    for (const auto& c : cases) {
        const std::string out = dir + "\\batch" + std::to_string(c.exitCode) + ".ps";
        tlvSetPrintOutput(tlvWiden(out.c_str()).c_str());
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
    // Hidden, the panes were never painted: no bitmap, the rest is there.
    for (int show : {SW_SHOWNORMAL, SW_HIDE}) {
        ASSERT_EQ(start("\"" + demo() + "\"", show), kStartRunning);
        UpdateWindow(frame());
        EXPECT_EQ(copyPicture(frame()), show == SW_SHOWNORMAL);
        EXPECT_EQ(clipboardHas(CF_BITMAP), show == SW_SHOWNORMAL);
        EXPECT_TRUE(clipboardHas(CF_ENHMETAFILE));
        ASSERT_TRUE(OpenClipboard(nullptr));
        const auto* text = static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT)));
        ASSERT_NE(text, nullptr);
        const std::string report = text;
        GlobalUnlock(GetClipboardData(CF_TEXT));
        CloseClipboard();
        EXPECT_EQ(report.rfind("ファイル名", 0), 0u);
        EXPECT_NE(report.find("\r\n"), std::string::npos);
        DestroyWindow(frame());
        pump();
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
        int (*run)(HWND);
        int row;
        std::string expected;  // behind the quoted program
    } cases[] = {
        {openInEditor, 0, " /L0 %s " + demo()},  // the file's header row
        {openInEditor, 3, " /L3 %s " + demo()},
        {sendCurrentFile, 0, " 1 " + demo()},
    };
    for (const auto& c : cases) {
        DeleteFileA(out.c_str());
        SelectCodeLine(frame(), c.row);
        ASSERT_EQ(c.run(frame()), 1);
        for (int i = 0; i < 200 && GetFileAttributesA(out.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(50);
        Sleep(100);
        EXPECT_EQ(readFile(out), "\"" + echo + "\"" + c.expected);
    }
}

TEST_F(WinPrint, HelpPageBesideTheProgramAndMessageWhenMissing) {
    std::string exe = TLV_TALIVER_EXE;
    const std::string page = exe.substr(0, exe.size() - 4) + ".html";
    EXPECT_NE(readFile(winPath(page)).find("終了コード"), std::string::npos);
    // This test program has no guide beside it.
    EXPECT_FALSE(openHelp(nullptr));
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0].rfind(tlvWiden(tlvString(IDS_HELP_MISSING)), 0), 0u);
}

}  // namespace
