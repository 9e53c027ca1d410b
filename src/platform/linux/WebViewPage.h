#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "WebViewBrowser.h"
#include "platform/Platform.h"

namespace oskel::platform {

// One editor page in the shared Chromium: a browser target with its own DevTools session.
//
// Creation runs as a chain of commands (create the target, attach, enable the page, runtime
// and request-interception domains, install the message binding and its shim); the listener
// hears OnWebViewCreated when the chain has finished. Documents of the virtual host are served
// by the page itself from request interception: the text given to NavigateToString at the
// root, and the files of the mapped folder below it. Every main-frame navigation is first put
// to the listener's OnNavigationStarting.
//
// A navigation counts as successful unless it ended on the browser's error page or the main
// document was answered with an HTTP error status (4xx, 5xx), as WebView2 reports it.
//
// Popups: every new-window request of the page is paired with the popup it opens (both are
// reported in the order the page asked for them); a popup is closed when the listener has
// handled its own request, and left alone when the listener declined it.
//
// Threads: the operations come from any thread, but the page's commands are sent from the
// user-interface thread only (operations from other threads are posted there), so that
// statements reach the page in the order that thread sees them. Events are handled on the
// browser's reader thread, and everything for the listener is posted to the user-interface
// thread, where it runs under the listener slot's lock, so that Close() can wait for a call in
// progress and forbid any later one.
class ChromiumPage final : public WebView, public std::enable_shared_from_this<ChromiumPage> {
 public:
  ChromiumPage(std::shared_ptr<ChromiumBrowser> browser, const WebViewRect& bounds, WebViewListener* listener);
  ~ChromiumPage() override;

  void Start();

  void AddDocumentScript(const std::string& script) override;
  void NavigateToString(const std::string& html) override;
  void MapVirtualHostToFolder(const std::string& folder) override;
  void Navigate(const std::string& url) override;
  void ExecuteScript(const std::string& script) override;
  void SetBounds(const WebViewRect& bounds) override;
  void SetDeviceScale(float scale) override;
  bool CallDevTools(const std::string& method, const std::string& paramsJson, std::string& resultJson,
                    int timeoutMs) override;
  void Close() override;

 private:
  struct ListenerSlot {
    std::recursive_mutex mutex;
    WebViewListener* listener = nullptr;
  };

  // Sends a command on this page's session; dropped before the session exists or after Close.
  void SendToPage(const std::string& method, nlohmann::json params, ChromiumBrowser::Reply reply = nullptr);
  void Attach(const std::string& targetId);
  void SetUp(const std::string& sessionId);
  void Fail();
  void OnEvent(const std::string& method, const nlohmann::json& params);
  void OnRequestPaused(const nlohmann::json& params);
  // Answers a paused request: refused, served from the virtual host, or passed on.
  void ResolveRequest(const std::string& requestId, const std::string& url, bool allowed);
  // Closes the popups whose request was handled; forgets those whose request was declined.
  void SettlePopups();
  // The page's size (CSS pixels) and device scale, as the browser's device metrics.
  void SendDeviceMetrics();
  // Runs `operation` on the user-interface thread: now when called there, else posted.
  void OnUIThread(std::function<void(ChromiumPage&)> operation);
  template <typename Call>
  void PostToListener(Call call);

  const std::shared_ptr<ChromiumBrowser> mBrowser;
  const std::shared_ptr<ListenerSlot> mSlot;

  std::mutex mMutex;
  std::string mTargetId;
  std::string mSessionId;
  bool mClosed = false;
  bool mNavigated = false;      // a navigation of ours has been asked for
  std::string mMainFrameUrl;    // the document the main frame shows
  std::string mHtml;            // the text served at the virtual host's root
  std::string mFolder;          // the folder served below it
  int mMainFrameStatus = 0;     // HTTP status of the main document (0: none or unknown)
  WebViewRect mBounds;
  float mScale = 1.0f;
  // Popups and new-window requests, numbered in the order the browser reports them; the n-th
  // request opened the n-th popup.
  int mPopupCount = 0;
  int mRequestCount = 0;
  std::map<int, std::string> mPopups;  // popup number -> its target
  std::map<int, bool> mDecisions;      // request number -> handled (true) or declined
};

}  // namespace oskel::platform
