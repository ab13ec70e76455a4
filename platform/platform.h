// Thin operating-system layer: files, mappings, temporary files, file facts,
// the executable's path and a millisecond clock. Paths are CP932 byte strings.
#pragma once

#include <cstddef>
#include <cstdint>

// Longest path the system handles: 259 bytes plus the terminator.
constexpr size_t kPlatPathMax = 260;

struct PlatFile;     // an open file; null means none
struct PlatMapping;  // a mapped view of a whole file; null means none

// Write alone suits outputs such as pipes, whose writer must learn that
// the reader has gone.
enum class PlatAccess { Read, ReadWrite, Write };
enum class PlatShare { Exclusive, Read, ReadWrite };
enum class PlatCreate {
    OpenExisting,  // fail when the file does not exist
    OpenAlways,    // open, or create an empty file
    CreateAlways,  // create, or truncate an existing file
};

// Attribute bits as the find-first-file call reports them.
constexpr uint32_t kPlatAttrReadOnly = 0x01;
constexpr uint32_t kPlatAttrDirectory = 0x10;
constexpr uint32_t kPlatAttrNormal = 0x80;

// Directory entry of a file. Times are 100 ns ticks since 1601-01-01 UTC,
// so that both builds compare and report them the same way.
struct PlatFileFacts {
    uint32_t attributes;
    uint64_t creationTime;
    uint64_t lastAccessTime;
    uint64_t lastWriteTime;
    uint64_t size;
    char name[kPlatPathMax];  // name with extension, no folder
    char shortName[14];       // 8.3 name where the system has one, else empty
};

// Broken-down local time of a file time.
struct PlatLocalTime {
    int year, month, day, hour, minute, second;
};

PlatFile* platFileOpen(const char* path, PlatAccess access, PlatShare share, PlatCreate create);
void platFileClose(PlatFile* file);
// Reads or writes up to size bytes; done receives the count moved.
bool platFileRead(PlatFile* file, void* buffer, size_t size, size_t* done);
bool platFileWrite(PlatFile* file, const void* data, size_t size, size_t* done);
bool platFileSeek(PlatFile* file, uint64_t offset);
bool platFileSeekEnd(PlatFile* file);
// Current size in bytes, or -1 when it cannot be read.
int64_t platFileSize(PlatFile* file);
// Cuts the file at the current position.
bool platFileTruncate(PlatFile* file);
// Asks the file system to set aside room for size bytes from offset before
// they are written, which spares it that bookkeeping page by page during
// the writes. The file's size and contents do not change; where the system
// cannot do it, nothing happens. A hint only: a failed reserve is ignored
// and the write reports any lack of room.
void platFileReserve(PlatFile* file, uint64_t offset, uint64_t size);
bool platFileDelete(const char* path);
// Closes a scratch file and deletes it (path is its name) without its
// contents being written out on the way. False when it cannot be deleted.
// A file from platScratchFile goes by itself: path is then null.
bool platFileDiscard(PlatFile* file, const char* path);
// Makes the contents of the closed file source durable, then puts it in
// place of target in one step, replacing target when it exists: a reader
// sees either the old file or the whole new one, never a part. Both paths
// must lie on one volume (in one folder, in practice).
bool platReplaceFile(const char* source, const char* target);
// Where an output named path goes. A regular file, or a name that does not
// exist yet, is written to a new file beside it and put in its place only
// when complete, so that a failed write leaves it as it was: target gets the
// file to replace, which for a link is the file the link leads to (the link
// stays). Anything else (a device, a pipe, a terminal, a path under /dev)
// is written in place (*inPlace) and never deleted. False for an empty or
// too long path.
bool platOutputTarget(const char* path, char* target, size_t targetSize, bool* inPlace);
// Creates a new empty file with a unique name in the folder of target,
// open for writing, and writes its name to out. Null when none can be made.
PlatFile* platCreateBeside(const char* target, char* out, size_t outSize);
// Whether two paths name one file, however they are spelt (links, "..",
// letter case where the system ignores it). False when either is missing.
bool platSameFile(const char* a, const char* b);

// Creates a new empty file with a unique name beginning with prefix in the
// temporary directory (the fallback folder when that does not exist) and
// writes its path to out. Returns false when no file could be made.
bool platTempFile(const char* prefix, char* out, size_t outSize);
// Opens a new scratch file, read/write and not shared, in the same folder
// as platTempFile would, that the system removes when it is closed or when
// the process ends, however it ends: a killed or crashed run must not leave
// gigabytes behind. where receives a path for messages: the file's name
// where it has one (Windows), else the folder holding it. Null when no file
// could be made.
PlatFile* platScratchFile(const char* prefix, char* where, size_t whereSize);
// Free and total bytes of the file system holding an open file; free counts
// only what this process may still use. False when the system cannot say.
bool platFreeSpace(PlatFile* file, uint64_t* freeBytes, uint64_t* totalBytes);
// Opens an existing file for reading only when it is a regular file, so
// that a pipe, a device or a folder is never read (nor waited on).
// notRegular (optional) tells that path exists but is something else.
PlatFile* platOpenRegularFile(const char* path, bool* notRegular);
// The folder used when the temporary directory does not exist.
bool platFallbackTempDir(char* out, size_t outSize);
bool platIsDirectory(const char* path);

// Maps a whole open file. A zero-length file cannot be mapped: the call
// fails and says why through *zeroLength when given.
PlatMapping* platMapRead(PlatFile* file, const void** view, size_t* size,
                         bool* zeroLength = nullptr);
PlatMapping* platMapReadWrite(PlatFile* file, void** view, size_t* size,
                              bool* zeroLength = nullptr);
void platUnmap(PlatMapping* mapping);

// Facts of the first file matching path, as find-first-file gives them.
bool platFindFile(const char* path, PlatFileFacts* facts);
// Whether path names an existing file that is not a folder.
inline bool platIsFile(const char* path) {
    PlatFileFacts facts;
    return path != nullptr && path[0] != '\0' && platFindFile(path, &facts) &&
           (facts.attributes & kPlatAttrDirectory) == 0;
}
bool platLocalTime(uint64_t fileTime, PlatLocalTime* out);

bool platExecutablePath(char* out, size_t outSize);
// Milliseconds since an arbitrary start; wraps after 49.7 days.
uint32_t platTickCount();

// Path separator and absolute-path rule of this build.
char platPathSeparator();
bool platIsAbsolutePath(const char* path);
// The absolute form of path, taken from the current folder; false when it
// cannot be formed or does not fit.
bool platFullPath(const char* path, char* out, size_t outSize);
