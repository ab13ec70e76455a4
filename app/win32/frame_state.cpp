#include "app/win32/frame_state.h"

#include <algorithm>
#include <vector>

const wchar_t kFrameClassName[] = L"TLV_FrameClass";

namespace {

// The main windows of this thread, from their creation to their
// destruction. Any other window, including another thread's or another
// process's frame, has no state here.
thread_local std::vector<FrameState*> gFrames;

}  // namespace

void AddFrameState(FrameState* fs) {
    gFrames.push_back(fs);
}

void RemoveFrameState(FrameState* fs) {
    std::erase(gFrames, fs);
}

FrameState* FrameStateOf(HWND frame) {
    if (frame == nullptr) return nullptr;
    auto found = std::find_if(gFrames.begin(), gFrames.end(),
                              [frame](const FrameState* fs) { return fs->frame == frame; });
    return found != gFrames.end() ? *found : nullptr;
}

void SyncRunState(FrameState* fs) {
    uint32_t& em = fs->session->settings.enableMap;
    em = fs->drawing.loaded ? (em | EM_LOADED) : (em & ~EM_LOADED);
    em = fs->drawing.tracing ? (em | EM_TRACING) : (em & ~EM_TRACING);
}
