#include "res/strings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Strings, TextsAreCp932Bytes) {
    EXPECT_STREQ(tlvString(IDS_PRODUCT), "Taliver");
    // "ﾚﾃﾞｨ" is four half-width katakana, one byte each in CP932.
    EXPECT_STREQ(tlvString(IDS_READY), "\xda\xc3\xde\xa8");
    // "中断しました": six double-byte characters.
    EXPECT_EQ(strlen(tlvString(IDS_ABORTED)), 12u);
    EXPECT_EQ(static_cast<unsigned char>(tlvString(IDS_ABORTED)[0]), 0x92u);
}

TEST(Strings, EveryEngineMessageExistsAndUnknownIdsAreEmpty) {
    const int ids[] = {59, 60, 61, 63, 64, 65, 66, 69, 97, 98};
    for (int id : ids) EXPECT_GT(strlen(tlvString(id)), 0u) << id;
    EXPECT_STREQ(tlvString(0), "");
    EXPECT_STREQ(tlvString(99999), "");
}

}  // namespace
