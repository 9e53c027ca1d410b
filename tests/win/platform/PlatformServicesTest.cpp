// The Win32 services behind platform/Platform.h, on Wine's default US keyboard layout. Window
// client rectangles, the user32 DPI lookup, the module path and key-downs to the host's window
// are seen through the editor tests (tests/win/editor, tests/win/integration).
#include <gtest/gtest.h>

#include <string>

#include "MessageLoop.h"
#include "WindowMetrics.h"
#include "platform/Platform.h"

namespace {

using namespace oskel::platform;

TEST(KeyScan, AnswersTheLayoutsVirtualKeyAndShiftState) {
  const struct {
    char c;
    int16_t expected;
  } kCases[] = {{'a', 0x41}, {'A', 0x141}, {'1', 0x31}, {'!', 0x131}, {' ', 0x20}, {'/', 0xBF}, {'?', 0x1BF}};
  for (const auto& c : kCases) EXPECT_EQ(KeyScan(c.c), c.expected) << c.c;
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
  // 0 is the answer for a window that does not exist.
  gNextAnswer = &Dpi0;
  win::SetDpiLookup(&CountingLookup);
  EXPECT_EQ(GetWindowScale(nullptr), 1.0f);
  win::SetDpiLookup(nullptr);
}

TEST(PostToUIThread, RunsTasksInOrderThroughTheMessageLoop) {
  std::string order;
  PostToUIThread([&] { order += 'a'; });
  PostToUIThread([&] { order += 'b'; });
  EXPECT_EQ(order, "");
  EXPECT_TRUE(PumpUntil([&] { return order.size() == 2; }));
  EXPECT_EQ(order, "ab");
}

}  // namespace
