#include "view/svg_picture.h"

#include "tests/motion_records.h"
#include "tests/view/recording_canvas.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

namespace {

using Segment = std::array<int, 4>;
// The lines of each pen, either end first: the picture writes a line that
// its pen already drew once.
using PenSegments = std::map<int, std::set<Segment>>;

void add(PenSegments* out, int pen, Segment s) {
    if (std::make_pair(s[2], s[3]) < std::make_pair(s[0], s[1])) s = {s[2], s[3], s[0], s[1]};
    (*out)[pen].insert(s);
}

// Lines and a full circle in the three planes' reach, so that every pane
// draws something of its own.
struct DemoDrawing {
    DemoDrawing() {
        drawing.paths = pathStoreCreate();
        for (int i = 0; i < 40; ++i) {
            const MotionRecord r = lineRecord(i % 3 == 0 ? 0 : 1, 0, kAxisX | kAxisY | kAxisZ,
                                              {float(i), float(i % 7), float(-i % 5)},
                                              {float(i + 3), float(i % 11), float(i % 4)});
            pathStoreAppend(drawing.paths, &r);
        }
        pathStoreMap(drawing.paths);
        drawing.loaded = true;
        drawing.range = {{0, 0, -5}, {45, 12, 5}};
        settings.width = 900;
        settings.height = 600;
        settings.singleSlot = -1;
        const int kinds[2][4] = {{2, 3, 0, 1}, {2, 1, 0, 3}};
        memcpy(settings.matrix, kinds, sizeof kinds);
        for (int k = 0; k < 4; ++k) ViewDefaultAngles(k, settings.rotate[k]);
        settings.displayMask = kDefaultDisplayMask;
        for (int i = 0; i < 16; ++i) {
            settings.colorMap[i] = 0x010203u * static_cast<uint32_t>(i);
            settings.widthMap[i] = 1 + i % 2;
        }
    }
    ~DemoDrawing() { pathStoreDestroy(drawing.paths); }
    Drawing drawing = {};
    PictureSettings settings = {};
};

// The segments of every pen path of one pane's SVG text, made absolute.
PenSegments parsePane(const std::string& pane) {
    PenSegments out;
    for (size_t at = 0; (at = pane.find("<path class=\"pen", at)) != std::string::npos;) {
        const int pen = atoi(pane.c_str() + at + 16);
        const size_t d = pane.find(" d=\"", at) + 4;
        const char* p = pane.c_str() + d;
        int x = 0, y = 0;
        while (*p != '"') {
            const char command = *p++;
            char* end;
            const int a = static_cast<int>(strtol(p, &end, 10));
            const int b = static_cast<int>(strtol(end, &end, 10));
            p = end;
            if (command == 'l') add(&out, pen, {x, y, x + a, y + b});
            x = command == 'M' ? a : x + a;
            y = command == 'M' ? b : y + b;
        }
        at = d;
    }
    return out;
}

// The recording canvas's lines of one pane, by pen, without the ones of no
// length (which draw no pixel).
PenSegments recordPane(const PicturePane& pane, const DemoDrawing& demo) {
    RecordingCanvas canvas;
    PaintPicturePane(&canvas, pane, demo.settings, demo.drawing);
    PenSegments out;
    for (const RecordedSegment& s : canvas.segments) {
        if (s.x0 != s.x1 || s.y0 != s.y1) add(&out, s.pen, {s.x0, s.y0, s.x1, s.y1});
    }
    return out;
}

TEST(SvgPicture, PathsMatchTheRecordingCanvasInEveryLayout) {
    for (const int layout : {0, 1, 2}) {
        DemoDrawing demo;
        demo.settings.pattern = layout == 1 ? 1 : 0;
        demo.settings.singleSlot = layout == 2 ? 3 : -1;
        std::vector<char> text;
        TextSink sink;
        sinkOpenMemory(&sink, &text);
        ASSERT_EQ(WriteSvgPicture(&sink, demo.drawing, demo.settings), 0);
        const std::string svg(text.begin(), text.end());
        PicturePane panes[kPaneCount];
        const int count = PictureLayout(demo.settings, demo.drawing.range, panes);
        ASSERT_EQ(count, layout == 2 ? 1 : 4);
        for (int i = 0; i < count; ++i) {
            const size_t begin = svg.find("id=\"pane" + std::to_string(i) + "\"");
            ASSERT_NE(begin, std::string::npos);
            const std::string pane = svg.substr(begin, svg.find("</g></g>", begin) - begin);
            const PenSegments expected = recordPane(panes[i], demo);
            EXPECT_EQ(parsePane(pane), expected) << "layout " << layout << " pane " << i;
            EXPECT_GE(expected.size(), 3u);  // the plane, the records and the axes
            // Where the pane sits, and each pen's colour and width as the
            // screen shows them (colours are 0x00BBGGRR).
            const ViewRect& r = panes[i].rect;
            EXPECT_EQ(pane.find("transform=\"translate(" + std::to_string(r.left) + " " +
                                std::to_string(r.top) + ")\""),
                      pane.find("transform="));
            for (const auto& [pen, lines] : expected) {
                char style[64];
                snprintf(style, sizeof style,
                         "\"pen%d\" stroke=\"#%02X%02X%02X\" stroke-width=\"%d\"", pen, 3 * pen,
                         2 * pen, pen, pen == kPenRapid ? 1 : 1 + pen % 2);
                EXPECT_NE(pane.find(style), std::string::npos) << style;
            }
            EXPECT_NE(pane.find(std::string(">") + panes[i].view.title + "</text>"),
                      std::string::npos);
        }
    }
}

}  // namespace
