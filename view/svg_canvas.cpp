#include "view/svg_canvas.h"

#include <charconv>
#include <cstdio>

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

void SvgCanvas::moveTo(int x, int y) {
    x_ = x;
    y_ = y;
}

void SvgCanvas::lineTo(int x, int y) {
    if (pen_ < 0) return;
    PenState& at = at_[pen_];
    std::string& d = data_[pen_];
    // A line of no length draws no pixel on the screen either; at a fine
    // scale most records of a large program end up like that.
    if (x != x_ || y != y_) {
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
