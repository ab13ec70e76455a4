// Helpers shared by the engine's tests: the last status and a store's
// programs as text.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/block_store.h"
#include "engine/block_store_detail.h"
#include "engine/status.h"
#include "platform/platform.h"
#include "tests/test_support.h"

inline uint32_t statusCode() {
    return ncStatus(kNcStatusRead, nullptr);
}

inline std::string statusDetail() {
    char detail[kNcStatusTextSize];
    ncStatus(kNcStatusRead, detail);
    return detail;
}

#define EXPECT_STATUS(code, detail)          \
    do {                                     \
        EXPECT_EQ(statusCode(), (code));     \
        EXPECT_EQ(statusDetail(), (detail)); \
    } while (0)

// Programs in creation order as "number:first+count", then the list count.
inline std::string describePrograms(NcBlockStore* store) {
    std::string out;
    for (int32_t p = ncBlockNext(store, -1); p >= 0; p = ncBlockNext(store, p)) {
        out += std::to_string(p) + ":" + std::to_string(ncBlockProgramToList(store, p, 0)) + "+" +
               std::to_string(ncBlockCount(store, p)) + " ";
    }
    return out + "/" + std::to_string(ncBlockListCount(store));
}
