// Conversion between CP932 byte strings and UTF-16 at the Win32 boundary.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

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
inline bool tlvNarrowCopy(const wchar_t* text, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return false;
    int n = WideCharToMultiByte(kCodePage932, 0, text, -1, out,
                                static_cast<int>(outSize), nullptr, nullptr);
    if (n <= 0) {
        out[0] = '\0';
        return false;
    }
    return true;
}

// CP932 text as UTF-16; empty for a null or empty text.
inline std::wstring tlvWiden(const char* text) {
    if (text == nullptr || text[0] == '\0') return {};
    int n = MultiByteToWideChar(kCodePage932, 0, text, -1, nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(kCodePage932, 0, text, -1, out.data(), n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

// UTF-16 text as CP932; empty for a null or empty text.
inline std::string tlvNarrow(const wchar_t* text) {
    if (text == nullptr || text[0] == L'\0') return {};
    int n = WideCharToMultiByte(kCodePage932, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(kCodePage932, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}
