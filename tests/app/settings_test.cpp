#include "definitions/settings.h"

#include "platform/platform.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

AppSettings loadText(const std::string& text) {
    return readRecordFrom<AppSettings>(
        text, [](const char* path, AppSettings* settings) { return LoadSettings(settings, path); });
}

template <typename T, size_t N>
std::vector<T> values(const T (&field)[N]) {
    return std::vector<T>(field, field + N);
}

// The settings file that the defaults give: every key, in order, in the
// shared encoding. "|" stands for CR LF.
// clang-format off
const char* const kDefaultFile =
    "[Info]|Version=89||"
    "[Frame]|Pos=-2147483648,-2147483648|Size=-2147483648,-2147483648|Status=10||"
    "[Register]|Size=200,86|Status=0||"
    "[Code]|Size=200,380|Status=0||"
    "[View]|Size=440,480|Status=499|Active=0|Separate=0|ZoomValue=1.500000|"
    "Matrix1=2,3,0,1|Matrix2=2,1,0,3|"
    "Rotate1=180.000000,180.000000,180.000000|Rotate2=90.000000,180.000000,180.000000|"
    "Rotate3=270.000000,0.000000,90.000000|Rotate4=120.000000,180.000000,226.000000||"
    "[Toolbar]|Status=5|Standard=2010,0,0|Display=2011,0,0|Trace=2012,0,0||"
    "[Current]|ToolFile=\"\"|PostFile=\"\"|TraceSpeed=1|TraceWait=0,200,600|EnableMap=28673|"
    "PrintStatus=1|"
    "ColorMap=10526880,16776960,65535,255,0,255,65280,16711680,8421376,65535,0,16711680,255,"
    "32768,8388608,0|"
    "WidthMap=1,1,1,1,1,1,1,1,1,1,1,1,1,1,0,0|"
    "EditorName=\"\"|EditorArg=\"\"|SendName=\"\"|SendArg=\"\"|OpenPath=\"\"|OpenFilter=\"\"|"
    "OpenFilterID=0|PrinterName=\"\"|PrinterDir=0|PrinterFont=\"ＭＳ ゴシック\"|PrinterPoint=9,400,0||"
    "[History]|";
// clang-format on

TEST(Settings, MissingFileGivesEveryDefaultAndSavesEveryKeyInOrder) {
    TempFile tmp;
    AppSettings s;
    memset(&s, 0x5A, sizeof s);
    ASSERT_EQ(LoadSettings(&s, tmp.path), 1);
    EXPECT_EQ(s.version, 0);
    EXPECT_EQ(values(s.colorWork), values(s.colorMap));
    EXPECT_EQ(HistoryCount(s), 0);
    ASSERT_EQ(SaveSettings(s, tmp.path), 1);
    std::string expected = withLineEnds(kDefaultFile);
    for (int slot = 0; slot < kHistorySize; ++slot)
        expected += std::string("File") + std::to_string(100 + slot).substr(1) + "=\"\"\r\n";
    EXPECT_EQ(tmp.read(), expected);
}

TEST(Settings, RoundTripKeepsEveryKey) {
    AppSettings s;
    SetSettingsDefaults(&s);
    // Distinct values everywhere, so that two keys swapping fields show.
    int32_t next = 1;
    for (int32_t* field :
         {&s.frameStatus, &s.registerStatus, &s.codeStatus, &s.viewStatus, &s.viewActive,
          &s.toolbarStatus, &s.traceSpeed, &s.printStatus, &s.openFilterId, &s.printerDir}) {
        *field = next++;
    }
    for (int i = 0; i < 2; ++i) {
        for (int32_t* pair : {s.framePos, s.frameSize, s.registerSize, s.codeSize, s.viewSize})
            pair[i] = -next++;
    }
    for (int i = 0; i < 3; ++i) {
        for (auto& band : s.toolbarBands) band[i] = next++;
        s.traceWait[i] = s.printerPoint[i] = next++;
        for (auto& plane : s.viewRotate) plane[i] = static_cast<float>(next++) + 0.25f;
    }
    for (int i = 0; i < kColorCount; ++i)
        s.colorWork[i] = s.colorMap[i] = s.widthMap[i] = 0x010101 * next++;
    s.viewSeparate = 1;
    s.zoomValue = 2.125f;
    const int32_t matrices[2][4] = {{3, 2, 1, 0}, {1, 0, 3, 2}};
    memcpy(s.viewMatrix, matrices, sizeof matrices);
    s.enableMap = EM_SINGLE_INSTANCE | EM_TOPMOST | EM_SINGLE_PANE;
    for (char* text : {s.toolFile, s.postFile, s.editorName, s.editorArg, s.sendName, s.sendArg,
                       s.openPath, s.openFilter, s.printerName}) {
        snprintf(text, kSettingsTextSize, " text %d \"quoted\" ", next++);
    }
    memset(s.editorName, 'E', kSettingsTextSize - 1);  // the longest path
    memset(s.printerFont, 0, sizeof s.printerFont);    // a read zero-fills the field
    snprintf(s.printerFont, sizeof s.printerFont, "Font %d", next++);
    for (int slot = 0; slot < 12; ++slot)
        snprintf(s.history[slot], kSettingsTextSize, "/nc/%d.nc", next++);

    TempFile tmp;
    ASSERT_EQ(SaveSettings(s, tmp.path), 1);
    AppSettings back = loadText(tmp.read());
    s.version = kSettingsVersion;
    EXPECT_EQ(memcmp(&back, &s, sizeof s), 0);
}

TEST(Settings, ReadingChecksMatricesAndClearsRunState) {
    for (const char* matrix : {"3,2,1,0", "0,0,1,2", "0,1,2,4", "-1,0,1,2", "1,2,3"}) {
        AppSettings s = loadText(std::string("[View]\nMatrix1=") + matrix + "\nMatrix2=" + matrix +
                                 "\n[Current]\nEnableMap=-2147454975\n");
        bool kept = matrix[0] == '3';
        EXPECT_EQ(values(s.viewMatrix[0]),
                  kept ? std::vector<int32_t>({3, 2, 1, 0}) : std::vector<int32_t>({2, 3, 0, 1}));
        EXPECT_EQ(values(s.viewMatrix[1]),
                  kept ? std::vector<int32_t>({3, 2, 1, 0}) : std::vector<int32_t>({2, 1, 0, 3}));
        EXPECT_EQ(s.enableMap, 0x7001u);  // EM_LOADED dropped
    }
    AppSettings s = loadText("[Frame]\nPos=5\n");
    EXPECT_EQ(values(s.framePos), (std::vector<int32_t>{5, INT32_MIN}));
}

TEST(Settings, OlderVersionsAreConverted) {
    // View Status held the active pane; the display mask was in EnableMap.
    const std::string body =
        "[View]\nStatus=2\n[Current]\nEnableMap=28915\nPrintStatus=1\nColorMap=0,0,0,0,0,0,0,0,0,0,"
        "0,0,0,0,7,0\n";
    struct Case {
        const char* version;
        int32_t printStatus;
        uint32_t color14;
        int32_t active, viewStatus;
        uint32_t enableMap;
    };
    const Case cases[] = {
        {"[Info]\nVersion=87\n", 9, 0x800000, 2, 0xF3, 0x7000},
        {"[Info]\nVersion=88\n", 1, 0x800000, 2, 0xF3, 0x7000},
        {"[Info]\nVersion=89\n", 1, 7, 0, 2, 28915},
        {"", 1, 7, 0, 2, 28915},
    };
    for (const Case& c : cases) {
        AppSettings s = loadText(c.version + body);
        EXPECT_EQ(
            std::vector<int64_t>(
                {s.printStatus, s.colorMap[14], s.viewActive, s.viewStatus, s.enableMap}),
            std::vector<int64_t>({c.printStatus, c.color14, c.active, c.viewStatus, c.enableMap}))
            << c.version;
    }
}

TEST(Settings, HistoryKeepsSixteenDistinctNamesMostRecentFirst) {
    AppSettings s;
    SetSettingsDefaults(&s);
    char name[64];
    for (int i = 0; i < 17; ++i) {
        snprintf(name, sizeof name, "C:\\NC\\file%02d.nc", i);
        EXPECT_EQ(AddToHistory(&s, name), i < 16 ? i + 1 : 16);
    }
    EXPECT_STREQ(s.history[0], "C:\\NC\\file16.nc");
    EXPECT_STREQ(s.history[15], "C:\\NC\\file01.nc");  // file00 dropped out

    // The same file in other letters' case: one entry, moved to the top.
    EXPECT_EQ(AddToHistory(&s, "c:\\nc\\FILE05.NC"), 16);
    std::vector<std::string> order(s.history, s.history + kHistorySize);
    EXPECT_EQ(order[0] + order[1] + order[11] + order[12],
              "c:\\nc\\FILE05.NCC:\\NC\\file16.ncC:\\NC\\file06.ncC:\\NC\\file04.nc");

    EXPECT_EQ(AddToHistory(&s, nullptr) + AddToHistory(&s, ""), 32);
    EXPECT_STREQ(s.history[0], "c:\\nc\\FILE05.NC");
    EXPECT_EQ(AddToHistory(&s, s.history[3]), 16);  // a name from the list itself
    EXPECT_STREQ(s.history[0], "C:\\NC\\file14.nc");
    EXPECT_EQ(ClearHistory(&s), 0);
    EXPECT_EQ(HistoryCount(s), 0);
    // Names that differ only in a double-byte character stay apart.
    AddToHistory(&s, "\x83\x41.nc");
    EXPECT_EQ(AddToHistory(&s, "\x83\x61.nc"), 2);
}

TEST(Settings, PaneRotationsGoToThePlaneEachPaneShows) {
    AppSettings s;
    SetSettingsDefaults(&s);
    const float panes[4][3] = {{0, 0, 1}, {0, 0, 2}, {0, 0, 3}, {0, 0, 4}};
    // Planes XY, XZ, YZ, XYZ are in panes 2, 3, 0, 1 of pattern 1 and in
    // panes 2, 1, 0, 3 of pattern 2.
    const std::vector<float> expected[2] = {{3, 4, 1, 2}, {3, 2, 1, 4}};
    for (int pattern = 0; pattern < 2; ++pattern) {
        s.viewSeparate = pattern;
        StorePaneRotations(&s, panes);
        for (int plane = 0; plane < 4; ++plane)
            EXPECT_EQ(s.viewRotate[plane][2], expected[pattern][plane]);
    }
}

}  // namespace
