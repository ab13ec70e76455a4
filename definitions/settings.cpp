#include "definitions/settings.h"

#include "definitions/profile_item.h"
#include "definitions/view_planes.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr auto kI = ProfileEncoding::Integers;
constexpr auto kR = ProfileEncoding::Reals;
constexpr auto kT = ProfileEncoding::Text;

struct SettingsKey {
    const char* section;
    const char* key;
    ProfileEncoding encoding;
    size_t offset;  // of the field in AppSettings
    int count;      // values, or bytes of a text
};

#define TLV_FIELD(field) offsetof(AppSettings, field)

// Every key of the settings file after Info/Version, in the order written.
// The history keys File00 to File15 follow.
constexpr SettingsKey kKeys[] = {
    {"Frame", "Pos", kI, TLV_FIELD(framePos), 2},
    {"Frame", "Size", kI, TLV_FIELD(frameSize), 2},
    {"Frame", "Status", kI, TLV_FIELD(frameStatus), 1},
    {"Register", "Size", kI, TLV_FIELD(registerSize), 2},
    {"Register", "Status", kI, TLV_FIELD(registerStatus), 1},
    {"Code", "Size", kI, TLV_FIELD(codeSize), 2},
    {"Code", "Status", kI, TLV_FIELD(codeStatus), 1},
    {"View", "Size", kI, TLV_FIELD(viewSize), 2},
    {"View", "Status", kI, TLV_FIELD(viewStatus), 1},
    {"View", "Active", kI, TLV_FIELD(viewActive), 1},
    {"View", "Separate", kI, TLV_FIELD(viewSeparate), 1},
    {"View", "ZoomValue", kR, TLV_FIELD(zoomValue), 1},
    {"View", "Matrix1", kI, TLV_FIELD(viewMatrix[0]), 4},
    {"View", "Matrix2", kI, TLV_FIELD(viewMatrix[1]), 4},
    {"View", "Rotate1", kR, TLV_FIELD(viewRotate[0]), 3},
    {"View", "Rotate2", kR, TLV_FIELD(viewRotate[1]), 3},
    {"View", "Rotate3", kR, TLV_FIELD(viewRotate[2]), 3},
    {"View", "Rotate4", kR, TLV_FIELD(viewRotate[3]), 3},
    {"Toolbar", "Status", kI, TLV_FIELD(toolbarStatus), 1},
    {"Toolbar", "Standard", kI, TLV_FIELD(toolbarBands[0]), 3},
    {"Toolbar", "Display", kI, TLV_FIELD(toolbarBands[1]), 3},
    {"Toolbar", "Trace", kI, TLV_FIELD(toolbarBands[2]), 3},
    {"Current", "ToolFile", kT, TLV_FIELD(toolFile), kSettingsTextSize},
    {"Current", "PostFile", kT, TLV_FIELD(postFile), kSettingsTextSize},
    {"Current", "TraceSpeed", kI, TLV_FIELD(traceSpeed), 1},
    {"Current", "TraceWait", kI, TLV_FIELD(traceWait), 3},
    {"Current", "EnableMap", kI, TLV_FIELD(enableMap), 1},
    {"Current", "PrintStatus", kI, TLV_FIELD(printStatus), 1},
    {"Current", "ColorMap", kI, TLV_FIELD(colorMap), kColorCount},
    {"Current", "WidthMap", kI, TLV_FIELD(widthMap), kColorCount},
    {"Current", "EditorName", kT, TLV_FIELD(editorName), kSettingsTextSize},
    {"Current", "EditorArg", kT, TLV_FIELD(editorArg), kSettingsTextSize},
    {"Current", "SendName", kT, TLV_FIELD(sendName), kSettingsTextSize},
    {"Current", "SendArg", kT, TLV_FIELD(sendArg), kSettingsTextSize},
    {"Current", "OpenPath", kT, TLV_FIELD(openPath), kSettingsTextSize},
    {"Current", "OpenFilter", kT, TLV_FIELD(openFilter), kSettingsTextSize},
    {"Current", "OpenFilterID", kI, TLV_FIELD(openFilterId), 1},
    {"Current", "PrinterName", kT, TLV_FIELD(printerName), kSettingsTextSize},
    {"Current", "PrinterDir", kI, TLV_FIELD(printerDir), 1},
    {"Current", "PrinterFont", kT, TLV_FIELD(printerFont), kSettingsFontSize},
    {"Current", "PrinterPoint", kI, TLV_FIELD(printerPoint), 3},
};

#undef TLV_FIELD

// Integer fields declared unsigned (flags, colours) are stored as the
// signed 32-bit numbers the encoding reads and writes: same size, same bits.
static_assert(sizeof(uint32_t) == sizeof(int32_t));

constexpr uint32_t kDefaultColors[kColorCount] = {
    0xA0A0A0,                      // rapid moves
    0xFFFF00,                      // cutting moves
    0x00FFFF,                      // cutting along Z only
    0x0000FF,                      // cutter compensation
    0x000000,                      // view background
    0x0000FF, 0x00FF00, 0xFF0000,  // X, Y, Z axes
    0x808000,                      // work plane and pane title
    0x00FFFF,                      // tool image
    0x000000,                      // code list text
    0xFF0000,                      // register list text
    0x0000FF,                      // code rows with a program number
    0x008000,                      // code comment rows
    0x800000,                      // code file header and end rows
    0x000000,                      // not used
};
// View Status in files before version 89 held the active pane; the display
// mask lived in the low 9 bits of EnableMap.
constexpr uint32_t kOldDisplayMaskBits = 0x1FF;
constexpr int32_t kPrintStatusSince88 = 0x8;

void* fieldOf(AppSettings* settings, size_t offset) {
    return reinterpret_cast<char*>(settings) + offset;
}
const void* fieldOf(const AppSettings& settings, size_t offset) {
    return reinterpret_cast<const char*>(&settings) + offset;
}

void historyKey(char* key, size_t size, int slot) {
    snprintf(key, size, "File%02d", slot);
}

template <size_t N>
void setText(char (&field)[N], const char* text) {
    CopyTextCut(field, N, text, strlen(text));
}

// A matrix must show each of the four planes exactly once.
void migrate(AppSettings* settings) {
    // A file without a version is taken as it is.
    if (settings->version <= 0) return;
    if (settings->version < 88) settings->printStatus |= kPrintStatusSince88;
    if (settings->version < 89) {
        settings->colorMap[14] = kDefaultColors[14];
        settings->viewActive = settings->viewStatus;
        settings->viewStatus = static_cast<int32_t>(settings->enableMap & kOldDisplayMaskBits);
        settings->enableMap &= ~kOldDisplayMaskBits;
    }
}

}  // namespace

std::string SettingsFilePath() {
    char exe[kPlatPathMax];
    if (!platExecutablePath(exe, sizeof exe)) return std::string();
    std::string path = exe;
    size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= FolderLength(exe)) path.erase(dot);
    return path + ".cfg";
}

void SetSettingsDefaults(AppSettings* settings) {
    memset(settings, 0, sizeof *settings);
    settings->framePos[0] = settings->framePos[1] = kDefaultPlacement;
    settings->frameSize[0] = settings->frameSize[1] = kDefaultPlacement;
    settings->frameStatus = 10;
    settings->registerSize[0] = 200;
    settings->registerSize[1] = 86;
    settings->codeSize[0] = 200;
    settings->codeSize[1] = 380;
    settings->viewSize[0] = 440;
    settings->viewSize[1] = 480;
    settings->viewStatus = 0x1F3;  // everything but the tool image
    settings->zoomValue = 1.5f;
    memcpy(settings->viewMatrix[0], kDefaultMatrix1, sizeof settings->viewMatrix[0]);
    memcpy(settings->viewMatrix[1], kDefaultMatrix2, sizeof settings->viewMatrix[1]);
    static_assert(sizeof settings->viewRotate == sizeof kDefaultAngles);
    memcpy(settings->viewRotate, kDefaultAngles, sizeof settings->viewRotate);
    settings->toolbarStatus = 5;
    for (int band = 0; band < 3; ++band) settings->toolbarBands[band][0] = 2010 + band;
    settings->traceSpeed = 1;
    settings->traceWait[1] = 200;
    settings->traceWait[2] = 600;
    settings->enableMap = EM_SINGLE_INSTANCE | EM_TOOLBAR | EM_STATUSBAR | EM_ZOOM_RECENTRE;
    settings->printStatus = 1;
    memcpy(settings->colorMap, kDefaultColors, sizeof kDefaultColors);
    for (int i = 0; i < 14; ++i) settings->widthMap[i] = 1;
    setText(settings->printerFont, "ＭＳ ゴシック");
    settings->printerPoint[0] = 9;
    settings->printerPoint[1] = 400;
    memcpy(settings->colorWork, settings->colorMap, sizeof settings->colorWork);
}

int LoadSettings(AppSettings* settings, const char* path, int* messageId) {
    if (messageId != nullptr) *messageId = 0;
    if (settings == nullptr) return 0;
    std::string filePath = path != nullptr ? std::string(path) : SettingsFilePath();
    SetSettingsDefaults(settings);
    ProfileFile file;
    bool readable = LoadProfileFile(&file, filePath.c_str(), messageId);

    ReadProfileItem(file, "Info", "Version", kI, &settings->version, 1);
    for (const SettingsKey& row : kKeys) {
        ReadProfileItem(file, row.section, row.key, row.encoding, fieldOf(settings, row.offset),
                        row.count);
    }
    char key[16];
    for (int slot = 0; slot < kHistorySize; ++slot) {
        historyKey(key, sizeof key, slot);
        ReadProfileItem(file, "History", key, kT, settings->history[slot], kSettingsTextSize);
    }

    settings->enableMap &= EM_STORED_BITS;
    memcpy(settings->colorWork, settings->colorMap, sizeof settings->colorWork);
    for (int pattern = 0; pattern < 2; ++pattern) {
        if (!IsValidMatrix(settings->viewMatrix[pattern])) {
            memcpy(settings->viewMatrix[pattern], pattern == 0 ? kDefaultMatrix1 : kDefaultMatrix2,
                   sizeof settings->viewMatrix[pattern]);
        }
    }
    migrate(settings);
    return readable ? 1 : 0;
}

int SaveSettings(const AppSettings& settings, const char* path) {
    std::string filePath = path != nullptr ? std::string(path) : SettingsFilePath();
    ProfileFile file;
    if (!file.load(filePath.c_str())) return 0;

    int32_t version = kSettingsVersion;
    WriteProfileItem(file, "Info", "Version", kI, &version, 1);
    for (const SettingsKey& row : kKeys) {
        WriteProfileItem(file, row.section, row.key, row.encoding, fieldOf(settings, row.offset),
                         row.count);
    }
    char key[16];
    for (int slot = 0; slot < kHistorySize; ++slot) {
        historyKey(key, sizeof key, slot);
        WriteProfileItem(file, "History", key, kT, settings.history[slot], kSettingsTextSize);
    }
    return file.save() ? 1 : 0;
}

void StorePaneRotations(AppSettings* settings, const float paneRotation[4][3]) {
    const int32_t* matrix = settings->viewMatrix[settings->viewSeparate == 1 ? 1 : 0];
    for (int pane = 0; pane < 4; ++pane) {
        int plane = matrix[pane];
        if (plane < 0 || plane > 3) continue;
        memcpy(settings->viewRotate[plane], paneRotation[pane], sizeof settings->viewRotate[plane]);
    }
}

int HistoryCount(const AppSettings& settings) {
    int count = 0;
    while (count < kHistorySize && settings.history[count][0] != '\0') ++count;
    return count;
}

int AddToHistory(AppSettings* settings, const char* name) {
    // An empty name in slot 0 would hide the whole list.
    if (name == nullptr || *name == '\0') return HistoryCount(*settings);
    int slot = kHistorySize - 1;
    for (int k = 0; k < kHistorySize; ++k) {
        if (settings->history[k][0] != '\0' &&
            profileCompareNoCase(settings->history[k], name) == 0) {
            slot = k;
            break;
        }
    }
    // The name may point into the slot about to be overwritten.
    char copy[kSettingsTextSize];
    setText(copy, name);
    for (int k = slot; k > 0; --k)
        memcpy(settings->history[k], settings->history[k - 1], kSettingsTextSize);
    memcpy(settings->history[0], copy, kSettingsTextSize);
    return HistoryCount(*settings);
}

int ClearHistory(AppSettings* settings) {
    memset(settings->history, 0, sizeof settings->history);
    return 0;
}
