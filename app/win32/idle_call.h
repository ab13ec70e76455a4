// The main loop's idle call: what runs whenever no message is waiting (the
// trace's step), installed by the feature that needs it.
#pragma once

#include <cstdint>

// The callback answers how many milliseconds the loop may sleep before
// calling again (0: call again at once; INFINITE: until a message arrives);
// a message always wakes the loop.
using IdleCallback = uint32_t (*)();
// Installs callback; null removes it.
void SetIdleCallback(IdleCallback callback);
// The callback installed, or null.
IdleCallback CurrentIdleCallback();
