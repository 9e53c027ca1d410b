#include <unistd.h>

#include <cstdlib>
#include <mutex>

#include "RunLoop.h"
#include "WebViewBrowser.h"
#include "WebViewPage.h"
#include "platform/Platform.h"

namespace oskel::platform {

const char* const kWebViewVirtualHost = "plugin.oskel.example";

namespace {

// KYR_CHROMIUM names another browser executable; by default Debian's Chromium binary.
std::string BrowserExecutable() {
  if (const char* path = std::getenv("KYR_CHROMIUM")) return path;
  for (const char* path : {"/usr/lib/chromium/chromium", "/usr/bin/chromium"})
    if (access(path, X_OK) == 0) return path;
  return {};
}

// Headless unless a display exists; KYR_WEBVIEW_HEADLESS=1 or 0 decides otherwise.
bool RunHeadless() {
  if (const char* flag = std::getenv("KYR_WEBVIEW_HEADLESS")) return std::string(flag) != "0";
  return !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY");
}

// The process-wide browser: started by the first editor, reused by every later one, and ended
// (with its helper processes and profile folder) when the process ends or the module unloads.
class SharedBrowser {
 public:
  std::shared_ptr<ChromiumBrowser> Get() {
    std::lock_guard<std::mutex> lock(mMutex);
    if (mBrowser && mBrowser->IsAlive()) return mBrowser;
    // A browser that has gone away is replaced; one that never started is tried again next time.
    if (mBrowser) mBrowser->Shutdown();
    mBrowser = ChromiumBrowser::Launch(BrowserExecutable(), RunHeadless());
    return mBrowser;
  }

  ~SharedBrowser() {
    std::lock_guard<std::mutex> lock(mMutex);
    if (mBrowser) mBrowser->Shutdown();
  }

 private:
  std::mutex mMutex;
  std::shared_ptr<ChromiumBrowser> mBrowser;
};

SharedBrowser& GetSharedBrowser() {
  // The run loop that receives the browser's events must outlive the browser, so it is built
  // first (statics end in the reverse order of their construction).
  RunLoop::Get();
  static SharedBrowser shared;
  return shared;
}

}  // namespace

std::shared_ptr<WebView> CreateWebView(void* /*parentWindow*/, const WebViewRect& bounds, WebViewListener* listener,
                                       bool /*devTools*/) {
  std::shared_ptr<ChromiumBrowser> browser = GetSharedBrowser().Get();
  if (!browser || !listener) return nullptr;
  auto page = std::make_shared<ChromiumPage>(std::move(browser), bounds, listener);
  page->Start();
  return page;
}

// The browser draws into its own window (or none, headless): there is no parent window whose
// size or scale could be read.
bool GetWindowClientRect(void* /*window*/, WebViewRect& /*rect*/) { return false; }

float GetWindowScale(void* /*window*/) { return 1.0f; }

}  // namespace oskel::platform
