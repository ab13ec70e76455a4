// The loader's way into line analysis, for lines cut straight out of a
// file. Internal to the engine.
#pragma once

#include <cstddef>

#include "engine/block_text.h"

// ncAddrAnalysis of the first size bytes at bytes (at most 127 are used),
// which need no terminator. The text keeps every byte, also those after a
// NUL; the words are read up to the first NUL, as ncAddrAnalysis reads a
// terminated line. cut says that the source line went on past size bytes
// (it is implied when size exceeds 127).
void ncAddrAnalysisBytes(NcBlockText* block, const char* bytes, size_t size, bool cut = false);
