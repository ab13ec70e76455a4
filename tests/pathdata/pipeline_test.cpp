#include "pathdata/pipeline.h"

#include "engine/block_store.h"
#include "engine/status.h"
#include "pathdata/export.h"
#include "pathdata/export_writer.h"
#include "platform/write_behind.h"
#include "res/strings.h"
#include "tests/test_support.h"
#include "tests/pathdata/fake_ui.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A message as the fake interface records it: caption, "|", text.
std::string shown(int caption, int text, const std::string& detail = "") {
    return std::string(tlvString(caption)) + "|" + tlvString(text) + detail;
}

class Pipeline : public ::testing::Test {
protected:
    void SetUp() override {
        SetMachineDefaults(&machine);
        machine.feedG00 = 6000;
        drawing = std::make_unique<Drawing>();
        ASSERT_TRUE(drawingCreate(drawing.get(), &machine, &tools));
    }
    void TearDown() override { drawingDestroy(drawing.get()); }
    int open(std::initializer_list<const char*> names, bool add = false) {
        std::vector<const char*> list(names);
        return OpenNcFiles(drawing.get(), &ui, add, list.data(), static_cast<int>(list.size()));
    }
    int programs() { return ncBlockCount(drawing->blocks, -1); }
    // An NC file whose name ends in stem, removed when the test ends.
    const char* add(const char* stem, const std::string& text) {
        files.emplace_back(stem).write(text);
        return files.back().path;
    }

    MachineDefinition machine;
    ToolTable tools = {};
    std::unique_ptr<Drawing> drawing;
    FakeUi ui;
    std::deque<TempFile> files;
};

TEST_F(Pipeline, LoadsTranslatesAndShowsRanges) {
    const char* a = add("a.nc", "O0001\nG00 X0 Y0 Z0\nG01 X100. Y20. F100\nM30\n");
    ASSERT_EQ(open({a}), 1);
    ASSERT_TRUE(drawing->loaded);
    EXPECT_EQ(drawing->mainProgram, 1);
    EXPECT_EQ(ui.codeRows, ncBlockListCount(drawing->blocks) + 1);
    EXPECT_EQ(pathStoreCount(drawing->paths), 4);  // one record per executed block
    EXPECT_EQ(ui.registers, (std::vector<std::string>{"0:0=X", "0:1=0.000,100.000", "1:0=Y",
                                                     "1:1=0.000,20.000", "2:0=Z",
                                                     "2:1=0.000,0.000"}));
    // The range box has a tenth of the extent as margin on every side.
    EXPECT_EQ(
        std::vector<float>({drawing->range.min[0], drawing->range.max[0], drawing->range.max[1]}),
        std::vector<float>({-10, 110, 22}));
    EXPECT_EQ(ui.history, (std::vector<std::string>{a}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.status, tlvString(IDS_READY));
    EXPECT_EQ(drawing->reportState.pathMax[0] + 0.0f, 100.0f);  // the report's own copy
    EXPECT_TRUE(IsRecordShown(&drawing->filter, 1, 0));
    // A program that moves nothing gets the default range box back.
    ASSERT_EQ(open({add("i.nc", "(ONLY A COMMENT)\n")}), 1);
    EXPECT_TRUE(drawing->loaded && drawing->range.min[0] == 0 && drawing->range.max[0] == 50);
}

TEST_F(Pipeline, NumberedMainProgramsWinAndAddingKeepsPrograms) {
    const char* automatic = add("plain.nc", "G00 X1.\nM30\n");
    const char* numbered = add("b.nc", "O0007\nG00 X5.\nM02\n");
    const char* other = add("c.nc", "O0008\nG00 X9.\nM30\n");
    ASSERT_EQ(open({automatic, numbered}), 1);
    // Every file brings its header's automatic program besides its O numbers.
    EXPECT_EQ(drawing->mainProgram, 7);
    EXPECT_EQ(programs(), 3);
    ASSERT_EQ(open({other}, true), 1);
    EXPECT_EQ(programs(), 5);
    EXPECT_EQ(drawing->mainProgram, 8);  // a numbered main program of the added file
    ASSERT_EQ(open({automatic}, true), 1);
    EXPECT_EQ(drawing->mainProgram, 8);  // an automatic one does not displace it
    ASSERT_EQ(open({numbered}), 1);      // replacing starts afresh
    EXPECT_EQ(programs(), 2);            // the file's header program and O0007
}

TEST_F(Pipeline, FailureClearsEverythingAndSaysWhy) {
    const char* a = add("e.nc", "O0005\nG00 X1.\nM30\n");
    const char* b = add("f.nc", "O0006\nO0005\nM30\n");
    ASSERT_EQ(open({a}), 1);
    ASSERT_EQ(open({b}, true), 1);
    EXPECT_FALSE(drawing->loaded);
    EXPECT_EQ(programs(), 0);  // an adding open that fails drops the earlier programs too
    EXPECT_EQ(pathStoreCount(drawing->paths), 0);
    EXPECT_TRUE(ui.registers.empty());
    EXPECT_EQ(ui.messages, std::vector{shown(IDS_OPEN_FILE, IDS_DUPLICATE_PROGRAM, "\n\nO0005")});
    EXPECT_EQ(ui.lastIcon, kIconError);
    EXPECT_EQ(drawing->range.max[0], 50.0f);
}

// The question is asked inside calls too: a long run of repeats stops.
TEST_F(Pipeline, CancelDuringTranslationDropsTheLoad) {
    const char* a = add("g.nc", "O0001\nM98 P2 L500\nM30\nO0002\nG91 G01 X1. F100\nM99\n");
    ui.shown = true;
    ui.cancelAfter = 60;  // past the loading steps, inside the translation
    ASSERT_EQ(open({a}), 1);
    EXPECT_FALSE(drawing->loaded);
    EXPECT_EQ(ui.progressOpened, 1);
    EXPECT_EQ(ui.progressClosed, 1);
    EXPECT_EQ(ui.messages, std::vector{shown(IDS_OPEN_FILE, IDS_ABORTED)});
    EXPECT_EQ(ui.lastIcon, kIconExclamation);
    EXPECT_EQ(pathStoreCount(drawing->paths), 0);
}

TEST_F(Pipeline, RefusesWhileTracingAndAsksForMissingFiles) {
    drawing->tracing = true;
    const char* a = add("h.nc", "G00 X1.\n");
    EXPECT_EQ(open({a}), 0);
    drawing->tracing = false;
    EXPECT_EQ(open({"/no/such/file.nc"}), 0);  // the dialog was cancelled
    EXPECT_EQ(ui.openDialogs, 1);
    EXPECT_EQ(OpenNcFiles(drawing.get(), &ui, false, nullptr, 0), 0);
    EXPECT_EQ(ui.openDialogs, 2);
}

TEST_F(Pipeline, ExportProposesTheProgramsNameAndOverwritesUnasked) {
    const char* a = add("j.nc", "O0001\nG01 X10. F100\nG01 X20.\nM30\n");
    ASSERT_EQ(open({a}), 1);
    ExportOptions options = {};
    options.displayMask = 0xF0;
    // No name: the proposed name is the program's file with the type's extension.
    ASSERT_EQ(ExportDrawing(drawing.get(), &ui, nullptr, kExportCsv, options), kExportWritten);
    std::string csv = std::string(a).substr(0, strlen(a) - 3) + ".csv";
    EXPECT_EQ(ui.proposed, csv);
    ui.proposed.clear();
    ASSERT_EQ(ExportDrawing(drawing.get(), &ui, csv.c_str(), kExportCsv, options), kExportWritten);
    EXPECT_TRUE(ui.proposed.empty());
    EXPECT_EQ(readText(csv.c_str()).size(), 2u * 29u);  // two moves, "x,y,z" with CR LF
    ui.saveAnswer = false;
    EXPECT_EQ(ExportDrawing(drawing.get(), &ui, nullptr, kExportDxf, options), kExportNotRun);
    platFileDelete(csv.c_str());
}

// The save dialog gives the name as typed and the type separately.
TEST(ExportName, FollowsTheChosenType) {
    const struct {
        const char* typed;
        int type;
        const char* written;
    } cases[] = {
        {"C:\\out\\demo.dxf", kExportCsv, "C:\\out\\demo.csv"},
        {"demo.DXF", kExportLog, "demo.log"},
        {"demo", kExportDxf, "demo.dxf"},
        {"v1.2\\demo", kExportCsv, "v1.2\\demo.csv"},  // a dot in a folder is no extension
        {"表.dxf", kExportCsv, "表.csv"},              // the trail byte of 表 is a backslash
        {"demo.Csv", kExportCsv, "demo.Csv"},
        {"demo.txt", kExportCsv, "demo.txt"},  // another extension was typed on purpose
        {"demo.dxf", 3, "demo.dxf"},           // "All files" writes nothing
    };
    for (const auto& c : cases) {
        char path[64];
        snprintf(path, sizeof path, "%s", c.typed);
        EXPECT_EQ(ExportNameForType(path, sizeof path, c.type), strcmp(c.typed, c.written) != 0);
        EXPECT_STREQ(path, c.written) << c.typed;
    }
    // A name that the extension would make too long stays as it is.
    char tight[9] = "abcdefgh";
    EXPECT_FALSE(ExportNameForType(tight, sizeof tight, kExportCsv));
    EXPECT_STREQ(tight, "abcdefgh");
}

// One note per line (per code and program for codes), whatever the number
// of runs; a call and a dropped word are noted where they are written.
TEST_F(Pipeline, NotesSayWhatIsNotDrawnAsWritten) {
    const char* a = add("notes.nc",
                        "O0001\n#100=1\nG01 X#100 F100\nG52 X10.\nG52 X20. Y-#1\nG68.2 X0 Y0 Z-1\n"
                        "M98 P9\nG02 X10. Y0 I4. J0.\nX 45.\nG20\nM98 P2 L3\nM30\n"
                        "O0002\nIF[#1GT0]GOTO10\n% FIX = 2\nM99\n");
    ASSERT_EQ(open({a}), 1);
    std::vector<std::string> notes;
    for (int i = 0; i < drawing->notes->count; ++i) {
        const NcNote& n = drawing->notes->notes[i];
        char text[256];
        ncNoteText(n, text, sizeof text);
        notes.push_back(std::to_string(n.programNumber) + ":" + std::to_string(n.lineIndex + 1) +
                        " " + text);
    }
    EXPECT_EQ(notes, (std::vector<std::string>{
                         "1:2 マクロ文は実行されません",
                         "1:3 変数は展開されません: 変数を使った語の値は図と異なります",
                         "1:4 G52 は処理されません: 工具の動きは図と異なります",
                         "1:5 変数は展開されません: 変数を使った語の値は図と異なります",
                         "1:6 G68.2 は処理されません: 工具の動きは図と異なります",
                         "1:6 小数点のない座標値は 0.001 倍して読まれます (機械設定 ItoF)",
                         "1:7 呼び出されたプログラム O9 は読み込まれていません",
                         "1:8 円弧の始点半径 4.0000 と終点半径 6.0000 が違います",
                         "1:9 アドレスの後の空白で語が読まれません (機械設定「スペースコードを全て無視する」)",
                         "1:10 G20: 数値はインチのままで mm に換算されません",
                         "2:14 マクロ文は実行されません",
                     }));
    EXPECT_EQ(ncNotesTotal(drawing->notes), notes.size());
    EXPECT_EQ(ui.status, "11 件の注意があります");
}

// Large exports are composed in pieces on two threads; the file must be the
// one that writing record after record gives, hidden records included.
TEST_F(Pipeline, ExportsInPiecesEqualRecordByRecord) {
    const char* a = add("p.nc",
                        "O0001\nT1 M06\nM98 P2 L9000\nT2 M06\nM98 P2 L4000\nM30\n"
                        "O0002\nG91 G01 X1. F100\nG02 X2. R1.\nG90 G81 X5. Y5. Z-1. R1.\n"
                        "G80\nM99\n");
    ASSERT_EQ(open({a}), 1);
    ASSERT_GT(pathStoreCount(drawing->paths), 5 * 8192);
    filterSetToolShown(&drawing->filter, 2, false);
    ExportOptions options = {};
    options.displayMask = 0xF0;
    options.colorMap[1] = 0x0000FF;
    DxfStyle style = {};
    memcpy(style.rangeMin, drawing->range.min, sizeof style.rangeMin);
    memcpy(style.rangeMax, drawing->range.max, sizeof style.rangeMax);
    memcpy(style.colorMap, options.colorMap, sizeof style.colorMap);
    style.displayMask = options.displayMask;
    for (int type : {kExportDxf, kExportCsv}) {
        TempFile ours(".out"), expected(".ref");
        ASSERT_EQ(ExportDrawing(drawing.get(), &ui, ours.path, type, options), kExportWritten);
        auto sink = std::make_unique<TextSink>();
        ASSERT_TRUE(sinkOpen(sink.get(), expected.path));
        auto write = [&](int phase, const MotionRecord* r) {
            return type == kExportDxf ? WriteDxf(sink.get(), phase, r, &style)
                                      : WriteCsv(sink.get(), phase, r);
        };
        ASSERT_EQ(write(kPhaseHeader, nullptr), 1);
        for (int i = 0; i < pathStoreCount(drawing->paths); ++i) {
            MotionRecord r;
            ASSERT_EQ(pathStoreRead(drawing->paths, i, &r), 1);
            if (IsRecordShown(&drawing->filter, r.programNumber, r.toolNumber)) {
                ASSERT_EQ(write(kPhaseRecord, &r), 1);
            }
        }
        ASSERT_EQ(write(kPhaseTrailer, nullptr), 1);
        ASSERT_TRUE(sinkClose(sink.get()));
        const std::string got = ours.read(), want = expected.read();
        EXPECT_GT(want.size(), 1000000u);
        EXPECT_TRUE(got == want) << "type " << type << ": " << got.size() << " vs " << want.size();
    }
}

// A stopped export removes only what it made: an existing output keeps its
// content and a link to it stays a link, with nothing left beside them. A
// complete export through the link replaces the file it leads to.
TEST_F(Pipeline, StoppedExportLeavesTheOutputAsItWas) {
    const char* a = add("k.nc", "O0001\nG01 X10. F100\nG01 X20.\nM30\n");
    ASSERT_EQ(open({a}), 1);
    const fs::path dir = std::string(a) + ".d", file = dir / "old.dxf";
    fs::create_directory(dir);
    std::ofstream(file, std::ios::binary) << "old";
    std::vector<fs::path> outputs = {file};
#ifndef _WIN32
    fs::create_symlink("old.dxf", dir / "link.dxf");
    outputs.push_back(dir / "link.dxf");
#endif
    ui.shown = true;
    for (const fs::path& out : outputs) {
        ui.cancelAfter = 2;
        EXPECT_EQ(ExportDrawing(drawing.get(), &ui, out.string().c_str(), kExportDxf, {}),
                  kExportFailed);
        EXPECT_EQ(ui.messages.back(), shown(IDS_SAVE_AS, IDS_ABORTED));
    }
    EXPECT_EQ(readText(file.string().c_str()), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()),
              static_cast<long>(outputs.size()));
    ASSERT_EQ(ExportDrawing(drawing.get(), &ui, outputs.back().string().c_str(), kExportDxf, {}),
              kExportWritten);
    EXPECT_TRUE(fs::is_symlink(outputs.back()) || outputs.size() == 1);
    EXPECT_NE(readText(file.string().c_str()).find("EOF"), std::string::npos);
    fs::remove_all(dir);
}

// Without a person to ask, a folder names no output; and no output may
// overwrite a loaded program, however its name is spelt.
TEST_F(Pipeline, RefusesAFolderInHiddenRunsAndTheLoadedProgram) {
    const char* a = add("m.nc", "O0001\nG01 X10. F100\nM30\n");
    ASSERT_EQ(open({a}), 1);
    const fs::path nc = a;
    const std::string respelt = (nc.parent_path() / "." / nc.filename()).string();
    const std::string folder = nc.parent_path().string();
    const struct {
        const std::string& name;
        int message;
    } cases[] = {{respelt, IDS_OUTPUT_IS_INPUT}, {folder, IDS_OUTPUT_IS_FOLDER}};
    for (const auto& c : cases) {
        EXPECT_EQ(ExportDrawing(drawing.get(), &ui, c.name.c_str(), kExportCsv, {}), kExportFailed);
        EXPECT_EQ(ui.messages.back(), shown(IDS_SAVE_AS, c.message, "\n\n" + c.name));
    }
    EXPECT_EQ(readText(a), "O0001\nG01 X10. F100\nM30\n");
    EXPECT_FALSE(fs::exists(fs::path(nc).replace_extension(".csv")));
}

// Subprogram calls repeated over and over would grow the drawing data
// until the disk is full: the load stops while the disk still has its
// reserve, says why, and gives the room back.
TEST_F(Pipeline, RunawayRepeatsStopBeforeTheDiskReserve) {
    const char* a = add("r.nc",
                        "O0001\nM98 P2 L600\nM30\nO0002\nM98 P3 L600\nM99\n"
                        "O0003\nG91 G01 X1. F100\nM99\n");
    // A disk with 20 MB free beyond its reserve before anything was written:
    // about 40 MB of records would not fit.
    platWriteBehindSetFreeSpaceQuery([](PlatFile* file, uint64_t* freeBytes, uint64_t* total) {
        *total = uint64_t{100} << 30;
        *freeBytes = platDiskReserve(*total) + (uint64_t{20} << 20) -
                     static_cast<uint64_t>(platFileSize(file));
        return true;
    });
    open({a});
    platWriteBehindSetFreeSpaceQuery(nullptr);
    EXPECT_FALSE(drawing->loaded);
    EXPECT_EQ(pathStoreCount(drawing->paths), 0);
    const std::string detail = std::string("\n\n") + tlvString(IDS_DISK_RESERVE) + "\n" +
                               pathStoreFileName(drawing->paths);
    EXPECT_EQ(ui.messages, std::vector{shown(IDS_OPEN_FILE, IDS_WRITE_FAILED, detail)});
}

}  // namespace
