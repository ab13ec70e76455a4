#include "app/win32/status_bar.h"

#include "platform/win32/wide.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct PartLook {
    int chars;  // width in average character widths; 0 takes the rest
    COLORREF color;
    bool border;
    UINT align;
};

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr PartLook kParts[kStatusParts] = {
    {0, RGB(0, 0, 0), false, DT_LEFT},    // the block just run
    {8, kBlue, true, DT_RIGHT},           // X
    {8, kBlue, true, DT_RIGHT},           // Y
    {8, kBlue, true, DT_RIGHT},           // Z
    {1, RGB(0, 0, 0), false, DT_CENTER},  // a gap
    {7, RGB(0, 0, 0), true, DT_CENTER},   // machining time
    {5, RGB(0, 0, 0), true, DT_RIGHT},    // cutting length
};

// One bar per process: the one main window's.
char gTexts[kStatusParts][kStatusPartTextSize];
char gMessage[kStatusPartTextSize];

HWND statusBar(HWND frame) {
    return frame != nullptr ? GetDlgItem(frame, IDC_STATUSBAR) : nullptr;
}

// Owner-drawn: the bar keeps only the part number, the text lives here.
void setOwnerDrawn(HWND bar, int part) {
    const WPARAM type = SBT_OWNERDRAW | (kParts[part].border ? 0 : SBT_NOBORDERS);
    SendMessageW(bar, SB_SETTEXTW, static_cast<WPARAM>(part) | type, static_cast<LPARAM>(part));
}

void showMessage(HWND bar, const char* text) {
    SendMessageW(bar, SB_SIMPLE, TRUE, 0);
    SendMessageW(bar, SB_SETTEXTW, SB_SIMPLEID | SBT_NOBORDERS,
                 reinterpret_cast<LPARAM>(tlvWiden(text).c_str()));
}

int storePart(HWND bar, int part, const char* text) {
    char cut[kStatusPartTextSize];
    snprintf(cut, sizeof cut, "%s", text);
    if (strcmp(cut, gTexts[part]) == 0) return 1;
    memcpy(gTexts[part], cut, sizeof cut);
    if (bar == nullptr) return 1;
    setOwnerDrawn(bar, part);
    UpdateWindow(bar);
    return 2;
}

}  // namespace

HWND CreateStatusBar(HWND frame, bool shown) {
    memset(gTexts, 0, sizeof gTexts);
    gMessage[0] = '\0';
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(frame, GWLP_HINSTANCE));
    HWND bar =
        CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | SBARS_SIZEGRIP | CCS_NODIVIDER, 0, 0,
                        0, 0, frame, reinterpret_cast<HMENU>(IDC_STATUSBAR), instance, nullptr);
    if (bar != nullptr) ShowWindow(bar, shown ? SW_SHOW : SW_HIDE);
    return bar;
}

int SetStatusText(HWND frame, int part, const char* format, ...) {
    if (part < -2 || part >= kStatusParts) return 0;
    char text[1024] = {};
    if (format != nullptr) {
        va_list args;
        va_start(args, format);
        vsnprintf(text, sizeof text, format, args);
        va_end(args);
    }
    HWND bar = statusBar(frame);
    if (part == -2) {
        if (bar != nullptr) SendMessageW(bar, SB_SIMPLE, FALSE, 0);
        return 1;
    }
    if (part == -1) {
        snprintf(gMessage, sizeof gMessage, "%s", text);
        if (bar != nullptr) showMessage(bar, text);
        return 1;
    }
    return storePart(bar, part, text);
}

void ClearStatusParts(HWND frame) {
    for (int part : {0, 1, 2, 3, 5, 6}) SetStatusText(frame, part, nullptr);
}

const char* StatusPartText(int part) {
    if (part == -1) return gMessage;
    return part >= 0 && part < kStatusParts ? gTexts[part] : "";
}

void LayoutStatusBar(HWND frame) {
    HWND bar = statusBar(frame);
    if (bar == nullptr || !IsWindowVisible(bar)) return;
    HDC dc = GetDC(frame);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    ReleaseDC(frame, dc);
    RECT client;
    GetClientRect(frame, &client);
    const int available = client.right - (IsZoomed(frame) ? 0 : 16);
    int others = 0;
    for (const PartLook& look : kParts) others += look.chars * metrics.tmAveCharWidth;
    int edges[kStatusParts];
    int right = available - others > 0 ? available - others : 0;
    for (int part = 0; part < kStatusParts; ++part) {
        if (part > 0) right += kParts[part].chars * metrics.tmAveCharWidth;
        edges[part] = right;
    }
    SendMessageW(bar, SB_SETPARTS, kStatusParts, reinterpret_cast<LPARAM>(edges));
    for (int part = 0; part < kStatusParts; ++part) setOwnerDrawn(bar, part);
    RECT bounds;
    GetWindowRect(bar, &bounds);
    SetWindowPos(bar, nullptr, 0, 0, client.right, bounds.bottom - bounds.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    InvalidateRect(bar, nullptr, TRUE);
}

bool DrawStatusPart(const DRAWITEMSTRUCT* item) {
    if (item == nullptr || item->CtlID != IDC_STATUSBAR) return false;
    const int part = static_cast<int>(item->itemData);
    if (part < 0 || part >= kStatusParts) return false;
    RECT r = item->rcItem;
    const int oldMode = SetBkMode(item->hDC, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(item->hDC, kParts[part].color);
    const std::wstring text = tlvWiden(gTexts[part]);
    DrawTextW(item->hDC, text.c_str(), static_cast<int>(text.size()), &r,
              kParts[part].align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(item->hDC, oldColor);
    SetBkMode(item->hDC, oldMode);
    return true;
}
