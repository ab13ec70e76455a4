// INI-style profile files, read and written the way the Windows private
// profile functions treat them, by one portable implementation so that a
// file behaves the same on every build.
//
// Section and key names are found without regard to case, and the first
// matching section and the first matching key in it win. A value is read
// with its surrounding blanks trimmed and one enclosing pair of double
// quotes removed. A write replaces the key's line in place, or adds the key
// after the last key of its section, or adds the section at the end; every
// other line (comments, unknown keys, blank lines) stays byte for byte, and
// so do the line ends of the file (new files get CR LF).
//
// A ProfileFile is loaded once, edited in memory and saved once: saving a
// file of a hundred keys once per key would rewrite it a hundred times. The
// save writes a temporary file beside the target and then replaces the
// target, so a crash or a full disk never leaves a half-written file.
#pragma once

#include "platform/sjis.h"

#include <cstdint>
#include <string>
#include <vector>

// Why an existing file was not loaded.
enum class ProfileProblem {
    None,
    Unreadable,  // it could not be opened or read
    NotAFile,    // a folder, pipe or device: reading one could block or never end
    TooLarge,    // more than kProfileMaxBytes
};

// The largest file loaded. Settings, machine and tool files hold a few
// kilobytes (the settings with a full history about 10 KB), so 4 MB is
// hundreds of times more than a real one, while the lines of a file that
// size still take only tens of megabytes of memory.
constexpr uint64_t kProfileMaxBytes = 4u << 20;

class ProfileFile {
public:
    // Reads the file at path and remembers the path for save(). A file that
    // does not exist is an empty profile, created by the first save; false
    // only when an existing file cannot be read or is refused (problem()
    // says why): the profile is then empty and save() refuses, so that the
    // file is not overwritten blindly (nor a device replaced by a file).
    bool load(const char* path);
    ProfileProblem problem() const { return problem_; }

    // The value of key in section; false when either is missing.
    bool get(const char* section, const char* key, std::string* value) const;

    // Sets key in section to value, written as given (no quotes added). A
    // value is one line: CR and LF in it become blanks. False for a name
    // that the file format cannot hold (empty, or with "]", "=" or a line
    // break in it, or a key starting with ";").
    bool set(const char* section, const char* key, const char* value);

    // Writes the profile to the loaded path; false when nothing was written.
    // The previous file is then left as it was.
    bool save() const;

    // The whole file as save() writes it.
    std::string text() const;
    const std::string& path() const { return path_; }

private:
    struct Line {
        std::string text;  // without its line end
        std::string end;   // "\r\n", "\n" or "" for a last line without one
    };
    // Index of the header line of the first section named name, or -1.
    int findSection(const char* name) const;
    // Index of the first line of key in the section whose header is at
    // header, or -1.
    int findKey(int header, const char* key) const;
    // Inserts a line before index at, giving the line before it a line end.
    void insertLine(size_t at, std::string text);

    std::vector<Line> lines_;
    std::string path_;
    std::string newline_ = "\r\n";
    bool readable_ = false;
    ProfileProblem problem_ = ProfileProblem::None;
};

// One-call forms on a path: each loads the file (and set saves it), so they
// suit a single key; use ProfileFile for more.
bool profileGetString(const char* path, const char* section, const char* key, std::string* value);
bool profileWriteString(const char* path, const char* section, const char* key, const char* value);


// Compares two names as the profile does: ASCII letters without regard to
// case, double-byte characters byte for byte (folding their second byte
// would make different characters equal). Returns 0 when equal.
int profileCompareNoCase(const char* a, const char* b);
