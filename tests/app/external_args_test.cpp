#include "app/external_args.h"

#include <gtest/gtest.h>

namespace {

TEST(ExternalArgs, PatternExpansion) {
    const struct {
        const char* pattern;
        const char* file;
        int line;
        const char* expected;
    } cases[] = {
        {"/L%2 %1", "C:\\a.nc", 120, "/L120 C:\\a.nc"},
        {"-n%2", "C:\\a.nc", 7, "C:\\a.nc"},                 // no file marker: the file alone
        {"%2 %1", "C:\\a.nc", 1, "1 C:\\a.nc"},              // the send application's line is 1
        {"+%2 %1", "C:\\a.nc", 0, "+0 C:\\a.nc"},            // a header row
        {"%s %n %1 %1 %%2", "a.nc", 3, "%s %n a.nc %1 %3"},  // only the first markers count
        {"%1:%2", "C:\\my dir\\a.nc", 5, "\"C:\\my dir\\a.nc\":5"},
        {"\"%1\"", "C:\\my dir\\a.nc", 5, "\"C:\\my dir\\a.nc\""},  // already quoted
        {"", "C:\\my dir\\a.nc", 5, "\"C:\\my dir\\a.nc\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandArgumentPattern(c.pattern, c.file, c.line), c.expected) << c.pattern;
    }
}

TEST(ExternalArgs, TextCommand) {
    const struct {
        const char* command;
        const char* file;
        const char* expected;
    } cases[] = {
        {"notepad.exe \"%1\"", "C:\\my dir\\a.nc", "notepad.exe \"C:\\my dir\\a.nc\""},
        {"C:\\ed.exe %1 %s", "C:\\a b.nc", "C:\\ed.exe \"C:\\a b.nc\" %s"},
        {"C:\\ed.exe /e", "C:\\a.nc", "C:\\ed.exe /e C:\\a.nc"},
        {"C:\\ed.exe", "C:\\a b.nc", "C:\\ed.exe \"C:\\a b.nc\""},
        {"wordpad.exe \"%L\"", "C:\\a.nc", "wordpad.exe \"C:\\a.nc\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandTextCommand(c.command, c.file), c.expected) << c.command;
    }
}

}  // namespace
