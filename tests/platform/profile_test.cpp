#include "platform/profile.h"

#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

TEST(ProfileFile, ReadsHandWrittenFilesWithEitherLineEnd) {
    const char* text =
        "; comment|[Info]|Version=89||  [ PostInfo ]  |NAME =  \"  spaced  \"  |Plain = a = b|"
        ";Hidden=1|Quoted=\"\"|Half=\"open|Twice=\"\"x\"\"|Dup=first|dup=second|NoEquals||"
        "[postinfo]|Other=second section|";
    struct Case {
        const char* section;
        const char* key;
        const char* expected;  // null: not found
    };
    const Case cases[] = {
        {"info", "VERSION", "89"},        {"PostInfo", "name", "  spaced  "},
        {"POSTINFO", "plain", "a = b"},   {"PostInfo", "Hidden", nullptr},
        {"PostInfo", ";Hidden", nullptr}, {"PostInfo", "Quoted", ""},
        {"PostInfo", "Half", "\"open"},   {"PostInfo", "Twice", "\"x\""},
        {"PostInfo", "Dup", "first"},     {"PostInfo", "NoEquals", nullptr},
        {"PostInfo", "Other", nullptr},   {"Missing", "Version", nullptr},
    };
    for (const char* end : {"\r\n", "\n"}) {
        TempFile tmp;
        tmp.write(withLineEnds(text, end));
        ProfileFile file;
        ASSERT_TRUE(file.load(tmp.path));
        for (const Case& c : cases) {
            std::string value = "unchanged";
            EXPECT_EQ(file.get(c.section, c.key, &value), c.expected != nullptr) << c.key;
            EXPECT_EQ(value, c.expected != nullptr ? c.expected : "unchanged") << c.key;
        }
    }
}

TEST(ProfileFile, WritesChangeOnlyTheirLinesAndKeepLineEnds) {
    for (const char* end : {"\r\n", "\n"}) {
        TempFile tmp;
        tmp.write(withLineEnds("; keep me|[A]|  x = 1  |unknown=u||; about B|[b]|y=2", end));
        ProfileFile file;
        ASSERT_TRUE(file.load(tmp.path));
        EXPECT_TRUE(file.set("a", "X", "10"));  // in place, spelling kept
        EXPECT_TRUE(file.set("A", "z", "3"));   // after the section's last key
        EXPECT_TRUE(file.set("B", "y", "\"q\""));
        EXPECT_TRUE(file.set("New", "k", "v\r\n[C]"));  // one line, not a section
        EXPECT_FALSE(file.set("A", "k=1", "v"));
        EXPECT_FALSE(file.set("A]", "k", "v"));
        ASSERT_TRUE(file.save());
        EXPECT_EQ(
            tmp.read(),
            withLineEnds("; keep me|[A]|x=10|unknown=u|z=3||; about B|[b]|y=\"q\"||[New]|k=v  [C]|",
                         end));
    }
    TempFile created;
    ASSERT_TRUE(profileWriteString(created.path, "Info", "Version", "89"));
    EXPECT_EQ(created.read(), "[Info]\r\nVersion=89\r\n");
}

TEST(ProfileFile, SaveReplacesTheWholeFileAndLeavesNothingBeside) {
    namespace fs = std::filesystem;
    TempFile base;
    fs::path dir = fs::path(base.path).concat(".dir");
    ASSERT_TRUE(fs::create_directory(dir));
    std::string target = (dir / "settings.cfg").string();
    for (const char* value : {"1", "2"})
        ASSERT_TRUE(profileWriteString(target.c_str(), "S", "K", value));
    std::string value;
    EXPECT_TRUE(profileGetString(target.c_str(), "s", "k", &value));
    EXPECT_EQ(value, "2");
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_EQ(entry.path().filename(), "settings.cfg");
        ++entries;
    }
    EXPECT_EQ(entries, 1);
    // A folder in place of the file, or a missing folder, cannot be written.
    EXPECT_FALSE(profileWriteString(dir.string().c_str(), "S", "K", "v"));
    EXPECT_FALSE(profileWriteString((dir / "no" / "x.cfg").string().c_str(), "S", "K", "v"));
    EXPECT_TRUE(fs::is_directory(dir));
    fs::remove_all(dir);
}

// A pipe would block the read and a device could give bytes without end:
// only regular files of sane size are read, and none of the refused ones
// may be replaced by a save.
TEST(ProfileFile, RefusesWhatIsNotASmallRegularFile) {
    TempFile big, limit, pipe(".fifo"), folder(".dir");
    big.write(std::string(kProfileMaxBytes + 1, ';'));
    limit.write(std::string(kProfileMaxBytes, ';'));
    ASSERT_TRUE(std::filesystem::create_directory(folder.path));
    struct Case {
        const char* path;
        ProfileProblem problem;
    };
    std::vector<Case> cases = {{limit.path, ProfileProblem::None},
                               {big.path, ProfileProblem::TooLarge},
                               {folder.path, ProfileProblem::NotAFile}};
#ifdef _WIN32
    cases.push_back({"NUL", ProfileProblem::NotAFile});
#else
    ASSERT_EQ(mkfifo(pipe.path, 0600), 0);
    cases.push_back({pipe.path, ProfileProblem::NotAFile});
    cases.push_back({"/dev/zero", ProfileProblem::NotAFile});
#endif
    for (const Case& c : cases) {
        ProfileFile file;
        EXPECT_EQ(file.load(c.path), c.problem == ProfileProblem::None) << c.path;
        EXPECT_EQ(file.problem(), c.problem) << c.path;
        if (c.problem == ProfileProblem::None) continue;
        EXPECT_FALSE(file.set("S", "K", "v") && file.save()) << c.path;
    }
    EXPECT_EQ(big.read().size(), kProfileMaxBytes + 1);
    std::filesystem::remove(folder.path);
}

}  // namespace
