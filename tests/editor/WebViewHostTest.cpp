// The web view host on a real browser (Debian's Chromium, headless). Skipped without it.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "editor/IWebView.h"
#include "platform/Platform.h"
#include "platform/linux/RunLoop.h"
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
  // Waits until a script expression's JSON result contains `expected`.
  bool WaitForValue(const std::string& expression, const std::string& expected) {
    const auto end = std::chrono::steady_clock::now() + kTimeout;
    while (std::chrono::steady_clock::now() < end) {
      if (Evaluate(expression).find(expected) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

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

// A one-page web server on the loopback interface: "/<status>" answers that HTTP status with a
// small HTML body naming it.
class StatusServer {
 public:
  StatusServer() {
    mSocket = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(mSocket, reinterpret_cast<sockaddr*>(&address), size);
    listen(mSocket, 8);
    getsockname(mSocket, reinterpret_cast<sockaddr*>(&address), &size);
    mPort = ntohs(address.sin_port);
    mThread = std::thread([this] { Serve(); });
  }
  ~StatusServer() {
    shutdown(mSocket, SHUT_RDWR);
    close(mSocket);
    mThread.join();
    for (std::thread& client : mClients) client.join();
  }
  std::string Url(int status) const { return "http://127.0.0.1:" + std::to_string(mPort) + "/" + std::to_string(status); }

 private:
  void Serve() {
    for (;;) {
      const int client = accept(mSocket, nullptr, nullptr);
      if (client < 0) return;
      // The browser opens spare connections that may never carry a request.
      timeval wait{1, 0};
      setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
      mClients.emplace_back([client] { Answer(client); });
    }
  }

  static void Answer(int client) {
    {
      std::string request;
      char buffer[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = read(client, buffer, sizeof buffer);
        if (n <= 0) break;
        request.append(buffer, static_cast<size_t>(n));
      }
      const size_t slash = request.find('/');
      const int status = slash == std::string::npos ? 404 : std::atoi(request.c_str() + slash + 1);
      const std::string body = "<p>status " + std::to_string(status) + "</p>";
      const std::string answer = "HTTP/1.1 " + std::to_string(status > 0 ? status : 404) +
                                 " X\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
                                 "\r\nConnection: close\r\n\r\n" + body;
      if (!request.empty()) send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
    }
    close(client);
  }

  int mSocket = -1;
  int mPort = 0;
  std::thread mThread;
  std::vector<std::thread> mClients;
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

TEST(WebViewHost, APageAnsweredWithAnErrorStatusIsNotLoaded) {
  if (!HaveBrowser()) GTEST_SKIP() << "no chromium";
  StatusServer server;
  Probe probe;
  probe.firstPage = "<p>first</p>";
  probe.Open();
  ASSERT_TRUE(probe.WaitUntil([&] { return probe.loaded == 1; }));
  // Error statuses with a body the browser shows: not a loaded page.
  for (const int status : {404, 500, 403}) {
    probe.EvaluateJavaScript(("location.href = '" + server.Url(status) + "'").c_str());
    EXPECT_TRUE(probe.WaitForValue("document.body.textContent", "status " + std::to_string(status))) << status;
  }
  // A page missing from the mapped folder: an empty 404 of the virtual host.
  const auto folder = std::filesystem::temp_directory_path() / "kyr-webview-missing-test";
  std::filesystem::create_directories(folder);
  probe.LoadFile((folder / "missing.html").c_str());
  // Chromium shows its own error page for it.
  EXPECT_TRUE(probe.WaitForValue("location.href", "chrome-error:"));
  std::filesystem::remove_all(folder);
  // A successful load afterwards is the second and last one counted.
  probe.EvaluateJavaScript(("location.href = '" + server.Url(200) + "'").c_str());
  ASSERT_TRUE(probe.WaitUntil([&] { return probe.loaded >= 2; }));
  // The load report can come before the page's script context answers: wait for its text. A
  // load counted for any other page shows in the final count.
  EXPECT_TRUE(probe.WaitForValue("document.body.textContent", "status 200"));
  probe.LoadHTML("<p>last</p>");
  ASSERT_TRUE(probe.WaitUntil([&] { return probe.loaded >= 3; }));
  EXPECT_EQ(probe.loaded, 3);
}

TEST(WebViewHost, StatementsFromTheHostThreadFollowWhatTheLoopThreadReadBefore) {
  if (!HaveBrowser()) GTEST_SKIP() << "no chromium";
  Probe probe;
  probe.firstPage = "<script>window.v = 0;</script>";
  probe.Open();
  ASSERT_TRUE(probe.WaitUntil([&] { return probe.loaded == 1; }));
  // The loop thread has read the old value 1 when the host thread sets and sends 2; the loop
  // thread then sends what it read. The page must end on the value set last.
  std::atomic<bool> reading{false}, hostSent{false}, done{false};
  oskel::platform::PostToUIThread([&] {
    reading = true;
    while (!hostSent) std::this_thread::yield();
    probe.EvaluateJavaScript("window.v = 1");
    done = true;
  });
  while (!reading) std::this_thread::yield();
  probe.EvaluateJavaScript("window.v = 2");
  hostSent = true;
  while (!done) std::this_thread::yield();
  oskel::platform::RunLoop::Get().Flush();
  EXPECT_NE(probe.Evaluate("window.v").find("\"value\":2"), std::string::npos) << probe.Evaluate("window.v");
}

TEST(WebViewHost, TheContentScaleBecomesThePagesPixelRatio) {
  if (!HaveBrowser()) GTEST_SKIP() << "no chromium";
  Probe probe;
  probe.firstPage = "<p>scaled</p>";
  probe.OpenWebView(nullptr, 0, 0, 1200, 560, 1.25f);
  ASSERT_TRUE(probe.WaitUntil([&] { return probe.loaded == 1; }));
  EXPECT_TRUE(probe.WaitForValue("[devicePixelRatio, innerWidth, innerHeight]", "[1.25,1201,561]"));
  probe.SetWebViewScale(2.0f);
  EXPECT_TRUE(probe.WaitForValue("[devicePixelRatio, innerWidth, innerHeight]", "[2,1201,561]"));
  for (const float invalid : {0.0f, -1.0f, std::nanf("")}) probe.SetWebViewScale(invalid);
  probe.SetWebViewBounds(0, 0, 600, 280);
  EXPECT_TRUE(probe.WaitForValue("[devicePixelRatio, innerWidth, innerHeight]", "[2,601,281]"));
}

namespace {

// A page listener that declines new windows whose address names "declined" and handles the rest.
class PopupListener : public oskel::platform::WebViewListener {
 public:
  void OnWebViewCreated(bool ok) override { created = ok; }
  bool OnNavigationStarting(const std::string&) override { return true; }
  void OnNavigationCompleted(bool success) override { loaded += success ? 1 : 0; }
  void OnWebMessage(const std::string&) override {}
  bool OnNewWindowRequested(const std::string& url) override {
    ++requests;
    return url.find("declined") == std::string::npos;
  }

  std::atomic<bool> created{false};
  std::atomic<int> loaded{0};
  std::atomic<int> requests{0};
};

}  // namespace

TEST(WebViewHost, AHandledLinkClosesItsOwnPopupAndLeavesADeclinedOne) {
  if (!HaveBrowser()) GTEST_SKIP() << "no chromium";
  setenv("KYR_WEBVIEW_HEADLESS", "1", 1);
  StatusServer server;
  PopupListener listener;
  const std::string html = "<style>a{display:block;height:100px}</style><a href='" + server.Url(200) +
                  "?declined' target='_blank'>one</a><a href='" + server.Url(200) + "?handled' target='_blank'>two</a>";
  auto page = oskel::platform::CreateWebView(nullptr, {0, 0, 400, 400}, &listener, false);
  ASSERT_NE(page, nullptr);
  const auto until = [](const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + kTimeout;
    while (!done() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return done();
  };
  ASSERT_TRUE(until([&] { return listener.created.load(); }));
  page->NavigateToString(html);
  ASSERT_TRUE(until([&] { return listener.loaded.load() == 1; }));
  std::string ignored;
  for (const int y : {50, 150}) {
    for (const char* type : {"mousePressed", "mouseReleased"})
      page->CallDevTools(
          "Input.dispatchMouseEvent",
          std::string(R"({"type":")") + type + R"(","x":20,"y":)" + std::to_string(y) + R"(,"button":"left","clickCount":1})",
          ignored, 10000);
  }
  // The popups that remain: only the declined one.
  std::string popups;
  const bool settled = until([&] {
    std::string targets;
    if (!page->CallDevTools("Target.getTargets", "{}", targets, 10000)) return false;
    const auto json = nlohmann::json::parse(targets, nullptr, false);
    popups.clear();
    for (const auto& info : json.value("targetInfos", nlohmann::json::array()))
      if (info.value("type", "") == "page" && info.value("url", "").find("127.0.0.1") != std::string::npos)
        popups += info.value("url", "") + " ";
    return listener.requests.load() == 2 && popups.find("handled") == std::string::npos &&
           popups.find("declined") != std::string::npos;
  });
  EXPECT_TRUE(settled) << popups;
  page->Close();
}
