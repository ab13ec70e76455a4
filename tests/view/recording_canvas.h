// A canvas that records what is drawn, for checking the renderer's output,
// and a pane to draw through.
#pragma once

#include "view/canvas.h"
#include "view/path_render.h"

#include <string>
#include <vector>

struct RecordedSegment {
    int pen;
    int x0, y0, x1, y1;
    bool inPath;
};

class RecordingCanvas : public Canvas {
public:
    void selectPen(int pen) override { pen_ = pen; }
    void moveTo(int x, int y) override {
        x_ = x;
        y_ = y;
    }
    void lineTo(int x, int y) override {
        segments.push_back({pen_, x_, y_, x, y, inPath_});
        x_ = x;
        y_ = y;
    }
    void beginPath() override {
        inPath_ = true;
        pathStart_ = segments.size();
    }
    void strokePath() override {
        inPath_ = false;
        ++paths;
    }
    void abandonPath() override {
        inPath_ = false;
        segments.resize(pathStart_);
    }
    void fillEllipse(int l, int t, int r, int b, int brush) override {
        ellipses.push_back({brush, l, t, r, b, false});
    }
    void text(int x, int y, const char* s, uint32_t color) override {
        texts.push_back(std::string(s) + "@" + std::to_string(x) + "," + std::to_string(y) + "#" +
                        std::to_string(color));
    }
    void setXor(bool on) override { xorChanges.push_back(on); }
    void setClip(const ViewRect* r) override {
        clips.push_back(r != nullptr ? *r : ViewRect{0, 0, 0, 0});
    }
    void frameRect(const ViewRect& r) override { frames.push_back(r); }

    int countPen(int pen) const {
        int n = 0;
        for (const RecordedSegment& s : segments) n += s.pen == pen;
        return n;
    }

    std::vector<RecordedSegment> segments;
    std::vector<RecordedSegment> ellipses;
    std::vector<std::string> texts;
    std::vector<bool> xorChanges;
    std::vector<ViewRect> clips;  // an all-zero entry lifts the clip
    std::vector<ViewRect> frames;
    int paths = 0;

private:
    int pen_ = -1, x_ = 0, y_ = 0;
    bool inPath_ = false;
    size_t pathStart_ = 0;
};

// A pane of a kind with its default angles and its matrix built for client
// at scale, and a target that draws it on canvas with the default mask.
struct TestPane {
    TestPane(Canvas* canvas, int kind, ViewRect client, float scale = 1.0f) {
        float angles[3];
        ViewDefaultAngles(kind, angles);
        InitPane(&pane, kind, angles);
        pane.clientRect = client;
        BuildViewMatrix(&pane, client, scale);
        target = {canvas, client, pane.matrix, kDefaultDisplayMask, nullptr};
    }
    TestPane(const TestPane&) = delete;  // the target points into the pane
    ViewPane pane = {};
    RenderTarget target;
};
