// Helpers shared by the engine's tests: a store whose writes fail, the last
// status, and a store's programs as text.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/block_store.h"
#include "engine/block_store_detail.h"
#include "engine/status.h"
#include "platform/platform.h"
#include "tests/test_support.h"

// While it lives, the store's file is a read-only copy of it: reads work,
// every write fails. The store's own file has no name to reopen it by, so
// the copy is a named file, which goes (and the store gets an empty file
// again) with this object.
struct FailingWrites {
    NcBlockStore* store;
    TempBytes copy{""};
    explicit FailingWrites(NcBlockStore* s) : store(s) {
        std::string bytes(static_cast<size_t>(platFileSize(store->backingFile)), '\0');
        size_t done = 0;
        EXPECT_TRUE(platFileSeek(store->backingFile, 0) &&
                    platFileRead(store->backingFile, bytes.data(), bytes.size(), &done));
        PlatFile* file = platFileOpen(copy.path, PlatAccess::ReadWrite, PlatShare::Exclusive,
                                      PlatCreate::OpenExisting);
        EXPECT_TRUE(platFileWrite(file, bytes.data(), done, &done));
        platFileClose(file);
        platFileDiscard(store->backingFile, nullptr);
        store->backingFile = platFileOpen(copy.path, PlatAccess::Read, PlatShare::ReadWrite,
                                          PlatCreate::OpenExisting);
        EXPECT_NE(store->backingFile, nullptr);
    }
    ~FailingWrites() {
        platFileClose(store->backingFile);
        char where[kPlatPathMax];
        store->backingFile = platScratchFile("nck", where, sizeof where);
    }
};

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
