// Conversion between CP932 byte strings and UTF-16 at the Win32 boundary.
#pragma once

#include <windows.h>

#include <cstddef>

constexpr UINT kCodePage932 = 932;

// A CP932 path converted to UTF-16; assign fails on null or too long text.
struct WidePath {
    wchar_t text[MAX_PATH + 1];
    bool assign(const char* path) {
        if (path == nullptr) return false;
        int n = MultiByteToWideChar(kCodePage932, 0, path, -1, text,
                                    MAX_PATH + 1);
        return n > 0;
    }
};

// Converts UTF-16 text to CP932 into out; fails when it does not fit.
inline bool narrowCopy(const wchar_t* text, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return false;
    int n = WideCharToMultiByte(kCodePage932, 0, text, -1, out,
                                static_cast<int>(outSize), nullptr, nullptr);
    if (n <= 0) {
        out[0] = '\0';
        return false;
    }
    return true;
}
