// The working values of the property sheet for the lists, the views and the
// options: loaded from the settings before the sheet opens, and the rules by
// which OK and Apply put them back and decide what must be redrawn.
#pragma once

#include "definitions/settings.h"

#include <cstdint>

constexpr int kDisplayMaskBoxes = 8;

struct PropertyWork {
    int32_t singleInstance;
    int32_t registerFont;  // 0 small, 1 normal, 2 large
    int32_t registerBold, registerItalic;
    int32_t codeFont, codeBold, codeItalic;
    int32_t displayMask[kDisplayMaskBoxes];  // boxes 1060..1067
    int32_t matrix[2][4];
    float angles[4][3];  // per plane, changed only by the reset button
    uint32_t colors[kColorCount];
    uint32_t customColors[kColorCount];
};

// The View Status bit of each display-mask box, in control order.
extern const int32_t kDisplayMaskBits[kDisplayMaskBoxes];

// What applying changed, for the window side to redraw.
struct PropertyChanges {
    bool registerStyle;   // Register Status changed
    bool codeStyle;       // Code Status changed
    bool viewStatus;      // the display mask changed
    bool matrix[2];       // the pattern's matrix is to be applied
    bool anglesOrColors;  // pens, both lists and every pane are rebuilt
};

// The working values from settings; customColors are the colour chooser's
// custom colours, kept for the program's life.
void LoadPropertyWork(const AppSettings& settings, const uint32_t customColors[kColorCount],
                      PropertyWork* work);
// Font bits of a list's Status: the four low bits replaced, the rest kept.
int32_t ListStatusBits(int32_t status, int32_t font, int32_t bold, int32_t italic);
// Puts the working values into settings and customColors, except the
// matrices: a matrix that differs and shows every plane once is only marked
// in the result, to be applied with the pane state that moves with it; one
// that is not a permutation is ignored. Angles are stored per plane and
// marked as changed when any differs.
PropertyChanges ApplyPropertyWork(const PropertyWork& work, AppSettings* settings,
                                  uint32_t customColors[kColorCount]);
