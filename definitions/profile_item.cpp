#include "definitions/profile_item.h"

#include "platform/platform.h"
#include "res/strings.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

int32_t ProfileInteger(const char* text) {
    const char* p = text;
    while (isSpace(*p)) ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    // Saturating as a 32-bit strtol does, so a file reads the same on the
    // builds where long has 64 bits.
    int64_t value = 0;
    for (; isDigit(*p); ++p) {
        value = value * 10 + (*p - '0');
        if (value > 2147483648LL) value = 2147483648LL;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(value);
}

float ProfileReal(const char* text) {
    // Only the plain decimal form is taken, so that C libraries that also
    // accept hexadecimal, "inf" or "nan" all read the same value.
    const char* p = text;
    while (isSpace(*p)) ++p;
    const char* start = p;
    if (*p == '-' || *p == '+') ++p;
    size_t digits = 0;
    for (; isDigit(*p); ++p) ++digits;
    if (*p == '.') {
        for (++p; isDigit(*p); ++p) ++digits;
    }
    if (digits == 0) return 0.0f;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '-' || *q == '+') ++q;
        if (isDigit(*q)) {
            for (p = q; isDigit(*p); ++p) {
            }
        }
    }
    std::string number(start, p);
    double value = strtod(number.c_str(), nullptr);
    if (!(std::fabs(value) <= FLT_MAX)) return 0.0f;
    return static_cast<float>(value);
}

size_t TextCutLength(const char* text, size_t length, size_t limit) {
    size_t i = 0;
    while (i < length) {
        size_t step =
            sjisIsLead(static_cast<unsigned char>(text[i])) && i + 1 < length ? 2 : 1;
        if (i + step > limit) break;
        i += step;
    }
    return i;
}

void CopyTextCut(char* dest, size_t destSize, const char* text, size_t length) {
    if (destSize == 0) return;
    memset(dest, 0, destSize);
    memcpy(dest, text, TextCutLength(text, length, destSize - 1));
}

const char* FindTextChar(const char* begin, const char* end, char c) {
    for (const char* p = begin; p < end; ++p) {
        if (*p == c) return p;
        if (sjisIsLead(static_cast<unsigned char>(*p)) && p + 1 < end) ++p;
    }
    return end;
}

bool BracketFields(const char* text, int fields, std::string* out) {
    const char* end = text + strlen(text);
    const char* p = text;
    for (int i = 0; i < fields; ++i) {
        const char* open = FindTextChar(p, end, '[');
        if (open == end) return false;
        const char* close = FindTextChar(open + 1, end, ']');
        if (close == end) return false;
        out[i].assign(open + 1, close);
        p = close + 1;
    }
    return true;
}

std::string BracketJoin(std::initializer_list<std::string_view> fields) {
    std::string out;
    for (std::string_view field : fields) {
        out += '[';
        out += field;
        out += ']';
    }
    return out;
}

void DecodeProfileValue(const std::string& value, ProfileEncoding encoding, void* dest, int count) {
    if (count < 1) count = 1;
    if (encoding == ProfileEncoding::Text) {
        CopyTextCut(static_cast<char*>(dest), static_cast<size_t>(count), value.data(),
                    value.size());
        return;
    }
    const char* p = value.c_str();
    for (int i = 0; i < count; ++i) {
        if (encoding == ProfileEncoding::Integers) {
            static_cast<int32_t*>(dest)[i] = ProfileInteger(p);
        } else {
            static_cast<float*>(dest)[i] = ProfileReal(p);
        }
        const char* comma = strchr(p, ',');
        if (comma == nullptr) break;
        p = comma + 1;
    }
}

std::string EncodeProfileValue(ProfileEncoding encoding, const void* source, int count) {
    if (count < 1) count = 1;
    if (encoding == ProfileEncoding::Text) {
        const char* text = static_cast<const char*>(source);
        std::string quoted(1, '"');
        quoted.append(text, strnlen(text, static_cast<size_t>(count)));
        return quoted += '"';
    }
    std::string out;
    char number[64];
    for (int i = 0; i < count; ++i) {
        if (i > 0) out += ',';
        if (encoding == ProfileEncoding::Integers) {
            snprintf(number, sizeof number, "%d",
                     static_cast<int>(static_cast<const int32_t*>(source)[i]));
        } else {
            // Non-finite values would be spelled differently by each C
            // library and read back as something else; they are stored as 0.
            float value = static_cast<const float*>(source)[i];
            snprintf(number, sizeof number, "%f",
                     std::isfinite(value) ? static_cast<double>(value) : 0.0);
        }
        out += number;
    }
    return out;
}

bool LoadProfileFile(ProfileFile* file, const char* path, int* messageId) {
    const bool loaded = file->load(path);
    if (messageId != nullptr) {
        switch (file->problem()) {
            case ProfileProblem::None: *messageId = 0; break;
            case ProfileProblem::Unreadable: *messageId = IDS_READ_FAILED; break;
            case ProfileProblem::NotAFile: *messageId = IDS_NOT_REGULAR_FILE; break;
            case ProfileProblem::TooLarge: *messageId = IDS_FILE_TOO_LARGE; break;
        }
    }
    return loaded;
}

int ReadProfileItem(const ProfileFile& file, const char* section, const char* key,
                    ProfileEncoding encoding, void* dest, int count) {
    std::string value;
    if (dest == nullptr || !file.get(section, key, &value) || value.empty()) return 0;
    DecodeProfileValue(value, encoding, dest, count);
    return 1;
}

int WriteProfileItem(ProfileFile& file, const char* section, const char* key,
                     ProfileEncoding encoding, const void* source, int count) {
    if (source == nullptr) return 0;
    return file.set(section, key, EncodeProfileValue(encoding, source, count).c_str()) ? 1 : 0;
}

int ReadProfileItem(const char* path, const char* section, const char* key,
                    ProfileEncoding encoding, void* dest, int count) {
    ProfileFile file;
    file.load(path);
    return ReadProfileItem(file, section, key, encoding, dest, count);
}

int WriteProfileItem(const char* path, const char* section, const char* key,
                     ProfileEncoding encoding, const void* source, int count) {
    ProfileFile file;
    if (!file.load(path) || !WriteProfileItem(file, section, key, encoding, source, count))
        return 0;
    return file.save() ? 1 : 0;
}

size_t FolderLength(const char* path) {
    // On Windows the second byte of a double-byte character can be a
    // backslash; only a real separator ends the folder.
    size_t length = strlen(path), folder = 0;
    const char* end = path + length;
    for (const char* p = path; p < end; ++p) {
        if (*p == platPathSeparator() || *p == '/') folder = static_cast<size_t>(p - path) + 1;
        if (sjisIsLead(static_cast<unsigned char>(*p)) && p + 1 < end) ++p;
    }
    return folder;
}

std::string ResolveDefinitionPath(const char* path) {
    if (path == nullptr) return std::string();
    if (*path == '\0' || platIsAbsolutePath(path)) return path;
    char exe[kPlatPathMax];
    if (!platExecutablePath(exe, sizeof exe)) return path;
    return std::string(exe, FolderLength(exe)) + path;
}
