// The one settings record, AppSettings: read from the settings file at
// start-up, written back at exit, with the file history of the File menu.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

// Bits of AppSettings::enableMap. The low 16 bits are options kept in the
// file; the high bits are run state and are cleared when the file is read.
constexpr uint32_t EM_SINGLE_INSTANCE = 0x00000001;
constexpr uint32_t EM_TOPMOST = 0x00000200;
constexpr uint32_t EM_TOOLBAR = 0x00001000;
constexpr uint32_t EM_STATUSBAR = 0x00002000;
constexpr uint32_t EM_ZOOM_RECENTRE = 0x00004000;
constexpr uint32_t EM_SINGLE_PANE = 0x00008000;
constexpr uint32_t EM_TRACING = 0x10000000;
constexpr uint32_t EM_PRINTING = 0x20000000;
constexpr uint32_t EM_PICTURE = 0x40000000;
constexpr uint32_t EM_LOADED = 0x80000000;
constexpr uint32_t EM_STORED_BITS = 0x0000FFFF;

constexpr int kSettingsVersion = 89;
constexpr int kSettingsTextSize = 260;  // paths and programs: 259 bytes and the NUL
constexpr int kSettingsFontSize = 32;
constexpr int kHistorySize = 16;
constexpr int kColorCount = 16;
constexpr int32_t kDefaultPlacement = INT32_MIN;  // the platform places the window

struct AppSettings {
    int32_t version;  // as read, 0 when missing; always written as 89

    int32_t framePos[2];   // left, top, or kDefaultPlacement
    int32_t frameSize[2];  // width, height, or kDefaultPlacement
    int32_t frameStatus;   // 3 maximised, 2 minimised, 10 normal
    int32_t registerSize[2];
    int32_t registerStatus;  // register list font bits
    int32_t codeSize[2];
    int32_t codeStatus;  // code list font bits
    int32_t viewSize[2];
    int32_t viewStatus;        // display mask of the views
    int32_t viewActive;        // active pane 0 to 3
    int32_t viewSeparate;      // current four-pane pattern: 0 pattern 1, 1 pattern 2
    float zoomValue;           // zoom factor per step
    int32_t viewMatrix[2][4];  // plane (0 XY, 1 XZ, 2 YZ, 3 XYZ) of panes 0-3 per pattern
    float viewRotate[4][3];    // angles about X, Y, Z kept per plane, not per pane

    int32_t toolbarStatus;       // 0x1 band titles, 0x2 button texts, 0x4 flat, 0x8 list
    int32_t toolbarBands[3][3];  // band slots Standard, Display, Trace: id, width, style

    char toolFile[kSettingsTextSize];
    char postFile[kSettingsTextSize];
    int32_t traceSpeed;              // 0 high, 1 normal, 2 low
    int32_t traceWait[3];            // milliseconds per step at each speed
    uint32_t enableMap;              // EM_* bits
    int32_t printStatus;             // print option bits
    uint32_t colorMap[kColorCount];  // 0x00BBGGRR per view element
    int32_t widthMap[kColorCount];   // pen widths
    char editorName[kSettingsTextSize];
    char editorArg[kSettingsTextSize];  // %1 file name, %2 line number
    char sendName[kSettingsTextSize];
    char sendArg[kSettingsTextSize];  // %1 file name
    char openPath[kSettingsTextSize];
    char openFilter[kSettingsTextSize];
    int32_t openFilterId;
    char printerName[kSettingsTextSize];
    int32_t printerDir;  // 1 portrait, 2 landscape
    char printerFont[kSettingsFontSize];
    int32_t printerPoint[3];  // points, weight, italic

    // Most recent first; an empty slot ends the list.
    char history[kHistorySize][kSettingsTextSize];

    // Never written: the colours as the property pages edit them, taken
    // from colorMap after every read.
    uint32_t colorWork[kColorCount];
};
static_assert(std::is_trivially_copyable_v<AppSettings>);

// The settings file: the executable's path with the extension ".cfg", or
// an empty text when the executable's path is not known.
std::string SettingsFilePath();

// Every default of the settings file.
void SetSettingsDefaults(AppSettings* settings);

// Reads the settings file (path, or SettingsFilePath() when null): the
// defaults, then every key found, then the run-state bits cleared, the view
// matrices checked and older versions converted. A missing file gives the
// defaults. Returns 1, or 0 when an existing file could not be read or was
// refused (not a regular file, or too large): the record then holds the
// defaults and messageId (optional) the string id of the reason.
int LoadSettings(AppSettings* settings, const char* path = nullptr, int* messageId = nullptr);
// Writes every key in order, keeping the file's other lines; the file is
// replaced as a whole, so a failed save leaves it as it was. Returns 1 when
// written, 0 when not. Store the panes' rotations first (StorePaneRotations).
int SaveSettings(const AppSettings& settings, const char* path = nullptr);

// Copies the rotation angles of panes 0 to 3 into viewRotate of the plane
// each shows in the current pattern, so that the angles stay with the plane
// when the pattern moves it to another pane.
void StorePaneRotations(AppSettings* settings, const float paneRotation[4][3]);

// Puts name at the top of the file history: an entry equal to it without
// regard to case moves up, otherwise the oldest of a full list drops out.
// A null or empty name changes nothing. Returns the number of entries.
int AddToHistory(AppSettings* settings, const char* name);
// Empties the history. Returns 0.
int ClearHistory(AppSettings* settings);
// Entries from the top up to the first empty slot.
int HistoryCount(const AppSettings& settings);
