#include "engine/status.h"

#include <gtest/gtest.h>

#include <cstring>
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

TEST(NcStatus, EveryCodeMapsToItsMessage) {
    const uint32_t codes[][2] = {{NcStatusInvalidHandle, 59},
                                 {NcStatusInvalidArgument, 60},
                                 {NcStatusOutOfMemory, 61},
                                 {NcStatusWriteFailed, 63},
                                 {NcStatusReadFailed, 64},
                                 {NcStatusCreateFailed, 97},
                                 {NcStatusDuplicateProgram, 65},
                                 {NcStatusSelfCall, 66},
                                 {NcStatusNestingOverflow, 98},
                                 {NcStatusCoordinateRange, 120},
                                 {0, IDS_ABORTED},
                                 {0xF000000B, IDS_ABORTED}};
    for (const auto& [code, id] : codes) {
        EXPECT_EQ(ncStatusMessageId(code), static_cast<int>(id));
        EXPECT_EQ(ncStatusHasDetail(code), id != IDS_ABORTED);  // an abort shows no detail
        EXPECT_GT(strlen(tlvString(ncStatusMessageId(code))), 0u);
    }
}

}  // namespace
