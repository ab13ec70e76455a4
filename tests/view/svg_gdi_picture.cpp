// Writes one drawing as the SVG picture and as the same layout painted
// through the screen's GDI canvas, for svg_gdi_compare.sh. Not a test by
// itself. Usage: svg_gdi_picture DIR  (writes picture.svg, gdi.rgb, panes.txt)
#include "view/path_render.h"
#include "view/svg_picture.h"
#include "view/win32/gdi_canvas.h"

#include <cmath>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kColors[16] = {0xA0A0A0, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0x000000, 0x0000FF,
                                  0x00FF00, 0xFF0000, 0x808000, 0x00FFFF, 0xFFFFFF, 0xFFFFFF};

// Lines in all three axes and full circles in two planes, so that every
// pane draws straight and curved strokes of several pens.
void addRecords(PathRecordStore* paths) {
    for (int i = 0; i < 60; ++i) {
        MotionRecord r = {};
        r.kind = kMotionLine;
        r.gCode = i % 4 == 0 ? 0 : 1;
        r.line.axisMask = kAxisX | kAxisY | kAxisZ;
        const float a = static_cast<float>(i) * 0.21f;
        const float from[3] = {40 * std::cos(a), 30 * std::sin(a), static_cast<float>(i % 9) - 8};
        const float to[3] = {35 * std::cos(a + 0.5f), 25 * std::sin(a + 0.3f), static_cast<float>(i % 5) - 8};
        ncStorePoint(r.line.start, from);
        ncStorePoint(r.line.end, to);
        pathStoreAppend(paths, &r);
    }
    for (uint8_t plane : {kModePlaneXY, kModePlaneZX}) {
        MotionRecord r = {};
        r.kind = kMotionArc;
        r.gCode = 3;
        r.modeFlags = plane;
        r.arc.radius = 15;
        r.arc.start[0] = r.arc.end[0] = 15;
        r.arc.angleTo = 360;
        pathStoreAppend(paths, &r);
    }
    pathStoreMap(paths);
}

PictureSettings pictureSettings() {
    PictureSettings s = {};
    s.width = kPictureDefaultWidth;
    s.height = kPictureDefaultHeight;
    s.singleSlot = -1;
    const int kinds[2][kPaneCount] = {{2, 3, 0, 1}, {2, 1, 0, 3}};
    memcpy(s.matrix, kinds, sizeof kinds);
    for (int k = 0; k < kPaneCount; ++k) ViewDefaultAngles(k, s.rotate[k]);
    s.displayMask = kDefaultDisplayMask;
    for (int i = 0; i < 16; ++i) {
        s.colorMap[i] = kColors[i];
        s.widthMap[i] = 1;
    }
    return s;
}

// The panes painted as the screen paints them, into one top-down RGB picture.
std::vector<uint8_t> gdiPicture(const Drawing& drawing, const PictureSettings& s, std::string* rects) {
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof bi.bmiHeader, s.width, -s.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = CreateCompatibleDC(nullptr);
    uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    ViewPens pens = {};
    BuildPens(&pens, kPensColour, s.colorMap, s.widthMap);
    PicturePane panes[kPaneCount];
    const int count = PictureLayout(s, drawing.range, panes);
    for (int i = 0; i < count; ++i) {
        const ViewRect& r = panes[i].rect;
        *rects += std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
                  std::to_string(r.bottom) + "\n";
        SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        SetViewportOrgEx(dc, r.left, r.top, nullptr);
        const RECT fill = {0, 0, r.right - r.left, r.bottom - r.top};
        HBRUSH background = CreateSolidBrush(s.colorMap[4]);
        FillRect(dc, &fill, background);
        DeleteObject(background);
        {
            GdiCanvas canvas(dc, &pens);
            PaintPicturePane(&canvas, panes[i], s, drawing);
        }
        RestoreDC(dc, -1);
    }
    GdiFlush();
    std::vector<uint8_t> rgb;
    for (int p = 0; p < s.width * s.height; ++p) {
        rgb.push_back(static_cast<uint8_t>(bits[p] >> 16));
        rgb.push_back(static_cast<uint8_t>(bits[p] >> 8));
        rgb.push_back(static_cast<uint8_t>(bits[p]));
    }
    BuildPens(&pens, -1, s.colorMap, s.widthMap);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return rgb;
}

bool writeFile(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary);
    return static_cast<bool>(
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    Drawing drawing = {};
    drawing.paths = pathStoreCreate();
    addRecords(drawing.paths);
    drawing.loaded = true;
    drawing.range = {{-40, -30, -8}, {40, 30, 8}};
    const PictureSettings settings = pictureSettings();
    auto sink = std::make_unique<TextSink>();
    const std::string svg = dir + "\\picture.svg";
    const bool svgWritten = sinkOpen(sink.get(), svg.c_str()) &&
                            WriteSvgPicture(sink.get(), drawing, settings) == 0 && sinkClose(sink.get());
    std::string rects;
    const std::vector<uint8_t> rgb = gdiPicture(drawing, settings, &rects);
    pathStoreDestroy(drawing.paths);
    if (!svgWritten || !writeFile(dir + "\\gdi.rgb", rgb.data(), rgb.size()) ||
        !writeFile(dir + "\\panes.txt", rects.data(), rects.size())) {
        fprintf(stderr, "%s: cannot write the pictures\n", argv[0]);
        return 1;
    }
    return 0;
}
