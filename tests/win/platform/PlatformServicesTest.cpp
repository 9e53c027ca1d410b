// The Win32 services behind platform/Platform.h, on Wine's default US keyboard layout.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "WindowMetrics.h"
#include "platform/Platform.h"

namespace {

using namespace oskel::platform;

TEST(KeyScan, AnswersTheLayoutsVirtualKeyAndShiftState) {
  const struct {
    char c;
    int16_t expected;
  } kCases[] = {
      {'a', 0x41}, {'A', 0x141}, {'z', 0x5A}, {'1', 0x31}, {'!', 0x131}, {'=', 0xBB},
      {'+', 0x1BB}, {' ', 0x20},  {';', 0xBA}, {'/', 0xBF}, {'?', 0x1BF},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.c);
    EXPECT_EQ(KeyScan(c.c), c.expected);
  }
}

TEST(ModulePath, NamesTheExecutableThatHoldsTheCode) {
  const std::string path = ModulePath();
  ASSERT_GT(path.size(), 4u);
  EXPECT_EQ(path.substr(path.size() - 4), ".exe");
  EXPECT_EQ(ModuleFolder(), path.substr(0, path.find_last_of('\\') + 1));
}

UINT WINAPI Dpi144(HWND) { return 144; }
UINT WINAPI Dpi96(HWND) { return 96; }
UINT WINAPI Dpi0(HWND) { return 0; }

int gLookups = 0;
win::GetDpiForWindowProc gNextAnswer = nullptr;
win::GetDpiForWindowProc CountingLookup() {
  ++gLookups;
  return gNextAnswer;
}

TEST(WindowScale, DpiOverNinetySixWithTheLookupRetriedUntilFound) {
  gLookups = 0;
  gNextAnswer = nullptr;
  win::SetDpiLookup(&CountingLookup);
  // Not found: scale 1, and the lookup is tried again on the next use.
  EXPECT_EQ(GetWindowScale(nullptr), 1.0f);
  EXPECT_EQ(GetWindowScale(nullptr), 1.0f);
  EXPECT_EQ(gLookups, 2);
  // Found once: kept for the process.
  gNextAnswer = &Dpi144;
  EXPECT_EQ(GetWindowScale(nullptr), 1.5f);
  gNextAnswer = &Dpi96;
  EXPECT_EQ(GetWindowScale(nullptr), 1.5f);
  EXPECT_EQ(gLookups, 3);

  const struct {
    win::GetDpiForWindowProc proc;
    float scale;
  } kCases[] = {{&Dpi96, 1.0f}, {&Dpi144, 1.5f}, {&Dpi0, 1.0f}};
  for (const auto& c : kCases) {
    gNextAnswer = c.proc;
    win::SetDpiLookup(&CountingLookup);
    EXPECT_EQ(GetWindowScale(nullptr), c.scale);
  }
  win::SetDpiLookup(nullptr);
}

TEST(WindowScale, User32OffersTheDpiFunction) {
  win::SetDpiLookup(nullptr);
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_GE(GetWindowScale(window), 1.0f);
  DestroyWindow(window);
}

TEST(WindowClientRect, ReadsAWindowAndRefusesAMissingOne) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  WebViewRect rect;
  ASSERT_TRUE(GetWindowClientRect(window, rect));
  EXPECT_EQ(rect.right - rect.left, 640);
  EXPECT_EQ(rect.bottom - rect.top, 480);
  DestroyWindow(window);
  EXPECT_FALSE(GetWindowClientRect(window, rect));
  EXPECT_FALSE(GetWindowClientRect(nullptr, rect));
}

TEST(PostKeyDown, PostsAKeyDownToTheWindow) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  PostKeyDown(window, 32);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, window, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 32u);
  EXPECT_EQ(msg.lParam, 0);
  DestroyWindow(window);
}

TEST(PostToUIThread, RunsTasksInOrderThroughTheMessageLoop) {
  std::string order;
  PostToUIThread([&] { order += 'a'; });
  PostToUIThread([&] { order += 'b'; });
  EXPECT_EQ(order, "");
  const DWORD start = GetTickCount();
  MSG msg;
  while (order.size() < 2 && GetTickCount() - start < 5000) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(1);
  }
  EXPECT_EQ(order, "ab");
}

}  // namespace
