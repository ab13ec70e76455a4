// The GDI canvas against GDI itself: the tool dot's XOR, strokes batched
// into polylines or set into the picture by the canvas, and the bevel frame.
// What is drawn where is checked natively on the recording canvas.
#include "view/win32/gdi_canvas.h"

#include "tests/motion_records.h"
#include "tests/view/recording_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

namespace {

constexpr uint32_t kColors[16] = {0xA0A0A0, 0xFFFF00, 0x00FFFF, 0x0000FF, 0x000000, 0x0000FF,
                                  0x00FF00, 0xFF0000, 0x808000, 0x00FFFF};
constexpr int kWidths[16] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

// A 200 x 200 memory picture, black, with the view pens.
class Gdi : public ::testing::Test {
protected:
    void SetUp() override {
        BITMAPINFO bi = {};
        bi.bmiHeader = {sizeof bi.bmiHeader, 200, -200, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        ASSERT_NE(bitmap, nullptr);
        old = SelectObject(dc, bitmap);
        BuildPens(&pens, kPensColour, kColors, kWidths);
    }
    void TearDown() override {
        BuildPens(&pens, -1, kColors, kWidths);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // The pixel as COLORREF (0x00BBGGRR).
    uint32_t pixel(int x, int y) {
        GdiFlush();
        uint32_t bgra = bits[y * 200 + x];
        return ((bgra & 0xFF) << 16) | (bgra & 0xFF00) | ((bgra >> 16) & 0xFF);
    }
    int lit() {
        GdiFlush();
        int n = 0;
        for (int i = 0; i < 200 * 200; ++i) n += (bits[i] & 0xFFFFFF) != 0;
        return n;
    }
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    ViewPens pens = {};
};

TEST_F(Gdi, ToolDotIsErasedByDrawingItTwice) {
    GdiCanvas canvas(dc, &pens);
    TestPane pane(&canvas, kViewXY, {0, 0, 200, 200});
    const float at[3] = {10, 10, 0};
    DrawToolImage(pane.target, nullptr, at);
    EXPECT_EQ(pixel(110, 90), 0x00FFFFu);  // model (10, 10): 10 right of and above the centre
    EXPECT_GT(lit(), 40);
    DrawToolImage(pane.target, nullptr, at);
    EXPECT_EQ(lit(), 0);
}

// One MoveToEx/LineTo pair per line, as the batching canvas must look.
class PlainCanvas : public RecordingCanvas {
public:
    PlainCanvas(HDC dc, const ViewPens* pens) : dc_(dc), pens_(pens) {}
    void selectPen(int pen) override { SelectObject(dc_, pens_->pens[pen]); }
    void moveTo(int x, int y) override { MoveToEx(dc_, x, y, nullptr); }
    void lineTo(int x, int y) override { LineTo(dc_, x, y); }

private:
    HDC dc_;
    const ViewPens* pens_;
};

TEST_F(Gdi, BatchedStrokesGiveThePixelsOfSingleLines) {
    // A random walk of short moves, many within one pixel, with rapid
    // (dotted), cutting and Z pens and some arcs; thin pens (whose lines the
    // canvas sets into the picture itself) and thick ones.
    std::vector<MotionRecord> records;
    uint32_t seed = 12345;
    auto next = [&seed](int range) { return static_cast<int>((seed = seed * 1103515245u + 12345u) >> 16) % range; };
    float at[3] = {0, 0, 0};
    for (int i = 0; i < 400; ++i) {
        const int what = next(20);
        const float x = at[0], y = at[1], z = at[2];
        if (what == 0) {
            const float sweep = static_cast<float>(90 + next(270));
            records.push_back(arcRecord(3, kModePlaneXY, {x, y, z}, 10, {x + 10, y, z},
                                        {x + 10, y, z}, 0, sweep));
            continue;
        }
        at[0] = std::clamp(x + static_cast<float>(next(9) - 4) * 0.6f, -90.0f, 90.0f);
        at[1] = std::clamp(y + static_cast<float>(next(9) - 4) * 0.6f, -90.0f, 90.0f);
        if (what == 3) at[2] += 1;
        records.push_back(lineRecord(what < 3 ? 0 : 1, kModePlaneXY,
                                     kAxisX | kAxisY | (what == 3 ? kAxisZ : 0), {x, y, z},
                                     {at[0], at[1], at[2]}));
    }
    // Lines that leave the picture, one of them far (GDI clips those).
    const float ends[][4] = {{-150, -30, 140, 60}, {-40, 120, 30, -130}, {-5000, 10, 5000, -20}, {7, 7, 7, 7}};
    for (const auto& e : ends)
        records.push_back(lineRecord(1, 0, kAxisX | kAxisY, {e[0], e[1], 0}, {e[2], e[3], 0}));
    for (int width : {1, 3}) {
        int widths[16];
        std::fill(widths, widths + 16, width);
        BuildPens(&pens, kPensColour, kColors, widths);
        std::vector<uint32_t> pictures[2];
        for (int batched : {0, 1}) {
            PatBlt(dc, 0, 0, 200, 200, BLACKNESS);
            PlainCanvas plain(dc, &pens);
            GdiCanvas gdi(dc, &pens);
            TestPane pane(batched ? static_cast<Canvas*>(&gdi) : &plain, kViewXY, {0, 0, 200, 200});
            for (const MotionRecord& r : records) DrawMotion(pane.target, r, nullptr);
            gdi.flush();
            GdiFlush();
            pictures[batched].assign(bits, bits + 200 * 200);
        }
        EXPECT_GT(lit(), 1000);
        EXPECT_TRUE(pictures[0] == pictures[1]) << "pen width " << width;
    }
}

TEST_F(Gdi, BevelFrameFillsItsBandAndShrinksTheRectangle) {
    HBRUSH brush = CreateSolidBrush(0x3366CC);
    RECT r = {10, 20, 110, 90};
    DrawBevelFrame(dc, &r, 4, 3, brush);
    DeleteObject(brush);
    // One edge pixel outside and inside the band on each side.
    EXPECT_EQ(std::tie(r.left, r.top, r.right, r.bottom),
              std::make_tuple(10 + 1 + 4 + 1, 20 + 1 + 3 + 1, 110 - 1 - 4 - 1, 90 - 1 - 3 - 1));
    const struct {
        int x, y;
        uint32_t colour;
    } spots[] = {
        {12, 50, 0x3366CC}, {105, 50, 0x3366CC}, {60, 22, 0x3366CC}, {60, 87, 0x3366CC},
        {60, 50, 0x000000},  // the inside is left alone
        {5, 50, 0x000000},   // and so is the outside
    };
    for (const auto& s : spots) EXPECT_EQ(pixel(s.x, s.y), s.colour) << s.x << "," << s.y;
}

}  // namespace
