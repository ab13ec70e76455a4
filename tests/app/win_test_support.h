// Helpers of the Windows GUI tests: paths of the source tree as Wine sees
// them, files, and running the queued window messages.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

// A Linux path as Wine's drive Z: sees it.
inline std::string winPath(const std::string& unixPath) {
    std::string out = "Z:" + unixPath;
    for (char& c : out) {
        if (c == '/') c = '\\';
    }
    return out;
}

// The source tree, from TLV_SOURCE_DIR that ctest sets.
inline std::string sourceDir() {
    const char* dir = getenv("TLV_SOURCE_DIR");
    return dir != nullptr ? winPath(dir) : std::string("..\\..\\..");
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Handles every queued message; a quit message is left for nobody, since
// the tests run their windows without a message loop.
inline void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
