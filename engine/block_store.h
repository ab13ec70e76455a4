// The program block store: every analysed line of every loaded NC file, as
// fixed-size NcBlockText records in a temporary backing file, grouped into
// programs. A block is addressed by program number and block index, or by
// list index, its position among all blocks in load order. The file is
// mapped once loading is finished, so list access is constant time.
//
// Every operation checks the handle first, then its arguments; a failure
// records a status (engine/status.h) and returns 0, or -1 where the result
// is a count, number or index.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/block_text.h"
#include "platform/platform.h"

struct NcBlockStore;  // opaque; null is an invalid handle

// Creates an empty, unmapped store in a new temporary file ("nck" prefix)
// that the system removes however the process ends.
NcBlockStore* ncBlockCreate();
// Releases the store and deletes its backing file.
int32_t ncBlockDestroy(NcBlockStore* store);
// Forgets every program and empties the backing file; the store stays usable.
int32_t ncBlockClear(NcBlockStore* store);
// Maps the whole backing file for fast reads. A file that cannot be mapped
// (an empty one) leaves the store unmapped, which is not a failure: reads
// then go through file input. Blocks appended later are read from the file.
int32_t ncBlockMemoryMap(NcBlockStore* store);

// programNumber < 0: the number of programs; else that program's block
// count, or -1 when there is no such program.
int32_t ncBlockCount(NcBlockStore* store, int32_t programNumber);
// programNumber < 0: the first program's number; else the number of the
// program created after it. -1 when there is none.
int32_t ncBlockNext(NcBlockStore* store, int32_t programNumber);
// Appends block to the program, creating the program (and recording the
// source file's name and directory entry) when it is new. Only the most
// recently created program can grow.
int32_t ncBlockAppend(NcBlockStore* store, const char* sourceFileName, int32_t programNumber,
                      const NcBlockText* block);
// Renames a program: 1 if done; 0 without status when oldNumber is absent or
// newNumber is taken.
int32_t ncBlockReplacePno(NcBlockStore* store, int32_t oldNumber, int32_t newNumber);
// The program's source file name into buffer (zeroed over bufferSize first,
// always terminated) and its directory entry into fileInfo; both optional.
// 0 without status when the program is absent.
int32_t ncBlockGetFilename(NcBlockStore* store, int32_t programNumber, char* buffer,
                           size_t bufferSize, PlatFileFacts* fileInfo);
int32_t ncBlockGet(NcBlockStore* store, int32_t programNumber, int32_t blockIndex,
                   NcBlockText* block);
// List index of a program's block, or -1 (without status when not found).
int32_t ncBlockProgramToList(NcBlockStore* store, int32_t programNumber, int32_t blockIndex);
// The program and block index holding a list index; outputs are optional.
int32_t ncBlockListToProgram(NcBlockStore* store, int32_t listIndex, int32_t* programNumber,
                             int32_t* blockIndex);
int32_t ncBlockListCount(NcBlockStore* store);
int32_t ncBlockListGet(NcBlockStore* store, int32_t listIndex, NcBlockText* block);
// Rewrites a block in place (break marks).
int32_t ncBlockListSet(NcBlockStore* store, int32_t listIndex, const NcBlockText* block);
