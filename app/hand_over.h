// The hand-over between two instances: the data message that passes the
// first file name of a second start to the instance already running.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint64_t kHandOverTag = 0xC0000001;  // the message's tag for an opened file
constexpr size_t kHandOverSize = 260;          // the sender's buffer: 259 bytes and a NUL

// Takes the file name out of a received message: the bytes up to the first
// NUL within the first kHandOverSize bytes (a shorter message need not be
// terminated) into name, which holds kHandOverSize bytes. False, with name
// empty, for another tag, no data, an empty name, or a name that fills the
// whole buffer without a terminator: opening a cut-off name would open a
// different file or report a misleading failure.
bool DecodeHandOver(uint64_t tag, const void* data, size_t size, char name[kHandOverSize]);
