#include "WindowMetrics.h"

#include <atomic>

#include "platform/Platform.h"

namespace oskel::platform {

namespace win {
namespace {

GetDpiForWindowProc LookUpInUser32() {
  HMODULE user32 = LoadLibraryW(L"user32.dll");
  if (!user32) return nullptr;
  return reinterpret_cast<GetDpiForWindowProc>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
}

std::atomic<DpiLookup> gLookup{&LookUpInUser32};
// Kept for the process once found; a failed lookup is tried again on the next use.
std::atomic<GetDpiForWindowProc> gGetDpiForWindow{nullptr};

GetDpiForWindowProc DpiFunction() {
  GetDpiForWindowProc proc = gGetDpiForWindow.load();
  if (!proc) {
    proc = gLookup.load()();
    gGetDpiForWindow.store(proc);
  }
  return proc;
}

}  // namespace

void SetDpiLookup(DpiLookup lookup) {
  gLookup.store(lookup ? lookup : &LookUpInUser32);
  gGetDpiForWindow.store(nullptr);
}

}  // namespace win

bool GetWindowClientRect(void* window, WebViewRect& rect) {
  RECT client{};
  if (!window || !GetClientRect(static_cast<HWND>(window), &client)) return false;
  rect = {static_cast<int>(client.left), static_cast<int>(client.top), static_cast<int>(client.right),
          static_cast<int>(client.bottom)};
  return true;
}

float GetWindowScale(void* window) {
  constexpr UINT kDefaultDpi = 96;
  const win::GetDpiForWindowProc getDpi = win::DpiFunction();
  if (!getDpi) return 1.0f;
  const UINT dpi = getDpi(static_cast<HWND>(window));
  // 0 is the answer for a window that does not exist; scaling by it would collapse the page.
  if (dpi == 0 || dpi == kDefaultDpi) return 1.0f;
  return static_cast<float>(dpi) / static_cast<float>(kDefaultDpi);
}

}  // namespace oskel::platform
