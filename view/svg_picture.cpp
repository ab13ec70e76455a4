#include "view/svg_picture.h"

#include "res/strings.h"
#include "view/pane_layout.h"
#include "view/pane_paint.h"
#include "view/path_render.h"
#include "view/svg_canvas.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

// The frame around each pane, as the pane windows' border takes it from
// the panel.
constexpr int kPaneFrame = 2;

// Pens in the order the screen paints them: work plane, records, axes.
constexpr int kPenOrder[] = {kPenWorkPlane, kPenRapid, kPenCutting, kPenCuttingZ, kPenCompensation,
                             kPenAxisX,     kPenAxisY, kPenAxisZ,   kPenTool};

float drawingScale(float scale) {
    return scale < 0.0001f ? 0.0001f : (scale > 9999.0f ? 9999.0f : scale);
}

int paneWidth(const PicturePane& p) {
    return p.rect.right - p.rect.left;
}
int paneHeight(const PicturePane& p) {
    return p.rect.bottom - p.rect.top;
}

bool writeText(TextSink* sink, const char* format, ...) __attribute__((format(printf, 2, 3)));
bool writeText(TextSink* sink, const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return sinkWrite(sink, text);
}

void writeHead(TextSink* sink, const PictureSettings& s) {
    sinkWrite(sink, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    writeText(sink,
              "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%d\" "
              "height=\"%d\" viewBox=\"0 0 %d %d\">\n",
              s.width, s.height, s.width, s.height);
    writeText(sink, "<rect width=\"%d\" height=\"%d\" fill=\"#808080\"/>\n", s.width, s.height);
    sinkWrite(sink, "<g font-family=\"sans-serif\" font-size=\"12\">\n");
}

// A pen's path; the dotted rapid pen is one pixel wide whatever its width
// setting, as on the screen.
void writePath(TextSink* sink, const SvgCanvas& canvas, int pen, const PictureSettings& s) {
    const std::string& d = canvas.pathData(pen);
    if (d.empty()) return;
    const int width = pen == kPenRapid || s.widthMap[pen] < 1 ? 1 : s.widthMap[pen];
    writeText(sink, "<path class=\"pen%d\" stroke=\"%s\" stroke-width=\"%d\"%s d=\"", pen,
              svgColor(s.colorMap[pen]).c_str(), width,
              pen == kPenRapid ? " stroke-dasharray=\"1 1\"" : "");
    sinkWriteRaw(sink, d.data(), d.size());
    sinkWrite(sink, "\"/>\n");
}

// One pane: its background, then its paths clipped to it. Integer points
// lie on pixel centres on the screen, hence the half-pixel shift.
int writePane(TextSink* sink, const PicturePane& pane, int index, const Drawing& drawing,
              const PictureSettings& s) {
    SvgCanvas canvas(s.colorMap);
    const int32_t count = drawing.loaded ? pathStoreCount(drawing.paths) : 0;
    if (PaintPicturePane(&canvas, pane, s, drawing) < count) return IDS_ABORTED;
    const int w = paneWidth(pane), h = paneHeight(pane);
    writeText(sink, "<g class=\"pane\" id=\"pane%d\" transform=\"translate(%d %d)\">\n", index,
              pane.rect.left, pane.rect.top);
    writeText(sink, "<clipPath id=\"clip%d\"><rect width=\"%d\" height=\"%d\"/></clipPath>\n",
              index, w, h);
    writeText(sink, "<rect width=\"%d\" height=\"%d\" fill=\"%s\"/>\n", w, h,
              svgColor(s.colorMap[4]).c_str());
    writeText(sink,
              "<g clip-path=\"url(#clip%d)\"><g transform=\"translate(0.5 0.5)\" fill=\"none\">\n",
              index);
    for (int pen : kPenOrder) writePath(sink, canvas, pen, s);
    sinkWrite(sink, "</g>\n");
    sinkWrite(sink, canvas.elements().c_str());
    sinkWrite(sink, "</g></g>\n");
    return 0;
}

}  // namespace

int PictureLayout(const PictureSettings& s, const RangeBox& range, PicturePane out[kPaneCount]) {
    const int pattern = s.pattern == 1 ? 1 : 0;
    ViewRect rects[kPaneCount];
    ComputePaneRects(pattern, {0, 0, s.width, s.height}, rects);
    const bool single = s.singleSlot >= 0 && s.singleSlot < kPaneCount;
    const int count = single ? 1 : kPaneCount;
    ViewState state = {};
    state.range = range;
    for (int i = 0; i < count; ++i) {
        const int slot = single ? s.singleSlot : i;
        const ViewRect r = single ? ViewRect{0, 0, s.width, s.height} : rects[slot];
        PicturePane& p = out[i];
        p.kind = s.matrix[pattern][slot] >= 0 && s.matrix[pattern][slot] < kPaneCount
                     ? s.matrix[pattern][slot]
                     : 0;
        p.rect = {r.left + kPaneFrame, r.top + kPaneFrame, r.right - kPaneFrame,
                  r.bottom - kPaneFrame};
        if (p.rect.right < p.rect.left) p.rect.right = p.rect.left;
        if (p.rect.bottom < p.rect.top) p.rect.bottom = p.rect.top;
        InitPane(&state.panes[i], p.kind, s.rotate[p.kind]);
        state.panes[i].clientRect = {0, 0, paneWidth(p), paneHeight(p)};
    }
    FitView(&state, -1);
    for (int i = 0; i < count; ++i) {
        out[i].view = state.panes[i];
        BuildViewMatrix(&out[i].view, out[i].view.clientRect, out[i].view.scale);
    }
    return count;
}

int32_t PaintPicturePane(Canvas* canvas, const PicturePane& p, const PictureSettings& s,
                         const Drawing& drawing) {
    const RenderTarget target = {canvas, p.view.clientRect, p.view.matrix, s.displayMask,
                                 &drawing.filter};
    PanePaintInput input = {};
    input.kind = p.kind;
    input.scale = drawingScale(p.view.scale);
    input.range = &drawing.range;
    input.paths = drawing.loaded ? drawing.paths : nullptr;
    input.recordCount = drawing.loaded ? pathStoreCount(drawing.paths) : 0;
    input.axisColors = &s.colorMap[5];
    input.stopRequested = s.stopRequested;
    input.context = s.context;
    const int32_t drawn = PaintPaneContent(target, input);
    if (s.displayMask & kShowTitle) canvas->text(2, 1, p.view.title, s.colorMap[8]);
    return drawn;
}

int WriteSvgPicture(TextSink* sink, const Drawing& drawing, const PictureSettings& s) {
    PicturePane panes[kPaneCount];
    const int count = PictureLayout(s, drawing.range, panes);
    writeHead(sink, s);
    for (int i = 0; i < count; ++i) {
        const int error = writePane(sink, panes[i], i, drawing, s);
        if (error != 0) return error;
    }
    sinkWrite(sink, "</g>\n</svg>\n");
    return sinkFlush(sink) ? 0 : IDS_WRITE_FAILED;
}
