#pragma once

// The Windows tests' message loop and host window.
#include <windows.h>

#include <functional>

// Delivers this thread's messages one at a time until `done` (checked after each) or 5 s pass.
inline bool PumpUntil(const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (!done()) {
    if (GetTickCount() - start > 5000) return false;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&msg);
    else
      Sleep(1);
  }
  return true;
}

// A top-level window of this program, as a host's editor frame.
inline HWND MakeWindow(int width, int height, DWORD style = WS_POPUP) {
  return CreateWindowExW(0, L"STATIC", L"host", style, 0, 0, width, height, nullptr, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}
