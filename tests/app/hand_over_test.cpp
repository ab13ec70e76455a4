#include "app/hand_over.h"

#include <gtest/gtest.h>

#include <string>

TEST(HandOver, TakesTheNameOrRefuses) {
    const std::string full(kHandOverSize, 'a');  // no room for the terminator
    std::string padded = "C:\\w\\a.nc";
    padded.resize(kHandOverSize, '\0');  // as the sender fills its buffer
    const struct {
        uint64_t tag;
        std::string data;
        bool taken;
        std::string name;
    } cases[] = {
        {kHandOverTag, padded, true, "C:\\w\\a.nc"},
        {kHandOverTag, "b.nc", true, "b.nc"},  // shorter and unterminated
        {kHandOverTag, full.substr(1) + '\0', true, full.substr(1)},
        {kHandOverTag, full, false, ""},
        {kHandOverTag, full + "more", false, ""},
        {kHandOverTag, std::string(8, '\0'), false, ""},
        {kHandOverTag + 1, padded, false, ""},
    };
    for (const auto& c : cases) {
        char name[kHandOverSize];
        EXPECT_EQ(DecodeHandOver(c.tag, c.data.data(), c.data.size(), name), c.taken)
            << c.data.size();
        EXPECT_EQ(std::string(name), c.name);
    }
    char name[kHandOverSize];
    EXPECT_FALSE(DecodeHandOver(kHandOverTag, nullptr, kHandOverSize, name));
}
