#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "ComObject.h"
#include "platform/Platform.h"

namespace oskel::platform::win {

// One editor page in Microsoft Edge WebView2: a controller placed in the host's window, made
// from the process-wide environment, and its web view. The runtime delivers every callback and
// event on the thread that created the page (the host's user-interface thread), and every
// runtime call is made there too: an operation called on another thread is posted to it.
//
// The runtime's handlers hold the page only weakly, so a page that has been closed or dropped
// ignores late events, and a controller that arrives after Close is closed at once.
class WebViewPage final : public WebView, public std::enable_shared_from_this<WebViewPage> {
 public:
  WebViewPage(HWND parent, const WebViewRect& bounds, WebViewListener* listener, bool devTools);
  ~WebViewPage() override;

  // Asks for the environment (and then the controller). False when no request could be made,
  // in which case the listener hears nothing.
  bool Start();

  void AddDocumentScript(const std::string& script) override;
  void NavigateToString(const std::string& html) override;
  void MapVirtualHostToFolder(const std::string& folder) override;
  void Navigate(const std::string& url) override;
  void ExecuteScript(const std::string& script) override;
  void SetBounds(const WebViewRect& bounds) override;
  // WebView2 answers browser commands only through the message loop of this thread, which a
  // caller waiting here would block: not offered.
  bool CallDevTools(const std::string& method, const std::string& paramsJson, std::string& resultJson,
                    int timeoutMs) override;
  void Close() override;

 private:
  void OnEnvironment(ICoreWebView2Environment* environment);
  void OnController(ICoreWebView2Controller* controller);
  void ApplySettings();
  void RegisterEventHandlers();
  void ReleaseAll();
  // Where the control goes for a requested rectangle.
  WebViewRect Placement(const WebViewRect& requested) const;

  // Event handlers (WebViewEvents.cpp).
  void OnWebMessage(ICoreWebView2WebMessageReceivedEventArgs* args);
  void OnNavigationStarting(ICoreWebView2NavigationStartingEventArgs* args);
  void OnNavigationCompleted(ICoreWebView2NavigationCompletedEventArgs* args);
  void OnNewWindowRequested(ICoreWebView2NewWindowRequestedEventArgs* args);
  void OnDownloadStarting(ICoreWebView2DownloadStartingEventArgs* args);
  void WatchDownload(ICoreWebView2DownloadOperation* operation);

  // Runs `call` with the listener unless the page is closed; Close waits for a call in progress.
  template <typename Result>
  Result WithListener(Result closedResult, const std::function<Result(WebViewListener&)>& call);
  // Runs `operation` with the web view (and the page) on the user-interface thread, at once
  // when called there; nothing happens without a web view.
  void WithWebView(std::function<void(WebViewPage&, ICoreWebView2&)> operation);

  const HWND mParent;
  const WebViewRect mInitialBounds;
  const bool mDevTools;
  const DWORD mThreadId;

  std::recursive_mutex mListenerMutex;
  WebViewListener* mListener;
  std::atomic<bool> mClosed{false};

  ComRef<ICoreWebView2Environment> mEnvironment;
  ComRef<ICoreWebView2Controller> mController;
  ComRef<ICoreWebView2> mWebView;
  EventRegistrationToken mWebMessageToken{};
  EventRegistrationToken mNavigationStartingToken{};
  EventRegistrationToken mNavigationCompletedToken{};
  EventRegistrationToken mNewWindowToken{};
  EventRegistrationToken mDownloadStartingToken{};
};

template <typename Result>
Result WebViewPage::WithListener(Result closedResult, const std::function<Result(WebViewListener&)>& call) {
  std::lock_guard<std::recursive_mutex> lock(mListenerMutex);
  if (mClosed || !mListener) return closedResult;
  return call(*mListener);
}

}  // namespace oskel::platform::win
