// The tool path as the view panel shows it, without a window: the panes of
// the current layout fitted to a picture of a chosen size, drawn through
// the panes' canvas interface, and written as an SVG document.
#pragma once

#include "pathdata/drawing.h"
#include "pathdata/text_sink.h"
#include "view/canvas.h"
#include "view/view_transform.h"

#include <cstdint>

constexpr int kPictureDefaultWidth = 1280;
constexpr int kPictureDefaultHeight = 800;
constexpr int kPictureMaxSide = 16384;

// The view settings a picture is made from.
struct PictureSettings {
    int width, height;  // pixels
    int pattern;        // 0 pattern 1, 1 pattern 2
    int matrix[2][kPaneCount];
    int singleSlot;               // slot shown alone, or -1 for the four
    float rotate[kPaneCount][3];  // angles per view kind
    uint32_t displayMask;
    uint32_t colorMap[16];  // 0x00BBGGRR
    int32_t widthMap[16];   // pen widths in pixels
    // Asked now and then while records are drawn; true stops the picture.
    bool (*stopRequested)(void* context);
    void* context;
};

// One pane of the picture: where it lies and its fitted view.
struct PicturePane {
    int kind;
    ViewRect rect;  // in the picture; the pane draws in (0, 0)-(width, height)
    ViewPane view;
};

// The panes of the layout, fitted to range. Returns how many (1 or 4).
int PictureLayout(const PictureSettings& settings, const RangeBox& range,
                  PicturePane out[kPaneCount]);
// Draws one pane's content and title on canvas in the pane's own
// coordinates, as the screen does. Returns the records drawn through.
int32_t PaintPicturePane(Canvas* canvas, const PicturePane& pane, const PictureSettings& settings,
                         const Drawing& drawing);
// Writes the SVG document. Returns 0, or the id of the message that says
// why it stopped.
int WriteSvgPicture(TextSink* sink, const Drawing& drawing, const PictureSettings& settings);
