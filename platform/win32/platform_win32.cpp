// Win32 backend of the operating-system layer. Paths arrive as CP932 bytes
// and are converted explicitly, so the result does not depend on the
// system's ANSI code page.
#include "platform/platform.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <new>

struct PlatFile {
    HANDLE handle;
};

struct PlatMapping {
    HANDLE mapping;
    void* view;
};

namespace {

uint64_t joinFileTime(const FILETIME& ft) {
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

DWORD shareFlags(PlatShare share) {
    switch (share) {
        case PlatShare::Exclusive: return 0;
        case PlatShare::Read: return FILE_SHARE_READ;
        case PlatShare::ReadWrite: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
    return 0;
}

DWORD createFlags(PlatCreate create) {
    switch (create) {
        case PlatCreate::OpenExisting: return OPEN_EXISTING;
        case PlatCreate::OpenAlways: return OPEN_ALWAYS;
        case PlatCreate::CreateAlways: return CREATE_ALWAYS;
    }
    return OPEN_EXISTING;
}

PlatMapping* mapFile(PlatFile* file, bool writable, void** view, size_t* size, bool* zeroLength) {
    if (zeroLength != nullptr) *zeroLength = false;
    if (file == nullptr) return nullptr;
    int64_t length = platFileSize(file);
    if (length <= 0) {
        if (zeroLength != nullptr) *zeroLength = (length == 0);
        return nullptr;
    }
    HANDLE m = CreateFileMappingW(file->handle, nullptr, writable ? PAGE_READWRITE : PAGE_READONLY,
                                  0, 0, nullptr);
    if (m == nullptr) return nullptr;
    void* p = MapViewOfFile(m, writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, 0);
    if (p == nullptr) {
        CloseHandle(m);
        return nullptr;
    }
    auto* mapping = new (std::nothrow) PlatMapping{m, p};
    if (mapping == nullptr) {
        UnmapViewOfFile(p);
        CloseHandle(m);
        return nullptr;
    }
    *view = p;
    if (size != nullptr) *size = static_cast<size_t>(length);
    return mapping;
}

}  // namespace

PlatFile* platFileOpen(const char* path, PlatAccess access, PlatShare share, PlatCreate create) {
    WidePath wide;
    if (!wide.assign(path)) return nullptr;
    DWORD rights = access == PlatAccess::Read    ? GENERIC_READ
                   : access == PlatAccess::Write ? GENERIC_WRITE
                                                 : GENERIC_READ | GENERIC_WRITE;
    HANDLE h = CreateFileW(wide.text, rights, shareFlags(share), nullptr, createFlags(create),
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    auto* file = new (std::nothrow) PlatFile{h};
    if (file == nullptr) CloseHandle(h);
    return file;
}

void platFileClose(PlatFile* file) {
    if (file == nullptr) return;
    CloseHandle(file->handle);
    delete file;
}

bool platFileRead(PlatFile* file, void* buffer, size_t size, size_t* done) {
    if (done != nullptr) *done = 0;
    if (file == nullptr) return false;
    size_t total = 0;
    auto* p = static_cast<char*>(buffer);
    while (total < size) {
        DWORD chunk = static_cast<DWORD>(size - total > 0x40000000 ? 0x40000000 : size - total);
        DWORD n = 0;
        if (!ReadFile(file->handle, p + total, chunk, &n, nullptr)) return false;
        if (n == 0) break;
        total += n;
    }
    if (done != nullptr) *done = total;
    return true;
}

bool platFileWrite(PlatFile* file, const void* data, size_t size, size_t* done) {
    if (done != nullptr) *done = 0;
    if (file == nullptr) return false;
    size_t total = 0;
    auto* p = static_cast<const char*>(data);
    while (total < size) {
        DWORD chunk = static_cast<DWORD>(size - total > 0x40000000 ? 0x40000000 : size - total);
        DWORD n = 0;
        if (!WriteFile(file->handle, p + total, chunk, &n, nullptr) || n == 0) {
            break;
        }
        total += n;
    }
    if (done != nullptr) *done = total;
    return total == size;
}

bool platFileSeek(PlatFile* file, uint64_t offset) {
    if (file == nullptr) return false;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file->handle, to, nullptr, FILE_BEGIN) != 0;
}

bool platFileSeekEnd(PlatFile* file) {
    if (file == nullptr) return false;
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    return SetFilePointerEx(file->handle, zero, nullptr, FILE_END) != 0;
}

int64_t platFileSize(PlatFile* file) {
    LARGE_INTEGER size;
    if (file == nullptr || !GetFileSizeEx(file->handle, &size)) return -1;
    return size.QuadPart;
}

bool platFileTruncate(PlatFile* file) {
    return file != nullptr && SetEndOfFile(file->handle) != 0;
}

// Not done on Windows: room could be set aside past the end with
// FileAllocationInfo, but no gain has been measured there.
void platFileReserve(PlatFile*, uint64_t, uint64_t) {}

bool platFileDelete(const char* path) {
    WidePath wide;
    return wide.assign(path) && DeleteFileW(wide.text) != 0;
}

bool platFileDiscard(PlatFile* file, const char* path) {
    platFileClose(file);
    return path == nullptr || platFileDelete(path);
}

bool platReplaceFile(const char* source, const char* target) {
    WidePath from, to;
    if (!from.assign(source) || !to.assign(target)) return false;
    // Without the flush a crash after the move could leave an empty file.
    HANDLE h = CreateFileW(from.text, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BOOL flushed = FlushFileBuffers(h);
    CloseHandle(h);
    return flushed &&
           MoveFileExW(from.text, to.text, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

namespace {

// A handle that only asks about a file (links followed), or
// INVALID_HANDLE_VALUE when it does not exist.
HANDLE openForFacts(const char* path) {
    WidePath wide;
    if (!wide.assign(path)) return INVALID_HANDLE_VALUE;
    return CreateFileW(wide.text, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The path of an open file with its links resolved, without the "\\?\"
// prefix of the final-path call.
bool finalPath(HANDLE h, char* out, size_t outSize) {
    wchar_t path[MAX_PATH + 8];
    DWORD n = GetFinalPathNameByHandleW(h, path, MAX_PATH + 8, FILE_NAME_NORMALIZED);
    if (n == 0 || n >= MAX_PATH + 8) return false;
    const wchar_t* p = path;
    if (wcsncmp(p, L"\\\\?\\UNC\\", 8) == 0) {
        p += 6;
        path[6] = L'\\';  // "\\?\UNC\server" becomes "\\server"
    } else if (wcsncmp(p, L"\\\\?\\", 4) == 0) {
        p += 4;
    }
    return tlvNarrowCopy(p, out, outSize);
}

}  // namespace

bool platOutputTarget(const char* path, char* target, size_t targetSize, bool* inPlace) {
    if (path == nullptr || path[0] == '\0' || inPlace == nullptr) return false;
    *inPlace = false;
    HANDLE h = openForFacts(path);
    bool resolved = false;
    if (h != INVALID_HANDLE_VALUE) {
        // Devices (NUL, CON, COM1, pipes) are written in place.
        *inPlace = GetFileType(h) != FILE_TYPE_DISK;
        resolved = !*inPlace && finalPath(h, target, targetSize);
        CloseHandle(h);
    }
    if (resolved) return true;
    if (strlen(path) >= targetSize) return false;
    memcpy(target, path, strlen(path) + 1);
    return true;
}

PlatFile* platCreateBeside(const char* target, char* out, size_t outSize) {
    WidePath dir;
    if (out == nullptr || !dir.assign(target)) return nullptr;
    wchar_t* cut = wcsrchr(dir.text, L'\\');
    wchar_t* slash = wcsrchr(dir.text, L'/');
    if (slash != nullptr && (cut == nullptr || slash > cut)) cut = slash;
    if (cut != nullptr) {
        cut[1] = L'\0';
    } else {
        wcscpy(dir.text, L".");
    }
    wchar_t name[MAX_PATH];
    if (GetTempFileNameW(dir.text, L"tlv", 0, name) == 0) return nullptr;
    HANDLE h = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    auto* file = h != INVALID_HANDLE_VALUE && tlvNarrowCopy(name, out, outSize) ? new (std::nothrow)
                                                                                   PlatFile{h}
                                                                             : nullptr;
    if (file == nullptr) {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        DeleteFileW(name);
    }
    return file;
}

bool platSameFile(const char* a, const char* b) {
    HANDLE ha = openForFacts(a);
    HANDLE hb = openForFacts(b);
    BY_HANDLE_FILE_INFORMATION ia, ib;
    bool same = ha != INVALID_HANDLE_VALUE && hb != INVALID_HANDLE_VALUE &&
                GetFileInformationByHandle(ha, &ia) && GetFileInformationByHandle(hb, &ib) &&
                ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
                ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
    if (ha != INVALID_HANDLE_VALUE) CloseHandle(ha);
    if (hb != INVALID_HANDLE_VALUE) CloseHandle(hb);
    return same;
}

bool platIsDirectory(const char* path) {
    WidePath wide;
    if (!wide.assign(path)) return false;
    DWORD attributes = GetFileAttributesW(wide.text);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool platFallbackTempDir(char* out, size_t outSize) {
    wchar_t dir[MAX_PATH];
    UINT n = GetWindowsDirectoryW(dir, MAX_PATH);
    return n > 0 && n < MAX_PATH && tlvNarrowCopy(dir, out, outSize);
}

namespace {

// Makes a new empty file with a unique name in the temporary directory, or
// in the Windows directory when that does not exist.
bool makeTempFile(const char* prefix, wchar_t (&name)[MAX_PATH]) {
    wchar_t dir[MAX_PATH];
    DWORD n = GetTempPathW(MAX_PATH, dir);
    bool usable = n > 0 && n < MAX_PATH;
    if (usable) {
        DWORD attributes = GetFileAttributesW(dir);
        usable =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    if (!usable) {
        UINT w = GetWindowsDirectoryW(dir, MAX_PATH);
        if (w == 0 || w >= MAX_PATH) return false;
    }
    WidePath widePrefix;
    return widePrefix.assign(prefix) && GetTempFileNameW(dir, widePrefix.text, 0, name) != 0;
}

}  // namespace

bool platTempFile(const char* prefix, char* out, size_t outSize) {
    wchar_t name[MAX_PATH];
    if (out == nullptr || !makeTempFile(prefix, name)) return false;
    if (!tlvNarrowCopy(name, out, outSize)) {
        DeleteFileW(name);
        return false;
    }
    return true;
}

PlatFile* platScratchFile(const char* prefix, char* where, size_t whereSize) {
    wchar_t name[MAX_PATH];
    if (where == nullptr || !makeTempFile(prefix, name)) return nullptr;
    // The system deletes the file when its last handle closes, and it
    // closes every handle of a process that ends, however it ends. The
    // mapping holds a handle too, so the file goes after the mapping.
    HANDLE h = CreateFileW(name, GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DeleteFileW(name);
        return nullptr;
    }
    auto* file = tlvNarrowCopy(name, where, whereSize) ? new (std::nothrow) PlatFile{h} : nullptr;
    if (file == nullptr) CloseHandle(h);
    return file;
}

bool platFreeSpace(PlatFile* file, uint64_t* freeBytes, uint64_t* totalBytes) {
    // The space is asked of the file's folder: the file's path is found
    // from its handle, which works for a file whose name is on its way out.
    wchar_t path[MAX_PATH + 8];
    DWORD n = file != nullptr ? GetFinalPathNameByHandleW(file->handle, path, MAX_PATH + 8,
                                                          FILE_NAME_NORMALIZED | VOLUME_NAME_DOS)
                              : 0;
    if (n == 0 || n >= MAX_PATH + 8) return false;
    wchar_t* slash = wcsrchr(path, L'\\');
    if (slash == nullptr) return false;
    slash[1] = L'\0';
    ULARGE_INTEGER available, total;
    if (!GetDiskFreeSpaceExW(path, &available, &total, nullptr)) return false;
    *freeBytes = available.QuadPart;
    *totalBytes = total.QuadPart;
    return true;
}

PlatFile* platOpenRegularFile(const char* path, bool* notRegular) {
    if (notRegular != nullptr) *notRegular = false;
    WidePath wide;
    if (!wide.assign(path)) return nullptr;
    DWORD attributes = GetFileAttributesW(wide.text);
    bool folder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    HANDLE h = folder ? INVALID_HANDLE_VALUE
                      : CreateFileW(wide.text, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    // Devices (CON, NUL, COM1) and pipes open like files: only a disk file
    // is read.
    bool other = h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_DISK;
    if (other) CloseHandle(h);
    if (notRegular != nullptr) *notRegular = folder || other;
    if (folder || other || h == INVALID_HANDLE_VALUE) return nullptr;
    auto* file = new (std::nothrow) PlatFile{h};
    if (file == nullptr) CloseHandle(h);
    return file;
}

PlatMapping* platMapRead(PlatFile* file, const void** view, size_t* size, bool* zeroLength) {
    void* p = nullptr;
    PlatMapping* m = mapFile(file, false, &p, size, zeroLength);
    if (m != nullptr) *view = p;
    return m;
}

PlatMapping* platMapReadWrite(PlatFile* file, void** view, size_t* size, bool* zeroLength) {
    return mapFile(file, true, view, size, zeroLength);
}

void platUnmap(PlatMapping* mapping) {
    if (mapping == nullptr) return;
    UnmapViewOfFile(mapping->view);
    CloseHandle(mapping->mapping);
    delete mapping;
}

bool platFindFile(const char* path, PlatFileFacts* facts) {
    WidePath wide;
    if (facts == nullptr || !wide.assign(path)) return false;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(wide.text, &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    memset(facts, 0, sizeof *facts);
    facts->attributes = data.dwFileAttributes;
    facts->creationTime = joinFileTime(data.ftCreationTime);
    facts->lastAccessTime = joinFileTime(data.ftLastAccessTime);
    facts->lastWriteTime = joinFileTime(data.ftLastWriteTime);
    facts->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    tlvNarrowCopy(data.cFileName, facts->name, sizeof facts->name);
    tlvNarrowCopy(data.cAlternateFileName, facts->shortName, sizeof facts->shortName);
    return true;
}

bool platLocalTime(uint64_t fileTime, PlatLocalTime* out) {
    if (out == nullptr) return false;
    FILETIME utc, local;
    utc.dwLowDateTime = static_cast<DWORD>(fileTime);
    utc.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) {
        return false;
    }
    *out = {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
    return true;
}

bool platExecutablePath(char* out, size_t outSize) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return n > 0 && n < MAX_PATH && tlvNarrowCopy(path, out, outSize);
}

uint32_t platTickCount() {
    return GetTickCount();
}

char platPathSeparator() {
    return '\\';
}

bool platIsAbsolutePath(const char* path) {
    if (path == nullptr) return false;
    if (path[0] == '\\' || path[0] == '/') return true;
    bool letter = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
    return letter && path[1] == ':';
}

bool platFullPath(const char* path, char* out, size_t outSize) {
    if (path == nullptr) return false;
    wchar_t full[MAX_PATH + 1] = {};
    DWORD n = GetFullPathNameW(tlvWiden(path).c_str(), MAX_PATH + 1, full, nullptr);
    return n > 0 && n <= MAX_PATH && tlvNarrowCopy(full, out, outSize);
}
