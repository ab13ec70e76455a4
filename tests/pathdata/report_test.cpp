#include "pathdata/report.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Inputs of a loaded program with an empty, reset interpreter state.
struct Report {
    Report() {
        const uint32_t modal[4] = {0, 0, 0, 0};
        ncModalReset(&state, modal);
        in.loaded = true;
        in.programNumber = 12;
        setPath("C:\\NC\\PARTS\\O0012.NC");
        in.facts.size = 5000;
        in.facts.lastWriteTime = 133000000000000000ULL;
        in.state = &state;
        in.timeTC = 0;
    }
    void setPath(const char* path) { snprintf(in.sourcePath, sizeof in.sourcePath, "%s", path); }
    std::string text(bool compact = false, const char* end = "\n") {
        size_t size = BuildReportText(in, compact, nullptr, 0, end);
        if (size == 0) return "<none>";
        std::vector<char> buffer(size, '\x7f');
        EXPECT_EQ(BuildReportText(in, compact, buffer.data(), size, end), size);
        std::string out(buffer.data());
        EXPECT_LT(out.size(), size);  // the measured size always holds the text
        return out;
    }
    std::vector<std::string> lines(bool compact = false) {
        std::vector<std::string> out;
        std::string t = text(compact);
        for (size_t at = 0, nl; (nl = t.find('\n', at)) != std::string::npos; at = nl + 1) {
            out.push_back(t.substr(at, nl - at));
        }
        return out;
    }
    NcModalState state;
    ReportInputs in = {};
};

// How the three forms read is checked with the interpreted totals below.
TEST(ReportTime, ThreeForms) {
    const struct {
        double total;
        int h, m, s;
    } cases[] = {{3725, 1, 2, 5}, {125, 0, 2, 5},  {59.9f, 0, 0, 59},
                 {0, 0, 0, 0},    {7200, 2, 0, 0}, {29999.9999999, 8, 20, 0},
                 {-8, 0, 0, 0},   {NAN, 0, 0, 0},  {1e300, INT_MAX, 0, 0}};
    for (const auto& c : cases) {
        const ReportTime t = ReportTimeOf(c.total);
        EXPECT_EQ(std::tie(t.hours, t.minutes, t.seconds), std::tie(c.h, c.m, c.s)) << c.total;
    }
}

// Moves run through the interpreter: times and lengths are summed so that
// whole seconds stay whole and long programs do not drift.
TEST(ReportText, TotalsOfInterpretedMovesAreExact) {
    const struct {
        std::vector<const char*> lines;
        int times;
        const char *time, *length;
    } cases[] = {
        {{"G90 G01 X10. F100"}, 1, "約 6秒", "約 10mm"},
        {{"G90 G01 X10. F100", "X20.", "X30."}, 1, "約 18秒", "約 30mm"},
        {{"G01 X1. F600", "X0."}, 150000, "約 8時間 20分 0秒", "約 300000mm"},
        {{"G01 X.1 F600", "X0."}, 125000, "約 41分 40秒", "約 25000mm"},
        // Feeds below 1 and with fractions are taken as written.
        {{"G01 X100. F0.5", "X200. F1.5"}, 1, "約 4時間 26分 40秒", "約 200mm"},
    };
    NcMachineConfig config{};
    for (int k = 0; k < 3; ++k) config.scaleXYZ[k] = config.scaleIJK[k] = 1.0f;
    for (const auto& c : cases) {
        Report r;
        std::vector<NcBlockText> blocks(c.lines.size());
        for (size_t i = 0; i < blocks.size(); ++i) ncAddrAnalysis(&blocks[i], c.lines[i]);
        MotionRecord record;
        for (int n = 0; n < c.times; ++n) {
            for (NcBlockText& b : blocks)
                ASSERT_EQ(ncModalUpdate(&config, &r.state, &b, &record), 1);
        }
        auto lines = r.lines();
        EXPECT_EQ(lines[4], std::string("加工所要時間 : ") + c.time) << c.lines[0];
        EXPECT_EQ(lines[5], std::string("加工切削長さ : ") + c.length) << c.lines[0];
    }
}

// The whole report but the date: header lines, ranges, and a section for
// each tool that was changed in.
TEST(ReportText, WholeReportButTheDate) {
    Report r;
    r.in.timeTC = 10;
    r.state.pathMax[0] = 100;
    r.state.pathMin[0] = -2.5f;
    r.state.tools[0].cutLength = 1234.6f;
    NcToolStats& t = r.state.tools[3];
    t.changeCount = 2;
    t.machiningTime = 100;
    t.cutLength = 55;
    t.dList[0] = 1;
    t.dList[1] = 21;
    t.fList[0] = 300;
    t.fList[1] = 1200;
    t.cycleList[0] = 81 | (6 << 16);
    t.cycleList[1] = 83 | (2 << 16);
    r.state.tools[5].machiningTime = 40;  // moved but never changed in: no section
    auto lines = r.lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2].substr(0, 15), "ファイル日時 : ");
    EXPECT_EQ(lines[2].substr(lines[2].size() - 5), "  4KB");
    lines[2] = "";
    const std::vector<std::string> want = {
        "ファイル名   : O0012.NC",
        "フォルダ名   : C:\\NC\\PARTS",
        "",
        "プログラムNo : 0012",
        // 100 + 40 + 2 x 10 seconds, but the T line shows the tool's own time.
        "加工所要時間 : 約 2分 40秒",
        "加工切削長さ : 約 1290mm",
        "全体範囲 MAX :   100.000,-99999.000,-99999.000",
        "         MIN :    -2.500,-99999.000,-99999.000",
        "切削範囲 MAX : -99999.000,-99999.000,-99999.000",
        "         MIN : -99999.000,-99999.000,-99999.000",
        "",
        "<<<<<<<<<<<<<< 使用工具リスト >>>>>>>>>>>>>>",
        "T03      時間[  100]秒 長さ[   55]mm 交換[2]",
        "         MAX : -99999.000,-99999.000,-99999.000",
        "         MIN : -99999.000,-99999.000,-99999.000",
        "           D : 01,21",
        "           F : 300,1200",
        "           G : G81(6),G83(2)",
    };
    EXPECT_EQ(lines, want);
}

// Nothing without data or while tracing; no program number for automatic
// programs.
TEST(ReportText, LeavesOutTheReportWithoutDataAndTheNumberOfUnnumberedPrograms) {
    for (int missing = 0; missing < 3; ++missing) {
        Report r;
        r.in.tracing = missing == 0;
        r.in.loaded = missing != 1;
        if (missing == 2) r.setPath("");
        EXPECT_EQ(BuildReportText(r.in, false, nullptr, 0, "\n"), 0u) << missing;
    }
    for (int number : {0, 10000, 12345}) {
        Report r;
        r.in.programNumber = number;
        EXPECT_EQ(r.text().find("プログラムNo"), std::string::npos) << number;
    }
}

TEST(ReportText, LineEndsAndSmallBuffersNeverOverrun) {
    Report r;
    std::string dialog = r.text(false, "\r\r\n");
    EXPECT_EQ(dialog.find("ファイル名   : O0012.NC\r\r\nフォルダ名"), 0u);
    // A buffer too small for everything receives whole pieces only.
    char small[40];
    memset(small, 'x', sizeof small);
    BuildReportText(r.in, false, small, sizeof small, "\n");
    EXPECT_STREQ(small, "ファイル名   : O0012.NC\n");
}

TEST(ReportText, FolderOfARootFileLosesItsSeparator) {
    Report r;
    r.setPath("C:\\A.NC");
    EXPECT_EQ(r.lines()[1], "フォルダ名   : C:");
    // "表" ends in the byte of "\": it is not a separator.
    r.setPath("D:\\\x95\x5c\\B.NC");
    EXPECT_EQ(r.lines()[1], "フォルダ名   : D:\\\x95\x5c");
    EXPECT_EQ(r.lines()[0], "ファイル名   : B.NC");
}

TEST(CompactName, CutsToTwentyNineBytesWithoutSplittingCharacters) {
    char out[40];
    const struct {
        const char* text;
        const char* want;
    } cases[] = {
        {"short.nc", "short.nc"},
        {"abcdefghijklmnopqrstuvwxyz0123456789", "abcdefghijklmnopqrstuvwxyz..."},
        {"abcdefghijklmnopqrstuvwxy\x8a\xbfZZZZZ", "abcdefghijklmnopqrstuvwxy\x8a\xbf.."},
        {"abcdefghijklmnopqrstuvwxyz\x8a\xbfZZZZ", "abcdefghijklmnopqrstuvwxyz..."},
        {"abcdefghijklmnopqrstuvwxyzABC", "abcdefghijklmnopqrstuvwxyzABC"},  // 29 bytes stay
    };
    for (const auto& c : cases) {
        CompactName(c.text, out);
        EXPECT_STREQ(out, c.want) << c.text;  // every want is at most 29 bytes
    }
    Report r;
    r.setPath("C:\\0123456789012345678901234567890123\\abcdefghijklmnopqrstuvwxyz0123.NC");
    auto lines = r.lines(true);
    EXPECT_EQ(lines[0], "ファイル名   : abcdefghijklmnopqrstuvwxyz...");
    EXPECT_EQ(lines[1], "フォルダ名   : C:\\01234567890123456789012...");
}

}  // namespace
