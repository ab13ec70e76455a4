// Measures the trace in the running shell: not a test, run by hand under
// Wine. Usage: win_trace_timing FILE.nc [seconds]
// Prints the processor time the process uses while a trace is paused and
// while it runs at low speed (the main loop should sleep in both), then the
// steps per second at high speed until the trace ends (or the limit of
// 30 times the given seconds).
#include "app/win32/commands.h"
#include "app/win32/frame.h"
#include "dialogs/win32/common_dialogs.h"
#include "app/win32/shell.h"
#include "app/win32/trace_runner.h"
#include "res/resource.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

int answerNo(HWND, const wchar_t*, const wchar_t*, UINT) {
    return IDNO;
}

double processSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto value = [](FILETIME t) {
        return (static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) * 1e-7;
    };
    return value(kernel) + value(user);
}

HWND gFrame = nullptr;
DWORD gLimit = 0, gStarted = 0;

// Ends the loop at the time limit, or as soon as the trace has ended.
void CALLBACK watch(HWND, UINT, UINT_PTR, DWORD) {
    if (GetTickCount() - gStarted >= gLimit || traceMode(FrameStateOf(gFrame)) == -1) PostQuitMessage(0);
}

// Runs the main loop for at most limit milliseconds, looking every period
// milliseconds whether to end; returns the processor seconds used and the
// wall seconds passed.
void runLoop(DWORD limit, UINT period, double* cpu, double* wall) {
    gLimit = limit;
    gStarted = GetTickCount();
    const double before = processSeconds();
    const UINT_PTR timer = SetTimer(nullptr, 0, period, watch);
    RunMessageLoop(gFrame);
    KillTimer(nullptr, timer);
    *cpu = processSeconds() - before;
    *wall = (GetTickCount() - gStarted) / 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: %s FILE.nc [seconds]\n", argv[0]);
        return 2;
    }
    const DWORD span = (argc > 2 ? atoi(argv[2]) : 10) * 1000;
    tlvSetMessageBoxHook(answerNo);
    auto program = std::make_unique<Program>();
    program->instance = GetModuleHandleW(nullptr);
    const std::string file = argv[1];
    const std::wstring line(file.begin(), file.end());
    if (StartProgram(program.get(), line.c_str(), SW_SHOWNORMAL) != kStartRunning) return 1;
    gFrame = program->frame;
    FrameState* fs = FrameStateOf(gFrame);
    if (fs == nullptr || !fs->drawing.loaded) return 1;
    AppSettings& s = program->session.settings;
    s.traceWait[0] = 0, s.traceWait[1] = 200, s.traceWait[2] = 600;
    const int records = pathStoreCount(fs->drawing.paths);
    printf("records %d\n", records);
    double cpu = 0, wall = 0;

    DispatchCommand(FrameStateOf(gFrame), CMD_TRACE_RUN);
    SetTraceMode(FrameStateOf(gFrame), 2);
    runLoop(span, 500, &cpu, &wall);
    printf("paused:    %.1f s wall, %.3f s processor\n", wall, cpu);

    s.traceSpeed = 2;
    SetTraceMode(FrameStateOf(gFrame), 0);
    const int32_t before = traceStepCount();
    runLoop(span, 500, &cpu, &wall);
    printf("low speed: %.1f s wall, %.3f s processor, %d steps\n", wall, cpu,
           traceStepCount() - before);

    DispatchCommand(FrameStateOf(gFrame), CMD_TRACE_STOP);
    s.traceSpeed = 0;
    // Short programs are traced again until two seconds have passed, so
    // that the timer's 10 ms steps do not count.
    double totalWall = 0, totalCpu = 0;
    int64_t steps = 0;
    int runs = 0;
    bool ended = true;
    while (ended && totalWall < 2.0) {
        DispatchCommand(FrameStateOf(gFrame), CMD_TRACE_RUN);
        runLoop(30 * span, 10, &cpu, &wall);
        ended = traceMode(FrameStateOf(gFrame)) == -1;
        steps += ended ? records : traceStepCount();
        totalWall += wall, totalCpu += cpu, ++runs;
    }
    printf("high speed: %lld steps in %d runs, %.2f s wall (%.0f steps/s), %.2f s processor%s\n",
           static_cast<long long>(steps), runs, totalWall, steps / totalWall, totalCpu,
           ended ? "" : ", stopped at the limit");
    DestroyWindow(gFrame);
    return 0;
}
