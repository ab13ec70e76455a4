// POSIX backend of the operating-system layer. Sharing modes are advisory
// here: POSIX has no mandatory share locks, and the stores' files are private
// temporary files anyway. Paths are CP932 for the callers and are converted
// to and from the locale's character set at every system call, so that a
// UTF-8 byte is never read by the CP932 rules (which would take some for
// lead bytes and swallow the "/" after them).
#include "platform/native_text.h"
#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <climits>
#include <ctime>
#include <new>
#include <string>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

struct PlatFile {
    int fd;
};

struct PlatMapping {
    void* view;
    size_t size;
};

namespace {

// Seconds between 1601-01-01 and 1970-01-01.
constexpr uint64_t kEpochDelta = 11644473600ULL;

uint64_t toFileTime(const timespec& ts) {
    if (ts.tv_sec < 0) return 0;
    return (static_cast<uint64_t>(ts.tv_sec) + kEpochDelta) * 10000000ULL +
           static_cast<uint64_t>(ts.tv_nsec) / 100;
}

bool copyText(char* out, size_t outSize, const char* text) {
    size_t n = strlen(text);
    if (out == nullptr || n >= outSize) return false;
    memcpy(out, text, n + 1);
    return true;
}

// path in the system's spelling; false for a null path or one that has none.
bool nativePath(const char* path, std::string* out) {
    return path != nullptr && platToNative(path, out);
}

// A system path back in CP932, into out; false when it has no CP932 form or
// does not fit.
bool fromNativePath(const char* native, char* out, size_t outSize) {
    std::string text;
    return platFromNative(native, &text) && copyText(out, outSize, text.c_str());
}

PlatMapping* mapFile(PlatFile* file, bool writable, void** view, size_t* size, bool* zeroLength) {
    if (zeroLength != nullptr) *zeroLength = false;
    if (file == nullptr) return nullptr;
    int64_t length = platFileSize(file);
    if (length <= 0) {
        if (zeroLength != nullptr) *zeroLength = (length == 0);
        return nullptr;
    }
    int prot = PROT_READ | (writable ? PROT_WRITE : 0);
    void* p = mmap(nullptr, static_cast<size_t>(length), prot, MAP_SHARED, file->fd, 0);
    if (p == MAP_FAILED) return nullptr;
    auto* mapping = new (std::nothrow) PlatMapping{p, static_cast<size_t>(length)};
    if (mapping == nullptr) {
        munmap(p, static_cast<size_t>(length));
        return nullptr;
    }
    *view = p;
    if (size != nullptr) *size = mapping->size;
    return mapping;
}

// ext4 writes a file out to disk at its last close when it was truncated
// from a non-zero size since it was opened: a safeguard for programs that
// rewrite small files in place. Rewriting a large export made the close
// wait for the disk (0.2 s for 150 MB). A plain file with one name is
// therefore replaced by a new one; links keep the truncating rewrite, so
// that the file they lead to is the one written.
void removeForRewrite(const char* path) {
    struct stat st;
    if (lstat(path, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1 && st.st_size > 0) {
        unlink(path);
    }
}

}  // namespace

PlatFile* platFileOpen(const char* cp932Path, PlatAccess access, PlatShare, PlatCreate create) {
    std::string native;
    if (!nativePath(cp932Path, &native)) return nullptr;
    const char* path = native.c_str();
    int flags = access == PlatAccess::Read    ? O_RDONLY
                : access == PlatAccess::Write ? O_WRONLY
                                              : O_RDWR;
    if (create == PlatCreate::OpenAlways) flags |= O_CREAT;
    if (create == PlatCreate::CreateAlways) {
        flags |= O_CREAT | O_TRUNC;
        if (access == PlatAccess::ReadWrite) removeForRewrite(path);
    }
    int fd = open(path, flags | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    auto* file = new (std::nothrow) PlatFile{fd};
    if (file == nullptr) close(fd);
    return file;
}

void platFileClose(PlatFile* file) {
    if (file == nullptr) return;
    close(file->fd);
    delete file;
}

bool platFileRead(PlatFile* file, void* buffer, size_t size, size_t* done) {
    if (done != nullptr) *done = 0;
    if (file == nullptr) return false;
    size_t total = 0;
    auto* p = static_cast<char*>(buffer);
    while (total < size) {
        ssize_t n = read(file->fd, p + total, size - total);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        total += static_cast<size_t>(n);
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
        ssize_t n = write(file->fd, p + total, size - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        total += static_cast<size_t>(n);
    }
    if (done != nullptr) *done = total;
    return total == size;
}

bool platFileSeek(PlatFile* file, uint64_t offset) {
    return file != nullptr && lseek(file->fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool platFileSeekEnd(PlatFile* file) {
    return file != nullptr && lseek(file->fd, 0, SEEK_END) >= 0;
}

int64_t platFileSize(PlatFile* file) {
    struct stat st;
    if (file == nullptr || fstat(file->fd, &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

bool platFileTruncate(PlatFile* file) {
    if (file == nullptr) return false;
    off_t here = lseek(file->fd, 0, SEEK_CUR);
    return here >= 0 && ftruncate(file->fd, here) == 0;
}

void platFileReserve(PlatFile* file, uint64_t offset, uint64_t size) {
#if defined(__linux__) && defined(FALLOC_FL_KEEP_SIZE)
    if (file == nullptr || offset > INT64_MAX || size > INT64_MAX - offset) return;
    // Kept outside the file's size, so readers and mappings see only what
    // was written.
    (void)fallocate(file->fd, FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset),
                    static_cast<off_t>(size));
#else
    (void)file;
    (void)offset;
    (void)size;
#endif
}

bool platFileDelete(const char* path) {
    std::string native;
    return nativePath(path, &native) && unlink(native.c_str()) == 0;
}

bool platFileDiscard(PlatFile* file, const char* path) {
    // Emptied before it is closed: ext4 writes a file out at its last close
    // when it was truncated since it was opened, which would write a whole
    // store to disk just before deleting it.
    if (file != nullptr && platFileSeek(file, 0)) platFileTruncate(file);
    platFileClose(file);
    return path == nullptr || platFileDelete(path);
}

bool platReplaceFile(const char* cp932Source, const char* cp932Target) {
    std::string nativeSource, nativeTarget;
    if (!nativePath(cp932Source, &nativeSource) || !nativePath(cp932Target, &nativeTarget)) {
        return false;
    }
    const char* source = nativeSource.c_str();
    const char* target = nativeTarget.c_str();
    int fd = open(source, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // The replacement keeps the permissions of the file it replaces.
    struct stat st;
    bool ok = true;
    if (stat(target, &st) == 0) ok = fchmod(fd, st.st_mode & 07777) == 0;
    // Without the flush a crash after the rename could leave an empty file.
    ok = ok && fsync(fd) == 0;
    close(fd);
    if (!ok || rename(source, target) != 0) return false;
    // The rename itself lives in the folder; flushing it is best effort.
    const char* slash = strrchr(target, '/');
    std::string dir = slash == nullptr  ? std::string(".")
                      : slash == target ? std::string("/")
                                        : std::string(target, slash);
    int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

namespace {

// The file that path leads to through any chain of links, which need not
// exist yet: a link to a missing file is followed to where it points.
bool followLinks(const char* path, std::string* out) {
    std::string at = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st;
        if (lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *out = at;
            return true;
        }
        char link[PATH_MAX];
        ssize_t n = readlink(at.c_str(), link, sizeof link - 1);
        if (n <= 0) return false;
        link[n] = '\0';
        const size_t slash = at.rfind('/');
        at = link[0] == '/' || slash == std::string::npos ? std::string(link)
                                                          : at.substr(0, slash + 1) + link;
    }
    return false;  // a loop of links
}

}  // namespace

bool platOutputTarget(const char* cp932Path, char* target, size_t targetSize, bool* inPlace) {
    std::string native;
    if (cp932Path == nullptr || cp932Path[0] == '\0' || inPlace == nullptr ||
        !nativePath(cp932Path, &native)) {
        return false;
    }
    const char* path = native.c_str();
    // /dev and /proc hold devices and the process's own streams (/dev/stdout
    // may lead to the file the shell opened): a rename there would take the
    // name away from what the caller set up.
    *inPlace = strncmp(path, "/dev/", 5) == 0 || strncmp(path, "/proc/", 6) == 0;
    std::string file;
    if (!*inPlace && !followLinks(path, &file)) return false;
    struct stat st;
    if (!*inPlace && stat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) *inPlace = true;
    return fromNativePath(*inPlace ? path : file.c_str(), target, targetSize);
}

PlatFile* platCreateBeside(const char* target, char* out, size_t outSize) {
    if (target == nullptr || out == nullptr) return nullptr;
    const char* slash = strrchr(target, '/');
    const int dirLength = slash == nullptr ? 0 : static_cast<int>(slash - target + 1);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Hidden, and named after this process, so that one left by a
        // crash is recognisable; exclusive creation makes it ours alone.
        char name[kPlatPathMax];
        int n = snprintf(name, sizeof name, "%.*s.tlv%ld-%u.tmp", dirLength, target,
                         static_cast<long>(getpid()), counter++);
        std::string native;
        if (n < 0 || static_cast<size_t>(n) >= sizeof name || !nativePath(name, &native)) {
            return nullptr;
        }
        int fd = open(native.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return nullptr;
        auto* file = copyText(out, outSize, name) ? new (std::nothrow) PlatFile{fd} : nullptr;
        if (file == nullptr) {
            close(fd);
            unlink(native.c_str());
        }
        return file;
    }
    return nullptr;
}

bool platSameFile(const char* a, const char* b) {
    struct stat sa, sb;
    std::string na, nb;
    return nativePath(a, &na) && nativePath(b, &nb) && stat(na.c_str(), &sa) == 0 &&
           stat(nb.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool platIsDirectory(const char* path) {
    struct stat st;
    std::string native;
    return nativePath(path, &native) && stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool platFallbackTempDir(char* out, size_t outSize) {
    return copyText(out, outSize, "/tmp");
}

namespace {

// The temporary directory ($TMPDIR, else the fallback) without trailing
// slashes, and in name a template for a unique file in it, both as the
// system spells them. A folder that has no CP932 name is not used: the
// program could not tell anyone where its files are.
bool tempTemplate(const char* prefix, char* dir, char* name) {
    const char* env = getenv("TMPDIR");
    struct stat st;
    std::string cp932;
    if (env == nullptr || !copyText(dir, kPlatPathMax, env) || stat(dir, &st) != 0 ||
        !S_ISDIR(st.st_mode) || !platFromNative(dir, &cp932)) {
        platFallbackTempDir(dir, kPlatPathMax);
    }
    size_t len = strlen(dir);
    while (len > 1 && dir[len - 1] == '/') dir[--len] = '\0';
    int n = snprintf(name, kPlatPathMax, "%s/%.3sXXXXXX", dir, prefix);
    return n >= 0 && static_cast<size_t>(n) < kPlatPathMax;
}

}  // namespace

bool platTempFile(const char* prefix, char* out, size_t outSize) {
    if (prefix == nullptr || out == nullptr) return false;
    char dir[kPlatPathMax], name[kPlatPathMax];
    if (!tempTemplate(prefix, dir, name)) return false;
    int fd = mkstemp(name);
    if (fd < 0) return false;
    close(fd);
    if (!fromNativePath(name, out, outSize)) {
        unlink(name);
        return false;
    }
    return true;
}

PlatFile* platScratchFile(const char* prefix, char* where, size_t whereSize) {
    if (prefix == nullptr) return nullptr;
    char dir[kPlatPathMax], name[kPlatPathMax];
    if (!tempTemplate(prefix, dir, name) || !fromNativePath(dir, where, whereSize)) return nullptr;
    int fd = -1;
#ifdef O_TMPFILE
    // A file that never has a name: nothing is left behind, whatever ends
    // the process.
    fd = open(dir, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
#endif
    if (fd < 0) {
        // File systems that refuse unnamed files: the name goes at once.
        fd = mkostemp(name, O_CLOEXEC);
        if (fd >= 0) unlink(name);
    }
    if (fd < 0) return nullptr;
    auto* file = new (std::nothrow) PlatFile{fd};
    if (file == nullptr) close(fd);
    return file;
}

bool platFreeSpace(PlatFile* file, uint64_t* freeBytes, uint64_t* totalBytes) {
    struct statvfs st;
    if (file == nullptr || fstatvfs(file->fd, &st) != 0) return false;
    // f_bavail leaves out the blocks kept for the superuser, which a
    // process running as root may still fill: the stricter figure.
    *freeBytes = static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
    *totalBytes = static_cast<uint64_t>(st.f_blocks) * st.f_frsize;
    return true;
}

PlatFile* platOpenRegularFile(const char* cp932Path, bool* notRegular) {
    if (notRegular != nullptr) *notRegular = false;
    struct stat st;
    std::string native;
    if (!nativePath(cp932Path, &native) || stat(native.c_str(), &st) != 0) return nullptr;
    const char* path = native.c_str();
    // Looked at before opening, since opening some devices already does
    // something; O_NONBLOCK keeps a pipe put there since from blocking.
    int fd = S_ISREG(st.st_mode) ? open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC) : -1;
    if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        close(fd);
        fd = -1;
    }
    if (fd < 0) {
        if (notRegular != nullptr) *notRegular = !S_ISREG(st.st_mode);
        return nullptr;
    }
    auto* file = new (std::nothrow) PlatFile{fd};
    if (file == nullptr) close(fd);
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
    munmap(mapping->view, mapping->size);
    delete mapping;
}

bool platFindFile(const char* path, PlatFileFacts* facts) {
    struct stat st;
    std::string native;
    if (facts == nullptr || !nativePath(path, &native) || stat(native.c_str(), &st) != 0) {
        return false;
    }
    memset(facts, 0, sizeof *facts);
    if (S_ISDIR(st.st_mode)) facts->attributes |= kPlatAttrDirectory;
    if (access(native.c_str(), W_OK) != 0) facts->attributes |= kPlatAttrReadOnly;
    if (facts->attributes == 0) facts->attributes = kPlatAttrNormal;
    facts->creationTime = toFileTime(st.st_ctim);
    facts->lastAccessTime = toFileTime(st.st_atim);
    facts->lastWriteTime = toFileTime(st.st_mtim);
    facts->size = static_cast<uint64_t>(st.st_size);
    const char* slash = strrchr(path, '/');
    const char* base = slash != nullptr ? slash + 1 : path;
    snprintf(facts->name, sizeof facts->name, "%s", base);
    return true;
}

bool platLocalTime(uint64_t fileTime, PlatLocalTime* out) {
    if (out == nullptr || fileTime / 10000000ULL < kEpochDelta) return false;
    time_t t = static_cast<time_t>(fileTime / 10000000ULL - kEpochDelta);
    struct tm tmv;
    if (localtime_r(&t, &tmv) == nullptr) return false;
    *out = {tmv.tm_year + 1900, tmv.tm_mon + 1, tmv.tm_mday, tmv.tm_hour, tmv.tm_min, tmv.tm_sec};
    return true;
}

bool platExecutablePath(char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return false;
    char native[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", native, sizeof native - 1);
    if (n <= 0) return false;
    native[n] = '\0';
    return fromNativePath(native, out, outSize);
}

uint32_t platTickCount() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms =
        static_cast<uint64_t>(ts.tv_sec) * 1000ULL + static_cast<uint64_t>(ts.tv_nsec) / 1000000ULL;
    return static_cast<uint32_t>(ms);
}

char platPathSeparator() {
    return '/';
}

bool platIsAbsolutePath(const char* path) {
    return path != nullptr && path[0] == '/';
}

bool platFullPath(const char* path, char* out, size_t outSize) {
    char full[PATH_MAX];
    std::string native;
    return nativePath(path, &native) && realpath(native.c_str(), full) != nullptr &&
           fromNativePath(full, out, outSize);
}
