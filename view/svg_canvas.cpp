#include "view/svg_canvas.h"

#include <charconv>
#include <cstdio>
#include <utility>

namespace {

void appendInt(std::string* out, int value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out->append(digits, result.ptr);
}

// A relative step needs a separator only before a value without a sign.
void appendStep(std::string* out, char command, int dx, int dy) {
    out->push_back(command);
    appendInt(out, dx);
    if (dy >= 0) out->push_back(' ');
    appendInt(out, dy);
}

}  // namespace

std::string svgColor(uint32_t color) {
    char text[8];
    snprintf(text, sizeof text, "#%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF,
             (color >> 16) & 0xFF);
    return text;
}

std::string svgEscape(const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        switch (*p) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default:
                // Control characters are not allowed in XML 1.0 at all. The
                // texts drawn are the panes' titles and axis letters, all
                // ASCII; any other byte becomes "?" so that the document
                // stays UTF-8 whatever a text holds.
                const auto c = static_cast<unsigned char>(*p);
                if (c >= 0x20) out.push_back(c < 0x80 ? *p : '?');
        }
    }
    return out;
}

void SvgCanvas::selectPen(int pen) {
    pen_ = pen >= 0 && pen < kSvgPenCount ? pen : -1;
}

bool SvgCanvas::SeenLines::insert(uint64_t key) {
    if (slots_.empty()) slots_.assign(kSlots, 0);
    // Fibonacci hashing: the product's top bits mix every bit of the key.
    uint64_t& slot = slots_[(key * 0x9E3779B97F4A7C15ull) >> (64 - kSlotBits)];
    if (slot == key) return true;
    slot = key;
    return false;
}

bool SvgCanvas::seenBefore(int x0, int y0, int x1, int y1) {
    // Points lie within the pane, which is at most 16384 pixels a side;
    // anything else is written without asking.
    for (int v : {x0, y0, x1, y1}) {
        if (v < 0 || v > 32767) return false;
    }
    if (x1 < x0 || (x1 == x0 && y1 < y0)) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const uint64_t key = static_cast<uint64_t>(pen_ + 1) << 60 | static_cast<uint64_t>(x0) << 45 |
                         static_cast<uint64_t>(y0) << 30 | static_cast<uint64_t>(x1) << 15 |
                         static_cast<uint64_t>(y1);
    return seen_.insert(key);
}

void SvgCanvas::moveTo(int x, int y) {
    x_ = x;
    y_ = y;
}

void SvgCanvas::lineTo(int x, int y) {
    if (pen_ < 0) return;
    PenState& at = at_[pen_];
    std::string& d = data_[pen_];
    // A line of no length draws no pixel on the screen either, and one
    // already written adds none; at a fine scale most records of a large
    // program are one or the other.
    if ((x != x_ || y != y_) && !seenBefore(x_, y_, x, y)) {
        if (!at.started) {
            d.push_back('M');
            appendInt(&d, x_);
            d.push_back(' ');
            appendInt(&d, y_);
            at.started = true;
        } else if (at.x != x_ || at.y != y_) {
            appendStep(&d, 'm', x_ - at.x, y_ - at.y);
        }
        appendStep(&d, 'l', x - x_, y - y_);
        at.x = x;
        at.y = y;
    }
    x_ = x;
    y_ = y;
}

void SvgCanvas::beginPath() {
    if (pen_ < 0) return;
    pathMark_ = data_[pen_].size();
    pathState_ = at_[pen_];
}

void SvgCanvas::abandonPath() {
    if (pen_ < 0) return;
    data_[pen_].resize(pathMark_);
    at_[pen_] = pathState_;
}

void SvgCanvas::fillEllipse(int left, int top, int right, int bottom, int brush) {
    if (brush < 0 || brush >= kSvgPenCount) return;
    char text[160];
    snprintf(text, sizeof text, "<ellipse fill=\"%s\" cx=\"%g\" cy=\"%g\" rx=\"%g\" ry=\"%g\"/>\n",
             svgColor(colors_[brush]).c_str(), (left + right) / 2.0, (top + bottom) / 2.0,
             (right - left) / 2.0, (bottom - top) / 2.0);
    elements_ += text;
}

void SvgCanvas::text(int x, int y, const char* text, uint32_t color) {
    // The screen places a text by its top left corner, SVG by its baseline:
    // the baseline lies one ascent (about 10 of the 12 pixels) lower.
    char head[128];
    snprintf(head, sizeof head, "<text x=\"%d\" y=\"%d\" fill=\"%s\">", x, y + 10,
             svgColor(color).c_str());
    elements_ += head;
    elements_ += svgEscape(text);
    elements_ += "</text>\n";
}
