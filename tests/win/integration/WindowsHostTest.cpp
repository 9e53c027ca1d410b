// What only a Windows host sees of the Windows bundle (the rest: tests/integration).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "HostedPlugin.h"
#include "MessageLoop.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

class WindowsHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(host.LoadModule(KYR_BUNDLE_DIR, error)) << error;
    ASSERT_TRUE(host.CreateInstance(error)) << error;
  }

  kyr::tools::HostedPlugin host{"Kyr Windows Host"};
};

TEST_F(WindowsHostTest, ExportsExitDllAndGivesTheClassIdInComByteOrder) {
  ASSERT_NE(GetProcAddress(static_cast<HMODULE>(host.ModuleHandle()), "ExitDll"), nullptr);
  PClassInfo info{};
  ASSERT_EQ(host.Factory()->getClassInfo(0, &info), kResultOk);
  // F2AEE70D-00DE-4F4E, then "Wvoa" and "Tz4u" in the COM byte order of the first two words.
  const uint8_t expected[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                'W',  'v',  'o',  'a',  'T',  'z',  '4',  'u'};
  EXPECT_EQ(std::memcmp(info.cid, expected, 16), 0);
}

TEST_F(WindowsHostTest, EditorOpensInAWindowWithoutTheBrowserLoaderAndPassesTheSpaceBarOn) {
  HWND parent = MakeWindow(1200, 560, WS_OVERLAPPEDWINDOW);
  ASSERT_NE(parent, nullptr);
  IPlugView* view = host.Controller()->createView("editor");
  ASSERT_NE(view, nullptr);
  // The bundle ships no WebView2Loader.dll: the editor stays empty and nothing fails.
  EXPECT_EQ(view->attached(parent, kPlatformTypeHWND), kResultTrue);

  // Space (VST 3 key 7, or the character alone) reaches the host window as virtual key 32.
  MSG msg;
  while (PeekMessageW(&msg, parent, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
  }
  for (const int16 keyCode : {7, 0}) {
    EXPECT_EQ(view->onKeyDown(u' ', keyCode, 0), kResultTrue);
    ASSERT_TRUE(PeekMessageW(&msg, parent, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 32u);
  }
  // Any other key stays with the editor and is reported as not handled.
  EXPECT_EQ(view->onKeyDown(u'a', 0, 0), kResultFalse);
  EXPECT_FALSE(PeekMessageW(&msg, parent, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));

  EXPECT_EQ(view->removed(), kResultOk);
  view->release();
  DestroyWindow(parent);
}

// The runtime may call the module's handlers after the host has unloaded it: a bundle copy with
// the fake loader leaves the environment request pending while the host unloads it.
TEST(WindowsModule, StaysLoadedWhileTheBrowserRuntimeHoldsItsHandlers) {
  namespace fs = std::filesystem;
  const fs::path bundle = fs::temp_directory_path() / "kyr-module-pin" / "LUMAEQ5.vst3";
  fs::remove_all(bundle.parent_path());
  fs::create_directories(bundle);
  fs::copy(fs::path(KYR_BUNDLE_DIR), bundle, fs::copy_options::recursive);
  const fs::path module = kyr::tools::HostedPlugin::ModulePathInBundle(bundle.generic_string());
  fs::copy_file(fs::path(KYR_FAKE_LOADER), module.parent_path() / "WebView2Loader.dll");

  HMODULE loader = nullptr;
  {
    kyr::tools::HostedPlugin plugin{"Kyr Windows Host"};
    std::string error;
    ASSERT_TRUE(plugin.LoadModule(bundle.generic_string(), error)) << error;
    ASSERT_TRUE(plugin.CreateInstance(error)) << error;
    HWND parent = MakeWindow(1200, 560, WS_OVERLAPPEDWINDOW);
    ASSERT_NE(parent, nullptr);
    IPlugView* view = plugin.Controller()->createView("editor");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->attached(parent, kPlatformTypeHWND), kResultTrue);
    loader = GetModuleHandleW((module.parent_path() / "WebView2Loader.dll").wstring().c_str());
    view->removed();
    view->release();
    DestroyWindow(parent);
    plugin.Unload();
  }
  ASSERT_NE(loader, nullptr);
  const auto call = [loader](const char* name) {
    const auto proc = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(loader, name)));
    return proc ? proc() : -1;
  };
  EXPECT_GT(call("FakeWebView2_HeldHandlers"), 0);
  // Unloaded code would crash the runtime's completion call below.
  ASSERT_NE(GetModuleHandleW(module.wstring().c_str()), nullptr);
  EXPECT_GE(call("FakeWebView2_RunPending"), 1);
  EXPECT_EQ(call("FakeWebView2_HeldHandlers"), 0);
}

}  // namespace
