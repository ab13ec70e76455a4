// Shift-JIS (CP932) text helpers: a lead byte and the byte after it form one
// character, and that second byte may look like "\" or a letter, so texts
// are walked character by character, never searched byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>

inline bool sjisIsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Bytes of the character at p: 2 for a lead byte with a second byte, else 1.
inline size_t sjisCharLength(const char* p) {
    return sjisIsLead(static_cast<unsigned char>(p[0])) && p[1] != '\0' ? 2 : 1;
}

// The longest prefix of text (of length bytes) that fits in limit bytes
// without splitting a character.
inline size_t sjisFit(const char* text, size_t length, size_t limit) {
    size_t i = 0;
    while (i < length) {
        size_t step = sjisIsLead(static_cast<unsigned char>(text[i])) && i + 1 < length ? 2 : 1;
        if (i + step > limit) break;
        i += step;
    }
    return i < length ? i : length;
}

// The last path separator ("\" or "/") of a NUL-terminated path, or null.
inline const char* sjisLastSeparator(const char* path) {
    const char* last = nullptr;
    for (const char* p = path; *p != '\0'; p += sjisCharLength(p)) {
        if (*p == '\\' || *p == '/') last = p;
    }
    return last;
}

// The file name with extension of a path.
inline const char* sjisFileName(const char* path) {
    const char* sep = sjisLastSeparator(path);
    return sep != nullptr ? sep + 1 : path;
}
