#include "view/pane_layout.h"

#include <cstring>

namespace {

// Slot i of the new arrangement takes the state of the slot that showed
// the same kind before, keeping its own window and rectangle.
void movePaneState(ViewState* state, const int oldKinds[kPaneCount],
                   const int newKinds[kPaneCount]) {
    ViewPane before[kPaneCount];
    memcpy(before, state->panes, sizeof before);
    for (int i = 0; i < kPaneCount; ++i) {
        for (int j = 0; j < kPaneCount; ++j) {
            if (oldKinds[j] != newKinds[i]) continue;
            ViewPane& slot = state->panes[i];
            void* window = slot.window;
            ViewRect rect = slot.clientRect;
            slot = before[j];
            slot.window = window;
            slot.clientRect = rect;
            break;
        }
    }
}

}  // namespace

void ComputePaneRects(int pattern, const ViewRect& c, ViewRect out[kPaneCount]) {
    const int l = c.left, t = c.top, r = c.right, b = c.bottom;
    if (pattern == 1) {
        const int x = l + (r - l) / 3, h = (b - t) / 3;
        out[0] = {l, t, x, t + h};
        out[1] = {l, t + h, x, t + 2 * h};
        out[2] = {l, t + 2 * h, x, b};
        out[3] = {x, t, r, b};
        return;
    }
    const int w = (r - l) / 2, h = (b - t) / 2;
    out[0] = {l, t, l + w, t + h};
    out[1] = {l + w, t, r, t + h};
    out[2] = {l, t + h, l + w, b};
    out[3] = {l + w, t + h, r, b};
}

int SlotOfKind(const PaneLayout& layout, int kind) {
    for (int i = 0; i < kPaneCount; ++i) {
        if (layout.matrix[layout.pattern][i] == kind) return i;
    }
    return -1;
}

bool SwitchPattern(ViewState* state, PaneLayout* layout, int pattern) {
    if (pattern < 0 || pattern > 1 || pattern == layout->pattern) return false;
    movePaneState(state, layout->matrix[layout->pattern], layout->matrix[pattern]);
    layout->pattern = pattern;
    return true;
}

bool ApplyMatrix(ViewState* state, PaneLayout* layout, int pattern, const int kinds[kPaneCount]) {
    if (pattern < 0 || pattern > 1 || !IsValidMatrix(kinds)) return false;
    if (pattern == layout->pattern) movePaneState(state, layout->matrix[pattern], kinds);
    memcpy(layout->matrix[pattern], kinds, sizeof layout->matrix[pattern]);
    return true;
}
