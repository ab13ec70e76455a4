#include "app/external_args.h"

#include <cstring>

namespace {

// The file as it goes in place of a marker: a marker the user already put
// in quotes keeps the name bare, so it is never quoted twice.
std::string fileFor(const char* pattern, const char* marker, const std::string& file) {
    const bool quoted = marker > pattern && marker[-1] == '"';
    return quoted ? file : QuotedFileArgument(file);
}

// Position of the first "%" followed by one of the letters, or null.
const char* findMarker(const char* text, const char* letters) {
    for (const char* p = strchr(text, '%'); p != nullptr; p = strchr(p + 1, '%')) {
        if (p[1] != '\0' && strchr(letters, p[1]) != nullptr) return p;
    }
    return nullptr;
}

}  // namespace

std::string QuotedFileArgument(const std::string& file) {
    if (file.find(' ') == std::string::npos) return file;
    return "\"" + file + "\"";
}

std::string ExpandArgumentPattern(const char* pattern, const std::string& file, int line) {
    const char* p = pattern != nullptr ? pattern : "";
    const char* fileAt = strstr(p, "%1");
    if (fileAt == nullptr) return QuotedFileArgument(file);
    const char* lineAt = strstr(p, "%2");
    std::string out;
    for (const char* c = p; *c != '\0';) {
        if (c == fileAt) {
            out += fileFor(p, c, file);
            c += 2;
        } else if (c == lineAt) {
            out += std::to_string(line);
            c += 2;
        } else {
            out += *c++;
        }
    }
    return out;
}

std::string ExpandTextCommand(const char* command, const std::string& file) {
    const char* c = command != nullptr ? command : "";
    const char* marker = findMarker(c, "1Ll");
    if (marker == nullptr) return std::string(c) + " " + QuotedFileArgument(file);
    return std::string(c, marker) + fileFor(c, marker, file) + (marker + 2);
}
