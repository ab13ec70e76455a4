#include "app/win32/shell.h"

#include "app/picture_output.h"
#include "app/win32/filter_window.h"
#include "app/win32/commands.h"
#include "app/win32/frame.h"
#include "app/win32/gui_ui.h"
#include "app/win32/input_filter.h"
#include "app/win32/printing.h"
#include "app/win32/toolbars.h"
#include "app/win32/view_panel.h"
#include "panes/panes.h"
#include "view/win32/pane_windows.h"
#include "pathdata/export.h"
#include "pathdata/pipeline.h"
#include "res/resource.h"
#include "res/strings.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

// The command-line text as CP932, cut like the tokenizer's buffer.
std::string commandText(const wchar_t* commandLine) {
    std::string text = tlvNarrow(commandLine != nullptr ? commandLine : L"");
    if (text.size() >= kCommandTextMax) text.resize(kCommandTextMax - 1);
    return text;
}

// File names as full paths, so that the report and the history show where
// a file lies whatever the current folder was.
void makeAbsolute(CommandLine* command) {
    for (int i = 0; i < command->fileCount; ++i) {
        if (command->files[i][0] == '\0') continue;
        std::wstring wide = tlvWiden(command->files[i]);
        wchar_t full[MAX_PATH + 1] = {};
        DWORD n = GetFullPathNameW(wide.c_str(), MAX_PATH + 1, full, nullptr);
        if (n == 0 || n > MAX_PATH) continue;
        std::string narrow = tlvNarrow(full);
        if (!narrow.empty() && narrow.size() < kCommandPathMax) strcpy(command->files[i], narrow.c_str());
    }
}

int showModeOf(const Program& p, int callerShow) {
    if ((p.command.flags & OPT_HIDE) != 0) return SW_HIDE;
    // Minimised without activation: activating the frame restores a
    // minimised frame, which would undo the option at once.
    if ((p.command.flags & OPT_ICON) != 0) return SW_SHOWMINNOACTIVE;
    const int status = p.session.settings.frameStatus;
    if (status == 3) return SW_SHOWMAXIMIZED;
    if (status == 2) return SW_SHOWMINIMIZED;
    if (status != 0) return SW_SHOWNORMAL;
    return callerShow;
}

// The single-instance rule: hand the first name to the running instance.
// A batch run keeps its files: handing them over would leave its output
// unwritten and open them in a window nobody asked for.
bool handedOver(const Program& p) {
    if ((p.session.settings.enableMap & EM_SINGLE_INSTANCE) == 0) return false;
    if (BatchOutputOf(p.command) != kBatchNone) return false;
    HWND other = FindWindowW(kFrameClassName, nullptr);
    if (other == nullptr) return false;
    SetForegroundWindow(other);
    if (p.command.fileCount >= 1) {
        char buffer[kCopyDataSize] = {};
        memcpy(buffer, p.command.files[0], strnlen(p.command.files[0], kCopyDataSize - 1));
        COPYDATASTRUCT data = {COPYDATA_OPEN_FILE, kCopyDataSize, buffer};
        SendMessageW(other, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
    return true;
}

void runBatch(Program* p, FrameState* fs) {
    HWND frame = p->frame;
    const char* first = p->command.files[0];
    OpenFiles(fs, false, &first, 1);
    const BatchOutput output = BatchOutputOf(p->command);
    const AppSettings& s = p->session.settings;
    const int pane = (s.enableMap & EM_SINGLE_PANE) != 0 ? s.viewActive : -1;
    const int button = output == kBatchPrintDirect   ? CMD_PRINT_DIRECT
                       : output == kBatchPrintDialog ? CMD_PRINT
                                                     : CMD_SAVE_AS;
    CheckToolButton(fs, button, true);
    if (output == kBatchPrintDirect || output == kBatchPrintDialog) {
        // Unlike a person at the window, a batch caller learns of a print
        // that did not happen only from the exit status.
        if (!PrintDrawing(fs, pane, output == kBatchPrintDialog)) p->exitCode = 1;
    } else {
        PictureSettings picture;
        const ExportResult written = ExportDrawing(
            &fs->drawing, fs->ui.get(), BatchOutputName(p->command), BatchExportType(output),
            BatchExportOptions(p->session, fs->drawing, p->command, &picture));
        // A program that could not be read leaves no drawing to export.
        if (written != kExportWritten) p->exitCode = 1;
    }
    CheckToolButton(fs, button, false);
    // Directly, without the close handling: the batch run changes no layout.
    DestroyWindow(frame);
    p->frame = nullptr;
}

// A hidden run shows no window: one without files and an output to
// produce would stay running where no one can see or end it.
bool hiddenWithoutOutput(const CommandLine& command) {
    return (command.flags & OPT_HIDE) != 0 &&
           (command.fileCount < 1 || BatchOutputOf(command) == kBatchNone);
}

}  // namespace

StartResult StartProgram(Program* p, const wchar_t* commandLine, int show) {
    p->frame = nullptr;
    p->saveAtEnd = false;
    if (!RegisterClasses(p->instance)) return kStartEnded;
    ParseCommandLine(commandText(commandLine).c_str(), &p->command);
    makeAbsolute(&p->command);
    std::string problems;
    const bool started = StartSession(&p->session, p->command, &problems);
    const int mode = showModeOf(*p, show);
    if ((p->command.flags & OPT_DEFSIZE) != 0) {
        AppSettings& s = p->session.settings;
        s.framePos[0] = s.framePos[1] = s.frameSize[0] = s.frameSize[1] = kDefaultPlacement;
    }
    if (handedOver(*p)) return kStartEnded;
    if (hiddenWithoutOutput(p->command)) {
        WriteStandardError(std::string(tlvString(IDS_PRODUCT)) + ": " +
                           tlvString(IDS_HIDDEN_NO_OUTPUT) + "\r\n");
        p->exitCode = 1;
        return kStartEnded;
    }
    p->frame = CreateMainWindow(p->instance, &p->session);
    if (p->frame == nullptr) return kStartEnded;
    p->saveAtEnd = true;
    ShowWindow(p->frame, mode);
    UpdateWindow(p->frame);
    FrameState* fs = FrameStateOf(p->frame);
    // A window shows what could not be read and goes on with the
    // remembered files; a batch run ends without output instead of giving
    // figures made with other data than the user named.
    if (!started) fs->ui->message(tlvString(IDS_PRODUCT), problems.c_str(), kIconExclamation);
    if (!started && p->command.fileCount >= 1 && BatchOutputOf(p->command) != kBatchNone) {
        p->exitCode = 1;
        DestroyWindow(p->frame);
        p->frame = nullptr;
        return kStartBatch;
    }
    fs->ui->statusText(tlvString(IDS_READY));
    ClearRegisterList(p->frame);
    ClearCodeList(p->frame);
    ActivateViewPane(p->frame, p->session.settings.viewActive);
    FitViewPanes(p->frame, -1);
    if (p->command.fileCount >= 1) {
        if (BatchOutputOf(p->command) != kBatchNone) {
            runBatch(p, fs);
            return kStartBatch;
        }
        const char* names[16];
        for (int i = 0; i < p->command.fileCount; ++i) names[i] = p->command.files[i];
        OpenFiles(fs, false, names, p->command.fileCount);
    }
    fs->ui->drawingChanged(fs->drawing, kDrawingState);
    return kStartRunning;
}

int RunMessageLoop(HWND frame) {
    MSG msg;
    for (;;) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // Messages come first; the callback runs only on an empty queue
            // and says how long nothing is due, so that a paused or slow
            // trace sleeps instead of spinning.
            const IdleCallback idle = CurrentIdleCallback();
            const DWORD wait = idle != nullptr ? idle() : INFINITE;
            if (wait != 0)
                MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            continue;
        }
        if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
        HWND filter = FilterWindow();
        if (filter != nullptr && IsWindow(filter) && IsDialogMessageW(filter, &msg)) continue;
        if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR) &&
            IsWindow(frame) && (msg.hwnd == frame || IsChild(frame, msg.hwnd))) {
            POINT at;
            GetCursorPos(&at);
            // Keys pressed over a pane reach the main window's key handler,
            // whichever of its children has the focus; a window of its own
            // (the notes) keeps its keys wherever the pointer rests.
            if (PaneFromWindow(WindowFromPoint(at)) >= 0) msg.hwnd = frame;
        }
        if (FilterInputMessage(frame, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void FinishProgram(const Program& p) {
    if (p.saveAtEnd) EndSession(p.session);
}

int RunProgram(HINSTANCE instance, const wchar_t* commandLine, int show) {
    auto program = std::make_unique<Program>();
    program->instance = instance;
    if (StartProgram(program.get(), commandLine, show) == kStartEnded) return program->exitCode;
    RunMessageLoop(program->frame);
    FinishProgram(*program);
    return program->exitCode;
}
