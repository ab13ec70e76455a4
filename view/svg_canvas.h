// A canvas that collects SVG path data instead of pixels: one path per pen,
// so that a picture of a million records stays a file a browser opens.
#pragma once

#include "view/canvas.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int kSvgPenCount = 10;

class SvgCanvas : public Canvas {
public:
    // colors: the 16 view colours (0x00BBGGRR), for the filled dots.
    explicit SvgCanvas(const uint32_t* colors) : colors_(colors) {}
    void selectPen(int pen) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void beginPath() override;
    void strokePath() override {}
    void abandonPath() override;
    void fillEllipse(int left, int top, int right, int bottom, int brush) override;
    void text(int x, int y, const char* text, uint32_t color) override;
    // A picture has no trace, so no tool image to erase: nothing changes.
    void setXor(bool) override {}

    // The "d" attribute of pen's path: an absolute move where a line does
    // not continue the pen's last one, then relative lines. Empty when the
    // pen drew nothing.
    const std::string& pathData(int pen) const { return data_[pen]; }
    // Texts and dots as SVG elements, in the order drawn.
    const std::string& elements() const { return elements_; }

private:
    // The lines written lately, by pen and end points in either order: a
    // large program goes over the same pixels again and again, and a line
    // drawn twice in one colour shows nothing new. One line per slot, the
    // newest: a table small enough to stay in the processor's cache, which
    // forgets some lines (written again then) rather than wait for memory.
    class SeenLines {
    public:
        // True when key is there; else it takes its slot.
        bool insert(uint64_t key);

    private:
        static constexpr int kSlotBits = 14;
        static constexpr size_t kSlots = size_t{1} << kSlotBits;
        std::vector<uint64_t> slots_;  // 0: free
    };

    bool seenBefore(int x0, int y0, int x1, int y1);

    struct PenState {
        int x = -1, y = -1;  // where the pen's path data ends
        bool started = false;
    };
    std::string data_[kSvgPenCount];
    PenState at_[kSvgPenCount];
    std::string elements_;
    const uint32_t* colors_;
    int pen_ = -1, x_ = 0, y_ = 0;
    // Where the path that beginPath opened started, for abandonPath.
    size_t pathMark_ = 0;
    PenState pathState_;
    SeenLines seen_;
};

// The colour 0x00BBGGRR as "#RRGGBB".
std::string svgColor(uint32_t color);
// text with the five XML special characters written as references, control
// characters left out and bytes above 127 as "?".
std::string svgEscape(const char* text);
