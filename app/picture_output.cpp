#include "app/picture_output.h"

#include <cstring>

namespace {

// The run's progress check: a stopped run (Cancel, or a signal to the
// headless program) ends the picture.
bool stopAsked(void* context) {
    return static_cast<DrawingUi*>(context)->progressStep(0, nullptr, 0) == 0;
}

int writePicture(TextSink* sink, const Drawing& drawing, DrawingUi* ui, const void* context) {
    PictureSettings settings = *static_cast<const PictureSettings*>(context);
    settings.stopRequested = stopAsked;
    settings.context = ui;
    return WriteSvgPicture(sink, drawing, settings);
}

}  // namespace

void PictureSettingsOf(const AppSettings& s, const CommandLine& command, PictureSettings* out) {
    memset(out, 0, sizeof *out);
    const bool sized = command.pictureSize[0] > 0 && command.pictureSize[1] > 0;
    out->width = sized ? command.pictureSize[0] : kPictureDefaultWidth;
    out->height = sized ? command.pictureSize[1] : kPictureDefaultHeight;
    out->pattern = s.viewSeparate == 1 ? 1 : 0;
    memcpy(out->matrix, s.viewMatrix, sizeof out->matrix);
    const bool single = (s.enableMap & EM_SINGLE_PANE) != 0;
    out->singleSlot = single && s.viewActive >= 0 && s.viewActive < kPaneCount ? s.viewActive : -1;
    memcpy(out->rotate, s.viewRotate, sizeof out->rotate);
    out->displayMask = static_cast<uint32_t>(s.viewStatus);
    memcpy(out->colorMap, s.colorMap, sizeof out->colorMap);
    memcpy(out->widthMap, s.widthMap, sizeof out->widthMap);
}

ExportOptions BatchExportOptions(const Session& session, const Drawing& drawing,
                                 const CommandLine& command, PictureSettings* picture) {
    ExportOptions options = ExportOptionsOf(session, drawing);
    if (BatchOutputOf(command) != kBatchSvg) return options;
    PictureSettingsOf(session.settings, command, picture);
    options.picture = writePicture;
    options.pictureContext = picture;
    return options;
}
