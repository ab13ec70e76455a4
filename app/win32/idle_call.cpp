#include "app/win32/idle_call.h"

namespace {

IdleCallback gIdleCallback = nullptr;

}  // namespace

void SetIdleCallback(IdleCallback callback) {
    gIdleCallback = callback;
}

IdleCallback CurrentIdleCallback() {
    return gIdleCallback;
}
