#include <windows.h>

#include "platform/Platform.h"

namespace oskel::platform {

// The layout of the calling thread (the host's user-interface thread), so the answer follows
// the keyboard the user has chosen.
int16_t KeyScan(char c) { return static_cast<int16_t>(VkKeyScanExA(c, GetKeyboardLayout(0))); }

void PostKeyDown(void* window, int virtualKey) {
  if (window) PostMessageW(static_cast<HWND>(window), WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 0);
}

}  // namespace oskel::platform
