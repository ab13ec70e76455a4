#include "definitions/profile_item.h"

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

TEST(ProfileItem, NumberListsFollowTheCommaRule) {
    // Destinations start at 9 so that values left alone show.
    struct Case {
        ProfileEncoding encoding;
        int count;
        const char* value;
        float expected[3];
    };
    const auto I = ProfileEncoding::Integers, R = ProfileEncoding::Reals;
    const Case cases[] = {
        {I, 3, "1,0,25", {1, 0, 25}},
        {I, 3, "7", {7, 9, 9}},
        {I, 3, "1,,3", {1, 0, 3}},
        {I, 3, "1,2,", {1, 2, 0}},
        {I, 2, "1,2,3", {1, 2, 9}},
        {I, 0, "5,6", {5, 9, 9}},
        {I, 3, " -12a, +4,x", {-12, 4, 0}},
        {R, 3, "1.5, -2e1,abc", {1.5f, -20, 0}},
        {R, 3, ".5,5.,0x10", {0.5f, 5, 0}},
        {R, 3, "inf,nan,1e39", {0, 0, 0}},
        {R, 3, "1e,2E-1,-0.000001", {1, 0.2f, -0.000001f}},
    };
    for (const Case& c : cases) {
        int32_t integers[3] = {9, 9, 9};
        float reals[3] = {9, 9, 9};
        DecodeProfileValue(c.value, c.encoding,
                           c.encoding == I ? static_cast<void*>(integers) : reals, c.count);
        for (int i = 0; i < 3; ++i) {
            EXPECT_FLOAT_EQ(c.encoding == I ? static_cast<float>(integers[i]) : reals[i],
                            c.expected[i])
                << c.value;
        }
    }
    // A 64-bit long must not change what a 32-bit field receives.
    int32_t limits[2];
    DecodeProfileValue("99999999999,-99999999999", I, limits, 2);
    EXPECT_EQ(limits[0], INT32_MAX);
    EXPECT_EQ(limits[1], INT32_MIN);

    const float reals[] = {1.0f, -0.125f, NAN};
    EXPECT_EQ(EncodeProfileValue(R, reals, 3), "1.000000,-0.125000,0.000000");
}

TEST(ProfileItem, TextsAreZeroFilledAndCutAtWholeCharacters) {
    struct Case {
        const char* value;
        int count;
        const char* expected;
    };
    const Case cases[] = {
        {"abcdef", 4, "abc"},
        {"a\x83\x41z", 4, "a\x83\x41"},
        {"ab\x83\x41", 4, "ab"},
        {"x", 0, ""},
    };
    for (const Case& c : cases) {
        char dest[8];
        memset(dest, '#', sizeof dest);
        DecodeProfileValue(c.value, ProfileEncoding::Text, dest, c.count);
        int filled = c.count < 1 ? 1 : c.count;
        EXPECT_EQ(std::string(dest, 8), std::string(c.expected) +
                                            std::string(filled - strlen(c.expected), '\0') +
                                            std::string(8 - filled, '#'));
    }
}

TEST(ProfileItem, BracketFieldsSkipSecondBytesOfDoubleByteCharacters) {
    struct Case {
        const char* text;
        const char* first;  // null: a bracket is missing
        const char* second;
    };
    const Case cases[] = {
        {"[G92][G92.1]", "G92", "G92.1"},
        {"x[a]y[]z", "a", ""},
        {"[a[b]][c]", "a[b", "c"},
        {"[\x83\x5D][\x81\x5B]", "\x83\x5D", "\x81\x5B"},  // "]" and "[" as second bytes
        {"[a][b", nullptr, nullptr},
        {"a][b]", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        std::string out[2];
        bool found = BracketFields(c.text, 2, out);
        EXPECT_EQ(found ? out[0] + "|" + out[1] : "missing",
                  c.first != nullptr ? std::string(c.first) + "|" + c.second : "missing");
    }
}

TEST(DefinitionPath, FolderEndsAtARealSeparator) {
    EXPECT_EQ(FolderLength("nc.mdl"), 0u);
    EXPECT_EQ(FolderLength("/a/b/nc.mdl"), 5u);
    // A double-byte character ending in a backslash byte ends no folder.
    if (platPathSeparator() == '\\') {
        EXPECT_EQ(FolderLength("C:\\a\\\x83\x5C.exe"), 5u);
    }
}

}  // namespace
