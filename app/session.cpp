#include "app/session.h"

#include "engine/block_store.h"

#include <cstdio>
#include <cstring>

namespace {

const char* settingsPathOf(const Session& s) {
    return s.settingsPath[0] != '\0' ? s.settingsPath : nullptr;
}

}  // namespace

void startSession(Session* s, const CommandLine& command) {
    LoadSettings(&s->settings, settingsPathOf(*s));
    AppSettings& a = s->settings;
    // A value that names nothing is ignored: the remembered file is used.
    if (platIsFile(command.toolFile)) snprintf(a.toolFile, sizeof a.toolFile, "%s", command.toolFile);
    if (platIsFile(command.machineFile)) {
        snprintf(a.postFile, sizeof a.postFile, "%s", command.machineFile);
    }
    ReadToolFile(a.toolFile, &s->tools);
    ReadMachineFile(a.postFile, &s->machine);
    if (command.pane >= 0) {
        a.viewActive = command.pane;
        a.enableMap |= EM_SINGLE_PANE;
    }
}

int endSession(const Session& s) {
    int ok = SaveSettings(s.settings, settingsPathOf(s));
    ok &= WriteToolFile(s.settings.toolFile, s.tools);
    ok &= WriteMachineFile(s.settings.postFile, s.machine);
    return ok;
}

ExportOptions exportOptionsOf(const Session& s, const Drawing& d) {
    ExportOptions o = {};
    memcpy(o.colorMap, s.settings.colorMap, sizeof o.colorMap);
    o.displayMask = static_cast<uint32_t>(s.settings.viewStatus);
    o.report.programNumber = d.mainProgram;
    o.report.timeTC = s.machine.timeTC;
    if (d.blocks != nullptr) {
        ncBlockGetFilename(d.blocks, d.mainProgram, o.report.sourcePath,
                           sizeof o.report.sourcePath, &o.report.facts);
    }
    return o;
}
