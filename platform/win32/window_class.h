// The program's window classes: one description, one registration.
#pragma once

#include <windows.h>

// A class with an arrow cursor and a stock background brush.
inline WNDCLASSEXW tlvWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, UINT style,
                                  int stockBrush) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(stockBrush));
    wc.lpszClassName = name;
    return wc;
}

// Registers the class; a class registered before counts as done.
inline bool tlvRegisterClass(const WNDCLASSEXW& wc) {
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
