#include "res/strings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Every engine message is checked through its status code in the engine's
// tests; here are the bytes themselves and the ids that name nothing.
TEST(Strings, TextsAreCp932BytesAndUnknownIdsAreEmpty) {
    EXPECT_STREQ(tlvString(IDS_PRODUCT), "Taliver");
    // "ﾚﾃﾞｨ" is four half-width katakana, one byte each in CP932.
    EXPECT_STREQ(tlvString(IDS_READY), "\xda\xc3\xde\xa8");
    // "中断しました": six double-byte characters.
    EXPECT_EQ(strlen(tlvString(IDS_ABORTED)), 12u);
    EXPECT_EQ(static_cast<unsigned char>(tlvString(IDS_ABORTED)[0]), 0x92u);
    EXPECT_STREQ(tlvString(0), "");
    EXPECT_STREQ(tlvString(99999), "");
}

}  // namespace
