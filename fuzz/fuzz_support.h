// Helpers shared by the fuzz targets: a scratch file that the readers under
// test open by name, and the split of one input into its parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// Writes bytes to this process's scratch file (made once, removed at exit)
// and returns its path; the path of each name stays the same, so a reader's
// per-path state does not grow with the runs. Aborts when the file cannot
// be written: a fuzz run on a full disk would only test the disk.
const char* fuzzScratchFile(const char* name, const uint8_t* data, size_t size);

// The part of text before the first NUL and the part after it; without a
// NUL the whole text is the second part. Lets one input carry a definition
// file and a program while each stays readable text in the corpus.
std::pair<std::string_view, std::string_view> fuzzSplitAtNul(std::string_view text);
