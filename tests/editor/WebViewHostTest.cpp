// The web view host on a real browser (Debian's Chromium, headless). Skipped without it.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "editor/IWebView.h"
#include "platform/linux/WebViewBrowser.h"

namespace {

constexpr auto kTimeout = std::chrono::seconds(30);

bool HaveBrowser() { return std::filesystem::exists("/usr/bin/chromium"); }

// A web view that records its hooks and can wait for them (they arrive on the loop thread).
class Probe : public oskel::IWebView {
 public:
  Probe() { setenv("KYR_WEBVIEW_HEADLESS", "1", 1); }
  ~Probe() override { CloseWebView(); }

  void OnWebViewReady() override {
    Update([this] { ++ready; });
    if (!firstPage.empty()) LoadHTML(firstPage.c_str());
  }
  void OnWebContentLoaded() override { Update([this] { ++loaded; }); }
  void OnMessageFromWebView(const char* json) override { Update([this, json] { messages.push_back(json); }); }
  bool OnCanNavigateToURL(const char* url) override {
    Update([this, url] { navigations.push_back(url); });
    return std::string(url).find("blocked") == std::string::npos;
  }

  bool WaitUntil(const std::function<bool()>& done) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, kTimeout, done);
  }
  std::string Evaluate(const std::string& expression) {
    std::string result;
    const std::string params = R"({"expression":")" + expression + R"(","returnByValue":true})";
    if (!CallDevTools("Runtime.evaluate", params, result, 10000)) return "<failed>";
    return result;
  }
  void Open() { OpenWebView(nullptr, 0, 0, 1200, 560, 1.0f); }

  std::mutex mutex;
  std::condition_variable changed;
  int ready = 0;
  int loaded = 0;
  std::vector<std::string> messages;
  std::vector<std::string> navigations;
  std::string firstPage;

 private:
  void Update(const std::function<void()>& change) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      change();
    }
    changed.notify_all();
  }
};

}  // namespace

TEST(WebViewHost, ShowsThePageAndCarriesMessagesBothWays) {
  if (!HaveBrowser()) GTEST_SKIP() << "no chromium";
  Probe probe;
  probe.firstPage =
      "<html><body><script>IPluginSendMsg({msg:'hello'});"
      "function SPVFD(i, v) { IPluginSendMsg({msg:'echo', i:i, v:v}); }</script></body></html>";
  probe.Open();
  ASSERT_TRUE(probe.WaitUntil([&] { return probe.loaded == 1 && !probe.messages.empty(); }));
  EXPECT_EQ(probe.messages[0], R"({"msg":"hello"})");
  EXPECT_NE(probe.Evaluate("typeof IPluginSendMsg").find("\"function\""), std::string::npos);
  EXPECT_NE(probe.Evaluate("location.href").find("https://plugin.oskel.example/"), std::string::npos);

  for (int i = 0; i < 20; ++i) probe.EvaluateJavaScript(("SPVFD(" + std::to_string(i) + ", 0.5)").c_str());
  ASSERT_TRUE(probe.WaitUntil([&] { return probe.messages.size() == 21; }));
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(probe.messages[1 + i], R"({"msg":"echo","i":)" + std::to_string(i) + R"(,"v":0.5})");

  // The injected key scripts forward keys typed outside text fields.
  std::string ignored;
  ASSERT_TRUE(probe.CallDevTools("Input.dispatchKeyEvent",
                                 R"({"type":"keyDown","key":"a","text":"a","windowsVirtualKeyCode":65})", ignored, 10000));
  ASSERT_TRUE(probe.WaitUntil([&] { return probe.messages.size() == 22; }));
  EXPECT_EQ(probe.messages[21], R"({"msg":"SKPFUI","keyCode":65,"utf8":"a","S":false,"C":false,"A":false,"isUp":false})");
}

TEST(WebViewHost, ServesAFileFolderAndAsksBeforeEveryNavigation) {
  if (!HaveBrowser()) GTEST_SKIP() << "no chromium";
  const auto folder = std::filesystem::temp_directory_path() / "kyr-webview-folder-test";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "page.html") << "<script src=\"code.js\"></script>";
  std::ofstream(folder / "code.js") << "window.fromFile = 42;";
  Probe probe;
  probe.Open();
  ASSERT_TRUE(probe.WaitUntil([&] { return probe.ready == 1; }));
  probe.LoadFile((folder / "page.html").c_str());
  ASSERT_TRUE(probe.WaitUntil([&] { return probe.loaded == 1; }));
  EXPECT_NE(probe.Evaluate("window.fromFile").find("42"), std::string::npos);

  probe.EvaluateJavaScript("location.href = 'https://plugin.oskel.example/blocked.html'");
  ASSERT_TRUE(probe.WaitUntil([&] { return probe.navigations.size() == 2; }));
  probe.LoadHTML("<p>second</p>");
  ASSERT_TRUE(probe.WaitUntil([&] { return probe.loaded >= 2; }));
  EXPECT_EQ(probe.navigations[1], "https://plugin.oskel.example/blocked.html");
  EXPECT_EQ(probe.loaded, 2);  // the refused navigation loaded nothing
  EXPECT_NE(probe.Evaluate("document.body.textContent").find("second"), std::string::npos);
  std::filesystem::remove_all(folder);
}

TEST(WebViewHost, EditorsShareOneBrowserAndCloseSafelyWhileStarting) {
  if (!HaveBrowser()) GTEST_SKIP() << "no chromium";
  const int launchesBefore = oskel::platform::ChromiumBrowser::LaunchCount();
  {
    Probe first;
    first.Open();
    ASSERT_TRUE(first.WaitUntil([&] { return first.ready == 1; }));
  }
  for (int i = 0; i < 5; ++i) {
    Probe hasty;
    hasty.firstPage = "<p>x</p>";
    hasty.Open();
    hasty.CloseWebView();
    hasty.Open();
  }
  Probe last;
  last.firstPage = "<p>last</p>";
  last.Open();
  ASSERT_TRUE(last.WaitUntil([&] { return last.loaded == 1; }));
  EXPECT_LE(oskel::platform::ChromiumBrowser::LaunchCount() - launchesBefore, 1);
}

TEST(WebViewHost, AMissingBrowserLeavesTheEditorEmpty) {
  if (oskel::platform::ChromiumBrowser::LaunchCount() > 0) GTEST_SKIP() << "a browser already runs in this process";
  setenv("KYR_CHROMIUM", "/nonexistent/chromium", 1);
  Probe probe;
  probe.Open();
  probe.LoadHTML("<p>nothing</p>");
  probe.EvaluateJavaScript("1");
  probe.SetWebViewBounds(0, 0, 100, 100);
  std::string result;
  EXPECT_FALSE(probe.CallDevTools("Runtime.evaluate", "{}", result, 100));
  probe.CloseWebView();
  unsetenv("KYR_CHROMIUM");
  EXPECT_EQ(probe.ready, 0);
  EXPECT_EQ(oskel::platform::ChromiumBrowser::LaunchCount(), 0);
}
