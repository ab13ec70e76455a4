#include "engine/status.h"

#include <gtest/gtest.h>

#include <string>

#include "engine_test_support.h"
#include "res/strings.h"

namespace {

TEST(NcStatus, RecordsReadsAndClearsKeepingTheDetail) {
    EXPECT_EQ(ncStatus(NcStatusReadFailed, "C:\\NC\\A.NC"), NcStatusReadFailed);
    EXPECT_EQ(ncStatus(0, nullptr), 0u);  // clearing keeps the detail text
    EXPECT_STATUS(0u, "C:\\NC\\A.NC");
    EXPECT_EQ(ncFail(NcStatusOutOfMemory, std::string(700, 'a').c_str(), -1), -1);
    char buffer[kNcStatusTextSize + 1];
    buffer[kNcStatusTextSize] = 'z';
    EXPECT_EQ(ncStatus(kNcStatusRead, buffer), NcStatusOutOfMemory);
    EXPECT_EQ(std::string(buffer), std::string(510, 'a'));
    EXPECT_EQ(buffer[kNcStatusTextSize], 'z');  // nothing beyond 511 bytes is written
}

}  // namespace
