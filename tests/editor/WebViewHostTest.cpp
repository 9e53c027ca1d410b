// The web view host on headless Chromium (skipped without it); each test starts at most one browser.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "editor/IWebView.h"
#include "platform/Platform.h"
#include "platform/linux/RunLoop.h"
#include "platform/linux/WebViewBrowser.h"

namespace {

// Polls `done` for up to 30 s (a deadline against hanging, not a measure of speed).
bool Until(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!done() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return done();
}

// A web view that records its hooks (they arrive on the loop thread) and loads `firstPage` when ready.
class Probe : public oskel::IWebView {
 public:
  Probe() { setenv("KYR_WEBVIEW_HEADLESS", "1", 1); }
  ~Probe() override { CloseWebView(); }

  void OnWebViewReady() override {
    ++ready;
    if (!firstPage.empty()) LoadHTML(firstPage.c_str());
  }
  void OnWebContentLoaded() override { ++loaded; }
  void OnMessageFromWebView(const char* json) override {
    std::lock_guard<std::mutex> lock(mMutex);
    mMessages.push_back(json);
  }

  std::vector<std::string> Messages() {
    std::lock_guard<std::mutex> lock(mMutex);
    return mMessages;
  }
  std::string Evaluate(const std::string& expression) {
    std::string result;
    const std::string params = R"({"expression":")" + expression + R"(","returnByValue":true})";
    return CallDevTools("Runtime.evaluate", params, result, 10000) ? result : "<failed>";
  }
  // Waits until a script expression's JSON result contains `expected`.
  bool Shows(const std::string& expression, const std::string& expected) {
    return Until([&] { return Evaluate(expression).find(expected) != std::string::npos; });
  }
  void Open(float scale = 1.0f) { OpenWebView(nullptr, 0, 0, 1200, 560, scale); }

  std::atomic<int> ready{0}, loaded{0};
  std::string firstPage;

 private:
  std::mutex mMutex;
  std::vector<std::string> mMessages;
};

// A loopback web server answering "/<status>" with that HTTP status and a body naming it.
class StatusServer {
 public:
  StatusServer() : mSocket(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    bind(mSocket, reinterpret_cast<sockaddr*>(&address), size);
    listen(mSocket, 8);
    getsockname(mSocket, reinterpret_cast<sockaddr*>(&address), &size);
    mPort = ntohs(address.sin_port);
    mThread = std::thread([this] {
      for (int client; (client = accept(mSocket, nullptr, nullptr)) >= 0; close(client)) {
        timeval wait{1, 0};  // the browser opens spare connections that may never carry a request
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        std::string request;
        char buffer[1024];
        for (ssize_t n; request.find("\r\n\r\n") == std::string::npos && (n = read(client, buffer, sizeof buffer)) > 0;)
          request.append(buffer, static_cast<size_t>(n));
        const int status = request.size() > 5 ? std::atoi(request.c_str() + 5) : 0;  // after "GET /"
        const std::string body = "<p>status " + std::to_string(status) + "</p>";
        const std::string answer = "HTTP/1.1 " + std::to_string(status > 0 ? status : 404) +
                                   " X\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
                                   "\r\nConnection: close\r\n\r\n" + body;
        if (!request.empty()) send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
      }
    });
  }
  ~StatusServer() {
    shutdown(mSocket, SHUT_RDWR);
    close(mSocket);
    mThread.join();
  }
  std::string Url(int status) const { return "http://127.0.0.1:" + std::to_string(mPort) + "/" + std::to_string(status); }

 private:
  int mSocket;
  int mPort = 0;
  std::thread mThread;
};

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
  std::atomic<int> loaded{0}, requests{0};
};

}  // namespace

// One browser for every editor: pages, messages both ways in order, key scripts, cross-thread
// statement order, scale, error pages, popups, and editors closed while their page is made.
TEST(WebViewHost, OneBrowserServesEditorsPagesMessagesScaleErrorsAndPopups) {
  if (!std::filesystem::exists("/usr/bin/chromium")) GTEST_SKIP() << "no chromium";
  const int launchesBefore = oskel::platform::ChromiumBrowser::LaunchCount();
  Probe probe;
  probe.firstPage =
      "<html><body><input><script>IPluginSendMsg({msg:'hello'});"
      "function SPVFD(i, v) { IPluginSendMsg({msg:'echo', i:i, v:v}); }</script></body></html>";
  probe.Open(1.25f);
  ASSERT_TRUE(Until([&] { return probe.loaded == 1 && !probe.Messages().empty(); }));
  EXPECT_EQ(probe.Messages()[0], R"({"msg":"hello"})");
  EXPECT_TRUE(probe.Shows("[devicePixelRatio, innerWidth, innerHeight]", "[1.25,1201,561]"));

  for (int i = 0; i < 20; ++i) probe.EvaluateJavaScript(("SPVFD(" + std::to_string(i) + ", 0.5)").c_str());
  ASSERT_TRUE(Until([&] { return probe.Messages().size() == 21; }));
  // The injected key scripts forward keys typed outside text fields, and not those typed into one.
  const auto key = [&](const char* type, const char* text) {
    std::string ignored;
    return probe.CallDevTools("Input.dispatchKeyEvent", std::string(R"({"type":")") + type + R"(","key":")" + text +
                              R"(","text":")" + text + R"(","windowsVirtualKeyCode":65})", ignored, 10000);
  };
  ASSERT_TRUE(key("keyDown", "a"));
  probe.Evaluate("document.querySelector('input').focus()");
  ASSERT_TRUE(key("keyDown", "b"));
  probe.Evaluate("document.activeElement.blur()");
  ASSERT_TRUE(key("keyUp", "a"));
  ASSERT_TRUE(Until([&] { return probe.Messages().size() >= 23; }));
  const std::vector<std::string> messages = probe.Messages();
  for (int i = 0; i < 20; ++i) EXPECT_EQ(messages[1 + i], R"({"msg":"echo","i":)" + std::to_string(i) + R"(,"v":0.5})");
  EXPECT_EQ(messages[21], R"({"msg":"SKPFUI","keyCode":65,"utf8":"a","S":false,"C":false,"A":false,"isUp":false})");
  EXPECT_EQ(messages[22], R"({"msg":"SKPFUI","keyCode":65,"utf8":"a","S":false,"C":false,"A":false,"isUp":true})");

  // The loop thread sends a stale 1 it read before the host thread sent 2: the page must end on 2.
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

  probe.SetWebViewScale(2.0f);
  EXPECT_TRUE(probe.Shows("[devicePixelRatio, innerWidth, innerHeight]", "[2,1201,561]"));
  for (const float invalid : {0.0f, -1.0f, std::nanf("")}) probe.SetWebViewScale(invalid);
  probe.SetWebViewBounds(0, 0, 600, 280);
  EXPECT_TRUE(probe.Shows("[devicePixelRatio, innerWidth, innerHeight]", "[2,601,281]"));

  // Error pages (HTTP >= 400, Chromium's own) are not loads.
  StatusServer server;
  for (const int status : {404, 500, 403}) {
    probe.EvaluateJavaScript(("location.href = '" + server.Url(status) + "'").c_str());
    EXPECT_TRUE(probe.Shows("document.body.textContent", "status " + std::to_string(status))) << status;
  }
  probe.LoadFile("/nonexistent-kyr-folder/missing.html");  // the virtual host's empty 404, then Chromium's error page
  EXPECT_TRUE(probe.Shows("location.href", "chrome-error:"));
  // The next good load is the second counted; any other counted load shows in the final count.
  probe.EvaluateJavaScript(("location.href = '" + server.Url(200) + "'").c_str());
  ASSERT_TRUE(Until([&] { return probe.loaded >= 2; }));
  EXPECT_TRUE(probe.Shows("document.body.textContent", "status 200"));
  probe.LoadHTML("<p>last</p>");
  ASSERT_TRUE(Until([&] { return probe.loaded >= 3; }));
  EXPECT_EQ(probe.loaded, 3);

  // A handled link's popup closes, a declined one stays.
  PopupListener listener;
  const std::string html = "<style>a{display:block;height:100px}</style><a href='" + server.Url(200) +
                           "?declined' target='_blank'>one</a><a href='" + server.Url(200) +
                           "?handled' target='_blank'>two</a>";
  auto page = oskel::platform::CreateWebView(nullptr, {0, 0, 400, 400}, &listener, false);
  ASSERT_NE(page, nullptr);
  ASSERT_TRUE(Until([&] { return listener.created.load(); }));
  page->NavigateToString(html);
  ASSERT_TRUE(Until([&] { return listener.loaded.load() == 1; }));
  std::string ignored;
  for (const int y : {50, 150})
    for (const char* type : {"mousePressed", "mouseReleased"})
      page->CallDevTools("Input.dispatchMouseEvent",
                         std::string(R"({"type":")") + type + R"(","x":20,"y":)" + std::to_string(y) +
                             R"(,"button":"left","clickCount":1})",
                         ignored, 10000);
  // The popups that remain: only the declined one.
  std::string popups;
  const bool settled = Until([&] {
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

  probe.CloseWebView();  // the browser outlives its last page
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
  ASSERT_TRUE(Until([&] { return last.loaded == 1; }));
  EXPECT_EQ(oskel::platform::ChromiumBrowser::LaunchCount() - launchesBefore, 1);
}

TEST(WebViewHost, AMissingBrowserLeavesTheEditorEmpty) {
  if (oskel::platform::ChromiumBrowser::LaunchCount() > 0) GTEST_SKIP() << "a browser already runs in this process";
  setenv("KYR_CHROMIUM", "/nonexistent/chromium", 1);
  Probe probe;
  probe.Open();
  probe.LoadHTML("<p>nothing</p>");
  probe.EvaluateJavaScript("1");
  probe.SetWebViewBounds(0, 0, 100, 100);
  EXPECT_EQ(probe.Evaluate("1"), "<failed>");
  probe.CloseWebView();
  unsetenv("KYR_CHROMIUM");
  EXPECT_EQ(probe.ready, 0);
  EXPECT_EQ(oskel::platform::ChromiumBrowser::LaunchCount(), 0);
}
