#include "app/win32/external_apps.h"

#include "app/external_args.h"
#include "app/win32/frame_state.h"
#include "panes/panes.h"
#include "platform/win32/wide.h"

#include <string>

namespace {

// A program that never idles (a console program, one stuck at start) must
// not freeze the viewer: the wait only smooths the hand-over of the focus.
constexpr DWORD kInputIdleWaitMs = 3000;

std::wstring registryDefault(const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return {};
    wchar_t value[1024] = {};
    DWORD size = sizeof value - sizeof(wchar_t), type = 0;
    const LONG status =
        RegQueryValueExW(handle, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    if (type == REG_SZ) return value;
    // The usual entry is "%SystemRoot%\system32\NOTEPAD.EXE %1".
    wchar_t expanded[2048] = {};
    const DWORD n = ExpandEnvironmentStringsW(value, expanded, 2048);
    return n > 0 && n <= 2048 ? std::wstring(expanded) : std::wstring(value);
}

// Starts the editor or send application: the configured program with its
// pattern, else the text-file command as a whole command line.
int launchFor(const char* program, const char* pattern, const std::string& file, int line) {
    if (program[0] != '\0') {
        return LaunchProcess(program, ExpandArgumentPattern(pattern, file, line).c_str(),
                             SW_SHOWNORMAL);
    }
    return LaunchProcess(nullptr, ExpandTextCommand(TextFileCommand().c_str(), file).c_str(),
                         SW_SHOWNORMAL);
}

}  // namespace

std::string TextFileCommand() {
    const std::wstring type = registryDefault(L".txt");
    std::wstring command =
        type.empty() ? std::wstring() : registryDefault(type + L"\\Shell\\Open\\Command");
    if (command.empty()) return "notepad.exe \"%1\"";
    return tlvNarrow(command.c_str());
}

int OpenInEditor(FrameState* fs) {
    if (fs->drawing.blocks == nullptr) return 0;
    const int32_t row = GetSelectedCodeLine(fs->frame);
    int32_t program = 0;
    NcBlockText block;
    char file[kPlatPathMax] = {};
    if (ncBlockListToProgram(fs->drawing.blocks, row, &program, nullptr) == 0 ||
        ncBlockGetFilename(fs->drawing.blocks, program, file, sizeof file, nullptr) == 0 ||
        ncBlockListGet(fs->drawing.blocks, row, &block) == 0) {
        return 0;
    }
    const AppSettings& s = fs->session->settings;
    launchFor(s.editorName, s.editorArg, file, block.lineIndex + 1);
    return 1;
}

int SendCurrentFile(FrameState* fs) {
    if (!fs->drawing.loaded) return 0;
    char file[kPlatPathMax] = {};
    if (ncBlockGetFilename(fs->drawing.blocks, fs->drawing.mainProgram, file, sizeof file,
                           nullptr) == 0)
        return 0;
    const AppSettings& s = fs->session->settings;
    return launchFor(s.sendName, s.sendArg, file, 1);
}

int LaunchProcess(const char* program, const char* arguments, int show) {
    std::string line;
    if (program != nullptr && program[0] != '\0')
        line.append(1, '"').append(program).append(1, '"');
    if (arguments != nullptr && arguments[0] != '\0') {
        if (!line.empty()) line.append(1, ' ');
        line.append(arguments);
    }
    if (line.empty()) return 0;
    std::wstring wide = tlvWiden(line.c_str());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show != 0 ? show : SW_SHOWNORMAL);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                        &process)) {
        return 0;
    }
    WaitForInputIdle(process.hProcess, kInputIdleWaitMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}
