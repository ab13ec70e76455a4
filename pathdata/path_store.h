// The drawing data: one MotionRecord per executed block, in execution order,
// kept in a temporary file (prefix "tlv") and mapped once translation ends.
#pragma once

#include "engine/motion_record.h"

#include <string>

struct PathRecordStore;  // opaque; null means none

// Records collected before they are written out together: 116 whole
// pages, so that every write starts on a page boundary.
constexpr int kPathStoreBufferRecords = 8192;

// Creates the store and its empty temporary file, which the system removes
// however the process ends; null when either fails.
PathRecordStore* pathStoreCreate();
// Releases the store and deletes its file. 1 on success, 0 for a null store.
int pathStoreDestroy(PathRecordStore* store);
// Empties the store: count 0, unmapped, file length 0.
int pathStoreClear(PathRecordStore* store);
// Maps the whole file for reading by memory copies. An empty file stays
// unmapped and reads go through the file. Returns 0 only when records
// accepted earlier could not be written out (the count then drops to what
// reached the file); 1 otherwise.
int pathStoreMap(PathRecordStore* store);
// Number of records appended since the last clear, or -1 for a null store.
int pathStoreCount(const PathRecordStore* store);
// Adds a record at the end. 1, or 0 when records accepted before it could
// not be written (full buffers are written while later ones fill, and a
// failure shows at the hand-over that has to wait for it); the count then
// holds only what reached the file.
int pathStoreAppend(PathRecordStore* store, const MotionRecord* record);
// Copies record index into out. 0 for an index outside [0, count) or a
// failed read, with out untouched.
int pathStoreRead(PathRecordStore* store, int index, MotionRecord* out);
// The mapped record array and the number of records it covers (count may be
// null), or null while unmapped or empty. Records appended after the
// mapping are not inside it.
const MotionRecord* pathStoreView(const PathRecordStore* store, int* count);
// Where the temporary file lies, for messages: its path, or its folder
// where the file has no name; empty for a null store.
const char* pathStoreFileName(const PathRecordStore* store);
// The detail of a message about the last failed append or map: where the
// file lies, or, when the write was refused to keep the disk's last reserve
// free (platWriteBehindRefusedRoom), that reason and where.
std::string pathStoreFailureText(const PathRecordStore* store);
