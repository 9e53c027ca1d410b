// The browser's events of one editor page, turned into listener calls.
#include <windows.h>
#include <wininet.h>

#include "WebViewPage.h"
#include "WideText.h"

namespace oskel::platform::win {

namespace {

// The registrations of one download's progress and state events, removed when it ends.
struct DownloadWatch {
  EventRegistrationToken bytesReceived{};
  EventRegistrationToken stateChanged{};
};

bool IsOnline() {
  DWORD flags = 0;
  return InternetGetConnectedState(&flags, 0) != FALSE;
}

}  // namespace

void WebViewPage::OnWebMessage(ICoreWebView2WebMessageReceivedEventArgs* args) {
  LPWSTR json = nullptr;
  if (!args || FAILED(args->get_WebMessageAsJson(&json))) return;
  const std::string text = TakeString(json);
  WithListener<bool>(false, [&text](WebViewListener& listener) {
    listener.OnWebMessage(text);
    return true;
  });
}

void WebViewPage::OnNavigationStarting(ICoreWebView2NavigationStartingEventArgs* args) {
  LPWSTR uri = nullptr;
  if (!args || FAILED(args->get_Uri(&uri))) return;
  const std::string url = TakeString(uri);
  const bool allowed =
      WithListener<bool>(true, [&url](WebViewListener& listener) { return listener.OnNavigationStarting(url); });
  if (!allowed) args->put_Cancel(TRUE);
}

void WebViewPage::OnNavigationCompleted(ICoreWebView2NavigationCompletedEventArgs* args) {
  BOOL success = FALSE;
  if (!args || FAILED(args->get_IsSuccess(&success))) return;
  WithListener<bool>(false, [success](WebViewListener& listener) {
    listener.OnNavigationCompleted(success != FALSE);
    return true;
  });
}

void WebViewPage::OnNewWindowRequested(ICoreWebView2NewWindowRequestedEventArgs* args) {
  // Links to other windows go to the user's browser, when there is a network to reach them;
  // otherwise (or when the shell fails) the request keeps the runtime's default handling.
  ComRef<ICoreWebView2NewWindowRequestedEventArgs2> args2 =
      ComRef<ICoreWebView2NewWindowRequestedEventArgs>::Share(args).As<ICoreWebView2NewWindowRequestedEventArgs2>();
  if (!args2 || !IsOnline()) return;
  LPWSTR uri = nullptr;
  if (FAILED(args2->get_Uri(&uri))) return;
  const std::string url = TakeString(uri);
  if (WithListener<bool>(false, [&url](WebViewListener& listener) { return listener.OnNewWindowRequested(url); }))
    args2->put_Handled(TRUE);
}

void WebViewPage::OnDownloadStarting(ICoreWebView2DownloadStartingEventArgs* args) {
  if (!args) return;
  // The runtime shows no download interface of its own.
  args->put_Handled(TRUE);
  ComRef<ICoreWebView2DownloadOperation> operation;
  if (FAILED(args->get_DownloadOperation(operation.Receive())) || !operation) return;
  LPWSTR mimeType = nullptr;
  std::string mime = SUCCEEDED(operation->get_MimeType(&mimeType)) ? TakeString(mimeType) : std::string();
  if (!WithListener<bool>(false, [&mime](WebViewListener& listener) { return listener.OnDownloadStarting(mime); }))
    args->put_Cancel(TRUE);
  LPWSTR proposed = nullptr;
  const std::string proposedPath = SUCCEEDED(args->get_ResultFilePath(&proposed)) ? TakeString(proposed) : std::string();
  const std::string localPath = WithListener<std::string>(
      {}, [&proposedPath](WebViewListener& listener) { return listener.OnDownloadPath(proposedPath); });
  if (!localPath.empty()) args->put_ResultFilePath(ToWide(localPath).c_str());
  WatchDownload(operation.Get());
}

void WebViewPage::WatchDownload(ICoreWebView2DownloadOperation* operation) {
  std::weak_ptr<WebViewPage> weak = weak_from_this();
  auto watch = std::make_shared<DownloadWatch>();
  auto bytesReceived = BytesReceivedChanged::Make([weak](ICoreWebView2DownloadOperation* sender, IUnknown*) {
    auto self = weak.lock();
    INT64 received = 0;
    INT64 total = 0;
    if (!self || !sender || FAILED(sender->get_BytesReceived(&received))) return S_OK;
    sender->get_TotalBytesToReceive(&total);
    self->WithListener<bool>(false, [received, total](WebViewListener& listener) {
      listener.OnDownloadProgress(received, total);
      return true;
    });
    return S_OK;
  });
  auto stateChanged = StateChanged::Make([weak, watch](ICoreWebView2DownloadOperation* sender, IUnknown*) {
    COREWEBVIEW2_DOWNLOAD_STATE state = COREWEBVIEW2_DOWNLOAD_STATE_IN_PROGRESS;
    if (!sender || FAILED(sender->get_State(&state)) || state == COREWEBVIEW2_DOWNLOAD_STATE_IN_PROGRESS)
      return S_OK;
    sender->remove_BytesReceivedChanged(watch->bytesReceived);
    sender->remove_StateChanged(watch->stateChanged);
    LPWSTR path = nullptr;
    const std::string file = SUCCEEDED(sender->get_ResultFilePath(&path)) ? TakeString(path) : std::string();
    const bool completed = state == COREWEBVIEW2_DOWNLOAD_STATE_COMPLETED;
    if (auto self = weak.lock())
      self->WithListener<bool>(false, [&file, completed](WebViewListener& listener) {
        listener.OnDownloadFinished(file, completed);
        return true;
      });
    return S_OK;
  });
  operation->add_BytesReceivedChanged(bytesReceived.Get(), &watch->bytesReceived);
  operation->add_StateChanged(stateChanged.Get(), &watch->stateChanged);
}

}  // namespace oskel::platform::win
