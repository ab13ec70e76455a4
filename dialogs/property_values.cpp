#include "dialogs/property_values.h"

#include "view/pane_layout.h"

#include <cstring>

const int32_t kDisplayMaskBits[kDisplayMaskBoxes] = {0x10, 0x20,  0x40, 0x80,
                                                     0x01, 0x100, 0x02, 0x04};

namespace {

constexpr int32_t kFontBits = 0xF;
constexpr int32_t kSmallFont = 0x4;
constexpr int32_t kLargeFont = 0x8;
constexpr int32_t kDisplayMaskAll = 0x1F7;

int32_t fontOf(int32_t status) {
    if ((status & kSmallFont) != 0) return 0;
    return (status & kLargeFont) != 0 ? 2 : 1;
}

}  // namespace

void LoadPropertyWork(const AppSettings& settings, const uint32_t customColors[kColorCount],
                      PropertyWork* work) {
    memset(work, 0, sizeof *work);
    work->singleInstance = (settings.enableMap & EM_SINGLE_INSTANCE) != 0;
    work->registerFont = fontOf(settings.registerStatus);
    work->registerBold = (settings.registerStatus & 0x1) != 0;
    work->registerItalic = (settings.registerStatus & 0x2) != 0;
    work->codeFont = fontOf(settings.codeStatus);
    work->codeBold = (settings.codeStatus & 0x1) != 0;
    work->codeItalic = (settings.codeStatus & 0x2) != 0;
    for (int i = 0; i < kDisplayMaskBoxes; ++i) {
        work->displayMask[i] = (settings.viewStatus & kDisplayMaskBits[i]) != 0;
    }
    memcpy(work->matrix, settings.viewMatrix, sizeof work->matrix);
    memcpy(work->angles, settings.viewRotate, sizeof work->angles);
    memcpy(work->colors, settings.colorMap, sizeof work->colors);
    memcpy(work->customColors, customColors, sizeof work->customColors);
}

int32_t ListStatusBits(int32_t status, int32_t font, int32_t bold, int32_t italic) {
    int32_t bits = font == 0 ? kSmallFont : font == 2 ? kLargeFont : 0;
    if (bold != 0) bits |= 0x1;
    if (italic != 0) bits |= 0x2;
    return (status & ~kFontBits) | bits;
}

PropertyChanges ApplyPropertyWork(const PropertyWork& work, AppSettings* settings,
                                  uint32_t customColors[kColorCount]) {
    PropertyChanges changes = {};
    settings->enableMap = work.singleInstance != 0 ? settings->enableMap | EM_SINGLE_INSTANCE
                                                   : settings->enableMap & ~EM_SINGLE_INSTANCE;
    const int32_t reg = ListStatusBits(settings->registerStatus, work.registerFont,
                                       work.registerBold, work.registerItalic);
    const int32_t code =
        ListStatusBits(settings->codeStatus, work.codeFont, work.codeBold, work.codeItalic);
    changes.registerStyle = reg != settings->registerStatus;
    changes.codeStyle = code != settings->codeStatus;
    settings->registerStatus = reg;
    settings->codeStatus = code;

    int32_t view = settings->viewStatus & ~kDisplayMaskAll;
    for (int i = 0; i < kDisplayMaskBoxes; ++i) {
        if (work.displayMask[i] != 0) view |= kDisplayMaskBits[i];
    }
    changes.viewStatus = view != settings->viewStatus;
    settings->viewStatus = view;

    for (int p = 0; p < 2; ++p) {
        changes.matrix[p] =
            memcmp(work.matrix[p], settings->viewMatrix[p], sizeof work.matrix[p]) != 0 &&
            IsValidMatrix(work.matrix[p]);
    }
    const bool angles = memcmp(work.angles, settings->viewRotate, sizeof work.angles) != 0;
    const bool colors = memcmp(work.colors, settings->colorMap, sizeof work.colors) != 0;
    memcpy(settings->viewRotate, work.angles, sizeof work.angles);
    memcpy(settings->colorMap, work.colors, sizeof work.colors);
    memcpy(settings->colorWork, work.colors, sizeof work.colors);
    memcpy(customColors, work.customColors, sizeof work.customColors);
    changes.anglesOrColors = angles || colors;
    return changes;
}
