#include "app/session.h"

#include "definitions/profile_item.h"
#include "engine/block_store.h"
#include "res/strings.h"

#include <cstdio>
#include <cstring>

namespace {

const char* settingsPathOf(const Session& s) {
    return s.settingsPath[0] != '\0' ? s.settingsPath : nullptr;
}

void addProblem(std::string* problems, int messageId, const char* path) {
    *problems += std::string(tlvString(messageId)) + ": " + path + "\n";
}

// A machine or tool file named on the command line. A relative name is
// looked for beside the executable, where remembered names are read from,
// then in the current folder, where a command-line user expects it; out
// receives the name to remember (the full path for the current folder).
// False when the file is in neither.
bool findNamedFile(const char* name, char* out, size_t size) {
    const bool beside = platIsFile(ResolveDefinitionPath(name).c_str());
    if (beside || platIsAbsolutePath(name)) {
        snprintf(out, size, "%s", name);
        return beside;
    }
    return platIsFile(name) && platFullPath(name, out, size);
}

// Takes the named file (if any) in place of the remembered one and reads
// it; a file that is missing or refused is reported and the remembered one
// read instead.
template <class Definition>
void readDefinition(const char* named, char* remembered, size_t size, Definition* definition,
                    int (*read)(const char*, Definition*, int*), std::string* problems) {
    char found[kPlatPathMax];
    int messageId = 0;
    if (named[0] != '\0') {
        if (!findNamedFile(named, found, sizeof found)) {
            addProblem(problems, IDS_FILE_NOT_FOUND, named);
        } else if (!read(found, definition, &messageId)) {
            addProblem(problems, messageId != 0 ? messageId : IDS_READ_FAILED, named);
        } else {
            snprintf(remembered, size, "%s", found);
            return;
        }
    }
    if (!read(remembered, definition, &messageId) && messageId != 0) {
        addProblem(problems, messageId, ResolveDefinitionPath(remembered).c_str());
    }
}

}  // namespace

bool StartSession(Session* s, const CommandLine& command, std::string* problems) {
    problems->clear();
    int messageId = 0;
    if (!LoadSettings(&s->settings, settingsPathOf(*s), &messageId) && messageId != 0) {
        addProblem(problems, messageId,
                   s->settingsPath[0] != '\0' ? s->settingsPath : SettingsFilePath().c_str());
    }
    AppSettings& a = s->settings;
    readDefinition(command.toolFile, a.toolFile, sizeof a.toolFile, &s->tools, ReadToolFile,
                   problems);
    readDefinition(command.machineFile, a.postFile, sizeof a.postFile, &s->machine,
                   ReadMachineFile, problems);
    if (command.pane >= 0) {
        a.viewActive = command.pane;
        a.enableMap |= EM_SINGLE_PANE;
    }
    return problems->empty();
}

int EndSession(const Session& s) {
    int ok = SaveSettings(s.settings, settingsPathOf(s));
    ok &= WriteToolFile(s.settings.toolFile, s.tools);
    ok &= WriteMachineFile(s.settings.postFile, s.machine);
    return ok;
}

ExportOptions ExportOptionsOf(const Session& s, const Drawing& d) {
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
