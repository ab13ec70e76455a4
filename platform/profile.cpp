#include "platform/profile.h"

#include "platform/platform.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

// The blanks trimmed around names and values; 0x1A is the end-of-file mark
// that old editors leave at the end of a text file.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

char foldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

int compareNoCase(std::string_view a, std::string_view b) {
    size_t i = 0;
    while (i < a.size() && i < b.size()) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        if (sjisIsLead(ca) && i + 1 < a.size() && i + 1 < b.size()) {
            // A double-byte character matches only itself.
            if (a[i] != b[i]) return ca - static_cast<unsigned char>(b[i]);
            if (a[i + 1] != b[i + 1]) {
                return static_cast<unsigned char>(a[i + 1]) - static_cast<unsigned char>(b[i + 1]);
            }
            i += 2;
            continue;
        }
        char fa = foldAscii(a[i]), fb = foldAscii(b[i]);
        if (fa != fb) return static_cast<unsigned char>(fa) - static_cast<unsigned char>(fb);
        ++i;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed, quotes still on
};

// Classifies one line. A section header is "[name]" (text after the last
// "]" is ignored); a key line is "name=value" with a non-empty name; lines
// starting with ";" are comments; anything else is kept but never matched.
ParsedLine parseLine(const std::string& line) {
    ParsedLine parsed;
    std::string_view text = trim(line);
    if (text.empty() || text.front() == ';') return parsed;
    if (text.front() == '[') {
        size_t close = text.rfind(']');
        if (close == std::string_view::npos) return parsed;
        parsed.kind = LineKind::Section;
        parsed.name = trim(text.substr(1, close - 1));
        return parsed;
    }
    size_t equals = text.find('=');
    if (equals == std::string_view::npos) return parsed;
    parsed.name = trim(text.substr(0, equals));
    if (parsed.name.empty()) return parsed;
    parsed.kind = LineKind::Key;
    parsed.value = trim(text.substr(equals + 1));
    return parsed;
}

bool validName(const char* name, bool isKey) {
    if (name == nullptr) return false;
    std::string_view text = trim(name);
    if (text.empty() || text.size() != strlen(name)) return false;
    if (text.find_first_of("\r\n") != std::string_view::npos) return false;
    if (isKey) return text.front() != ';' && text.front() != '[' && text.find('=') == text.npos;
    return text.find(']') == std::string_view::npos;
}

// A name for the temporary file beside target that no file has yet. The
// address of a static differs between processes where the system places
// programs at random; the tick count and the counter cover the rest.
bool makeTempName(const std::string& target, std::string* out) {
    static unsigned counter = 0;
    static const char anchor = 0;
    for (int attempt = 0; attempt < 32; ++attempt) {
        unsigned mix = platTickCount() ^ (++counter * 0x9E3779B9u) ^
                       static_cast<unsigned>(reinterpret_cast<uintptr_t>(&anchor) >> 4);
        char suffix[16];
        snprintf(suffix, sizeof suffix, ".~%06x", mix & 0xFFFFFFu);
        *out = target + suffix;
        PlatFileFacts facts;
        if (!platFindFile(out->c_str(), &facts)) return true;
    }
    return false;
}

}  // namespace

int profileCompareNoCase(const char* a, const char* b) {
    return compareNoCase(a != nullptr ? a : "", b != nullptr ? b : "");
}

namespace {

// The whole file, up to one byte more than kProfileMaxBytes, so that a file
// that grows while it is read is still caught.
ProfileProblem readBounded(PlatFile* file, std::string* data) {
    if (platFileSize(file) > static_cast<int64_t>(kProfileMaxBytes))
        return ProfileProblem::TooLarge;
    char chunk[65536];
    size_t got = 0;
    while (data->size() <= kProfileMaxBytes) {
        if (!platFileRead(file, chunk, sizeof chunk, &got)) return ProfileProblem::Unreadable;
        if (got == 0) return ProfileProblem::None;
        data->append(chunk, got);
    }
    return ProfileProblem::TooLarge;
}

}  // namespace

bool ProfileFile::load(const char* path) {
    lines_.clear();
    newline_ = "\r\n";
    path_ = path != nullptr ? path : "";
    readable_ = false;
    problem_ = ProfileProblem::None;
    if (path_.empty()) return false;
    bool notRegular = false;
    PlatFile* file = platOpenRegularFile(path, &notRegular);
    if (file == nullptr) {
        PlatFileFacts facts;
        readable_ = !notRegular && !platFindFile(path, &facts);
        if (!readable_)
            problem_ = notRegular ? ProfileProblem::NotAFile : ProfileProblem::Unreadable;
        return readable_;
    }
    std::string data;
    problem_ = readBounded(file, &data);
    platFileClose(file);
    if (problem_ != ProfileProblem::None) return false;

    bool endSeen = false;
    size_t start = 0;
    while (start < data.size()) {
        size_t lf = data.find('\n', start);
        if (lf == std::string::npos) {
            lines_.push_back({data.substr(start), ""});
            break;
        }
        bool crlf = lf > start && data[lf - 1] == '\r';
        Line line{data.substr(start, lf - start - (crlf ? 1 : 0)), crlf ? "\r\n" : "\n"};
        if (!endSeen) newline_ = line.end;
        endSeen = true;
        lines_.push_back(std::move(line));
        start = lf + 1;
    }
    readable_ = true;
    return true;
}

int ProfileFile::findSection(const char* name) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        ParsedLine parsed = parseLine(lines_[i].text);
        if (parsed.kind == LineKind::Section && compareNoCase(parsed.name, name) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ProfileFile::findKey(int header, const char* key) const {
    for (size_t i = static_cast<size_t>(header) + 1; i < lines_.size(); ++i) {
        ParsedLine parsed = parseLine(lines_[i].text);
        if (parsed.kind == LineKind::Section) break;
        if (parsed.kind == LineKind::Key && compareNoCase(parsed.name, key) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool ProfileFile::get(const char* section, const char* key, std::string* value) const {
    if (section == nullptr || key == nullptr) return false;
    int header = findSection(section);
    if (header < 0) return false;
    int at = findKey(header, key);
    if (at < 0) return false;
    std::string_view text = parseLine(lines_[static_cast<size_t>(at)].text).value;
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
    }
    if (value != nullptr) value->assign(text);
    return true;
}

void ProfileFile::insertLine(size_t at, std::string text) {
    if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = newline_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                  Line{std::move(text), newline_});
}

bool ProfileFile::set(const char* section, const char* key, const char* value) {
    if (!validName(section, false) || !validName(key, true)) return false;
    // A line break in the value would start new lines, even new keys.
    std::string clean = value != nullptr ? value : "";
    for (char& c : clean) {
        if (c == '\r' || c == '\n') c = ' ';
    }

    int header = findSection(section);
    if (header < 0) {
        // Sections are set apart by a blank line, as people write them.
        if (!lines_.empty() && !trim(lines_.back().text).empty()) insertLine(lines_.size(), "");
        insertLine(lines_.size(), std::string("[") + section + "]");
        insertLine(lines_.size(), std::string(key) + "=" + clean);
        return true;
    }
    int at = findKey(header, key);
    if (at >= 0) {
        // The key keeps its spelling in the file; only the value changes.
        Line& line = lines_[static_cast<size_t>(at)];
        line.text = std::string(parseLine(line.text).name) + "=" + clean;
        return true;
    }
    // After the section's last key, so that blank lines and comments that
    // introduce the next section stay with it.
    size_t after = static_cast<size_t>(header);
    for (size_t i = after + 1; i < lines_.size(); ++i) {
        LineKind kind = parseLine(lines_[i].text).kind;
        if (kind == LineKind::Section) break;
        if (kind == LineKind::Key) after = i;
    }
    insertLine(after + 1, std::string(key) + "=" + clean);
    return true;
}

std::string ProfileFile::text() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += line.end;
    }
    return out;
}

bool ProfileFile::save() const {
    if (!readable_ || path_.empty()) return false;
    // A read-only file stays as it is, as with the system's own writer.
    PlatFileFacts facts;
    if (platFindFile(path_.c_str(), &facts) &&
        (facts.attributes & (kPlatAttrReadOnly | kPlatAttrDirectory)) != 0) {
        return false;
    }
    std::string temp;
    if (!makeTempName(path_, &temp)) return false;
    PlatFile* file = platFileOpen(temp.c_str(), PlatAccess::ReadWrite, PlatShare::Exclusive,
                                  PlatCreate::CreateAlways);
    if (file == nullptr) return false;
    std::string data = text();
    size_t done = 0;
    bool written = platFileWrite(file, data.data(), data.size(), &done) && done == data.size();
    platFileClose(file);
    if (written && platReplaceFile(temp.c_str(), path_.c_str())) return true;
    platFileDelete(temp.c_str());
    return false;
}

bool profileGetString(const char* path, const char* section, const char* key, std::string* value) {
    ProfileFile file;
    return file.load(path) && file.get(section, key, value);
}

bool profileWriteString(const char* path, const char* section, const char* key, const char* value) {
    ProfileFile file;
    return file.load(path) && file.set(section, key, value) && file.save();
}
