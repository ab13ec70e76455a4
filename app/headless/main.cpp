// The headless program of the Linux build: opens NC files and writes one
// output (DXF, CSV, log or the tool path picture) without windows, or the
// NC report to standard output. Nothing waits for a person: what a message
// box would show goes to standard error. Arguments arrive in the locale's
// character set and are taken into CP932 before anything else sees them.
// Exit status: 0 when the output was written, 1 when loading or writing
// failed or a name has no CP932 form, 2 for a command line without files
// or with a bad picture size, 128 plus the signal's number when SIGINT or
// SIGTERM stopped the run.
#include "app/headless/console.h"
#include "app/picture_output.h"
#include "app/session.h"
#include "platform/native_text.h"
#include "pathdata/pipeline.h"
#include "res/strings.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The signal that asked the run to stop, or 0. Set by the handler and read
// by the progress steps, which then stop the load or export through its
// cancel path: that path removes what the run created and leaves an
// existing output alone.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "read and set in a signal handler");

extern "C" void onStopSignal(int signo) {
    stopSignal.store(signo, std::memory_order_relaxed);
}

// A second signal of the same kind ends the program at once: the way out
// of a step that does not ask for progress.
void installSignalHandlers() {
    // A closed pipe on standard output is reported like any failed write
    // instead of ending the program without a word.
    signal(SIGPIPE, SIG_IGN);
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

class HeadlessUi : public DrawingUi {
public:
    bool visible() override { return false; }
    // A name that is not an existing file is loaded as given, so that the
    // load reports it like any unreadable file.
    bool chooseOpenFiles(PathName*, int, int* count) override { return *count > 0; }
    // The given name, or the proposed one, is written without asking.
    bool chooseSaveFile(char* path, size_t, int*) override { return path[0] != '\0'; }
    void message(const char* caption, const char* text, UiIcon) override {
        std::string line = std::string(caption) + ": " + text;
        for (size_t at; (at = line.find("\n\n")) != std::string::npos;) line.replace(at, 2, ": ");
        for (char& c : line) {
            if (c == '\n') c = ' ';
        }
        consoleError(line.c_str());
    }
    // No dialog, but a signal stops the work at its next step.
    int progressStep(int, const char*, int) override {
        return stopSignal.load(std::memory_order_relaxed) == 0 ? 1 : 0;
    }
};

void usage(FILE* out) {
    fputs(
        "usage: taliver [/DXFOUT|/CSVOUT|/LOGOUT|/SVGOUT] [/SIZE=WxH] [/MDL=file] [/TDL=file]\n"
        "               [/XY|/XZ|/YZ|/XYZ] [/STRICT] file.nc [output]\n"
        "       taliver file.nc...   writes the NC report to standard output\n"
        "       taliver --version | --help\n",
        out);
}

// The arguments in CP932. False (with a message) when one has no CP932
// form: opened under another name it would be another file, or none.
bool argumentsToCp932(int argc, char** argv, std::vector<std::string>* out) {
    for (int i = 1; i < argc; ++i) {
        std::string text;
        if (!platFromNative(argv[i], &text)) {
            consoleError(tlvString(IDS_NAME_NOT_CP932));
            // The name as the system gave it, since it has no CP932 form.
            fprintf(stderr, "taliver: %s\n", tlvEscapeControls(argv[i]).c_str());
            return false;
        }
        out->push_back(std::move(text));
    }
    return true;
}

int writeReport(const Session& session, const Drawing& drawing) {
    ExportOptions o = ExportOptionsOf(session, drawing);
    o.report.loaded = drawing.loaded;
    o.report.state = &drawing.reportState;
    size_t size = BuildReportText(o.report, false, nullptr, 0, "\n");
    if (size == 0) return 1;
    std::string text(size, '\0');
    BuildReportText(o.report, false, text.data(), text.size(), "\n");
    errno = 0;
    consoleWrite(stdout, text.c_str());
    if (fflush(stdout) == 0 && ferror(stdout) == 0) return 0;
    const char* why = errno != 0 ? strerrordesc_np(errno) : nullptr;
    consoleError((std::string(tlvString(IDS_STDOUT_FAILED)) + ": " + (why ? why : "?")).c_str());
    return 1;
}

// The report names the file's folder, so files are opened by full path.
void makeAbsolute(CommandLine* command, int count) {
    for (int i = 0; i < count && i < command->fileCount; ++i) {
        char full[kCommandPathMax];
        if (platFullPath(command->files[i], full, sizeof full)) strcpy(command->files[i], full);
    }
}

// The notes of the load, in the form editors and terminals link to their
// line ("file:line: message"): the first kNotesShown, then how many more.
constexpr int kNotesShown = 20;

void showNotes(const Drawing& drawing) {
    const NcNotes& notes = *drawing.notes;
    const int shown = notes.count < kNotesShown ? notes.count : kNotesShown;
    for (int i = 0; i < shown; ++i) {
        const NcNote& note = notes.notes[i];
        char path[kPlatPathMax] = "";
        ncBlockGetFilename(drawing.blocks, note.programNumber, path, sizeof path, nullptr);
        char text[512];
        ncNoteText(note, text, sizeof text);
        consoleError((std::string(path) + ":" + std::to_string(note.lineIndex + 1) + ": " + text)
                         .c_str(),
                     false);
    }
    const uint64_t rest = ncNotesTotal(&notes) - static_cast<uint64_t>(shown);
    if (rest == 0) return;
    char more[256];
    snprintf(more, sizeof more, tlvString(IDS_NOTES_MORE), static_cast<unsigned long long>(rest));
    consoleError(more);
}

// Loads the files and says what the drawing does not show as written.
// False when nothing was loaded, or under STRICT when there are notes.
bool load(Drawing& drawing, HeadlessUi& ui, const CommandLine& command, int count) {
    std::unique_ptr<const char*[]> names(new const char*[count]);
    for (int i = 0; i < count; ++i) names[i] = command.files[i];
    OpenNcFiles(&drawing, &ui, false, names.get(), count);
    if (!drawing.loaded) return false;
    showNotes(drawing);
    return !command.strict || ncNotesTotal(drawing.notes) == 0;
}

int produce(Session& session, Drawing& drawing, HeadlessUi& ui, CommandLine& command) {
    const BatchOutput output = BatchOutputOf(command);
    makeAbsolute(&command, output == kBatchNone ? command.fileCount : 1);
    if (output == kBatchNone) {
        return load(drawing, ui, command, command.fileCount) ? writeReport(session, drawing) : 1;
    }
    if (output == kBatchPrintDirect || output == kBatchPrintDialog) {
        consoleError("printing is not available in this build");
        return 1;
    }
    if (!load(drawing, ui, command, 1)) return 1;
    PictureSettings picture;
    ExportResult result =
        ExportDrawing(&drawing, &ui, BatchOutputName(command), BatchExportType(output),
                      BatchExportOptions(session, drawing, command, &picture));
    return result == kExportWritten ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    consoleInit();
    installSignalHandlers();
    if (argc > 1 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        usage(stdout);
        return 0;
    }
    if (argc > 1 && strcmp(argv[1], "--version") == 0) {
        consoleWrite(stdout,
                     (std::string("taliver ") + tlvString(IDS_ABOUT_VERSION) + "\n").c_str());
        return 0;
    }
    std::vector<std::string> arguments;
    if (!argumentsToCp932(argc, argv, &arguments)) return 1;
    std::vector<const char*> tokens;
    for (const std::string& a : arguments) tokens.push_back(a.c_str());
    CommandLine command;
    ParseCommandArguments(static_cast<int>(tokens.size()), tokens.data(), &command);
    if (command.fileCount == 0) {
        usage(stderr);
        return 2;
    }
    if (command.pictureSize[0] < 0) {
        consoleError(tlvString(IDS_BAD_PICTURE_SIZE));
        return 2;
    }
    auto session = std::make_unique<Session>();
    std::string problems;
    if (!StartSession(session.get(), command, &problems)) {
        // A run with other machine or tool data than the user named would
        // give figures that look right and are not.
        for (size_t at = 0, end; (end = problems.find('\n', at)) != std::string::npos; at = end + 1) {
            consoleError(problems.substr(at, end - at).c_str());
        }
        return 1;
    }
    auto drawing = std::make_unique<Drawing>();
    if (!drawingCreate(drawing.get(), &session->machine, &session->tools)) {
        consoleError(tlvString(IDS_CREATE_FAILED));
        return 1;
    }
    HeadlessUi ui;
    ui.settings = &session->settings;
    int status = produce(*session, *drawing, ui, command);
    drawingDestroy(drawing.get());
    // An interrupted run leaves the settings and definitions as they were.
    const int signo = stopSignal.load();
    if (signo != 0) return 128 + signo;
    EndSession(*session);
    return status;
}
