// The fake runtime's web view, settings, event arguments and download operation.
#include "FakeWebView.h"

#include <algorithm>
#include <memory>

#include "FakeWebView2.h"

namespace fake {

namespace {

std::vector<FakeWebView*> gWebViews;
bool gFailNextNavigation = false;

std::string Flag(BOOL value) { return value ? " 1" : " 0"; }

class FakeSettings final : public Object<ICoreWebView2Settings> {
 public:
#define FAKE_SETTING(name)                                                   \
  FAKE_LOGGED(put_##name, (BOOL value), "Settings.put_" #name + Flag(value)) \
  FAKE_NOTIMPL(get_##name, BOOL*)
  FAKE_SETTING(IsScriptEnabled)
  FAKE_SETTING(IsWebMessageEnabled)
  FAKE_SETTING(AreDefaultScriptDialogsEnabled)
  FAKE_SETTING(IsStatusBarEnabled)
  FAKE_SETTING(AreDevToolsEnabled)
  FAKE_SETTING(AreDefaultContextMenusEnabled)
  FAKE_SETTING(AreHostObjectsAllowed)
  FAKE_SETTING(IsZoomControlEnabled)
  FAKE_SETTING(IsBuiltInErrorPageEnabled)
#undef FAKE_SETTING
};

class WebMessageArgs final : public Object<ICoreWebView2WebMessageReceivedEventArgs> {
 public:
  explicit WebMessageArgs(const wchar_t* json) : mJson(json) {}
  FAKE_GET(get_WebMessageAsJson, LPWSTR, TaskString(mJson.c_str()))
  FAKE_NOTIMPL(get_Source, LPWSTR*)
  FAKE_NOTIMPL(TryGetWebMessageAsString, LPWSTR*)

 private:
  std::wstring mJson;
};

class NavigationStartingArgs final : public Object<ICoreWebView2NavigationStartingEventArgs> {
 public:
  explicit NavigationStartingArgs(std::wstring uri) : mUri(std::move(uri)) {}
  FAKE_GET(get_Uri, LPWSTR, TaskString(mUri.c_str()))
  HRESULT STDMETHODCALLTYPE put_Cancel(BOOL cancel) override {
    Log("NavigationStarting.put_Cancel" + Flag(cancel));
    mCancel = cancel;
    return S_OK;
  }
  FAKE_NOTIMPL(get_IsUserInitiated, BOOL*)
  FAKE_NOTIMPL(get_IsRedirected, BOOL*)
  FAKE_NOTIMPL(get_RequestHeaders, ICoreWebView2HttpRequestHeaders**)
  FAKE_NOTIMPL(get_Cancel, BOOL*)
  FAKE_NOTIMPL(get_NavigationId, UINT64*)
  BOOL mCancel = FALSE;

 private:
  std::wstring mUri;
};

class NavigationCompletedArgs final : public Object<ICoreWebView2NavigationCompletedEventArgs> {
 public:
  explicit NavigationCompletedArgs(BOOL success) : mSuccess(success) {}
  FAKE_GET(get_IsSuccess, BOOL, mSuccess)
  FAKE_NOTIMPL(get_WebErrorStatus, COREWEBVIEW2_WEB_ERROR_STATUS*)
  FAKE_NOTIMPL(get_NavigationId, UINT64*)

 private:
  BOOL mSuccess;
};

class NewWindowArgs final
    : public Object<ICoreWebView2NewWindowRequestedEventArgs2, ICoreWebView2NewWindowRequestedEventArgs> {
 public:
  explicit NewWindowArgs(const wchar_t* uri) : mUri(uri) {}
  FAKE_GET(get_Uri, LPWSTR, TaskString(mUri.c_str()))
  FAKE_LOGGED(put_Handled, (BOOL handled), "NewWindowRequested.put_Handled" + Flag(handled))
  FAKE_NOTIMPL(put_NewWindow, ICoreWebView2*)
  FAKE_NOTIMPL(get_NewWindow, ICoreWebView2**)
  FAKE_NOTIMPL(get_Handled, BOOL*)
  FAKE_NOTIMPL(get_IsUserInitiated, BOOL*)
  FAKE_NOTIMPL(GetDeferral, ICoreWebView2Deferral**)
  FAKE_NOTIMPL(get_WindowFeatures, ICoreWebView2WindowFeatures**)
  FAKE_NOTIMPL(get_Name, LPWSTR*)

 private:
  std::wstring mUri;
};

class DownloadOperation final : public Object<ICoreWebView2DownloadOperation> {
 public:
  explicit DownloadOperation(const wchar_t* mimeType) : mMimeType(mimeType) {}
// An event the operation keeps one handler for, under a fixed registration token.
#define FAKE_DOWNLOAD_EVENT(event, member, tokenValue)                                                   \
  HRESULT STDMETHODCALLTYPE add_##event(ICoreWebView2##event##EventHandler* handler,                     \
                                        EventRegistrationToken* token) override {                         \
    Log("Download.add_" #event);                                                                         \
    member.Reset(handler);                                                                               \
    token->value = tokenValue;                                                                           \
    return S_OK;                                                                                         \
  }                                                                                                      \
  HRESULT STDMETHODCALLTYPE remove_##event(EventRegistrationToken token) override {                      \
    Log("Download.remove_" #event " " + std::to_string(token.value));                                    \
    member.Reset();                                                                                      \
    return S_OK;                                                                                         \
  }
  FAKE_DOWNLOAD_EVENT(BytesReceivedChanged, mBytesReceived, 11)
  FAKE_DOWNLOAD_EVENT(StateChanged, mStateChanged, 12)
#undef FAKE_DOWNLOAD_EVENT
  FAKE_GET(get_MimeType, LPWSTR, TaskString(mMimeType.c_str()))
  FAKE_GET(get_TotalBytesToReceive, INT64, 100)
  FAKE_GET(get_BytesReceived, INT64, 40)
  FAKE_GET(get_ResultFilePath, LPWSTR, TaskString(L"C:\\downloads\\file.bin"))
  FAKE_GET(get_State, COREWEBVIEW2_DOWNLOAD_STATE, mState)
  FAKE_NOTIMPL_EVENT(EstimatedEndTimeChanged)
  FAKE_NOTIMPL(get_Uri, LPWSTR*)
  FAKE_NOTIMPL(get_ContentDisposition, LPWSTR*)
  FAKE_NOTIMPL(get_EstimatedEndTime, LPWSTR*)
  FAKE_NOTIMPL(get_InterruptReason, COREWEBVIEW2_DOWNLOAD_INTERRUPT_REASON*)
  FAKE_NOTIMPL(Cancel)
  FAKE_NOTIMPL(Pause)
  FAKE_NOTIMPL(Resume)
  FAKE_NOTIMPL(get_CanResume, BOOL*)

  void RaiseProgress() {
    if (auto* handler = mBytesReceived.Get()) handler->Invoke(this, nullptr);
  }
  void End(COREWEBVIEW2_DOWNLOAD_STATE state) {
    mState = state;
    ICoreWebView2StateChangedEventHandler* handler = mStateChanged.Get();
    if (!handler) return;
    // The handler removes itself while it runs; a runtime may or may not hold it meanwhile.
    const bool hold = (gModes & kFakeNoReferenceDuringInvoke) == 0;
    if (hold) handler->AddRef();
    handler->Invoke(this, nullptr);
    if (hold) handler->Release();
  }

 private:
  std::wstring mMimeType;
  COREWEBVIEW2_DOWNLOAD_STATE mState = COREWEBVIEW2_DOWNLOAD_STATE_IN_PROGRESS;
  Held<ICoreWebView2BytesReceivedChangedEventHandler> mBytesReceived;
  Held<ICoreWebView2StateChangedEventHandler> mStateChanged;
};

DownloadOperation* gDownload = nullptr;

class DownloadStartingArgs final : public Object<ICoreWebView2DownloadStartingEventArgs> {
 public:
  explicit DownloadStartingArgs(DownloadOperation* operation) : mOperation(operation) { mOperation->AddRef(); }
  ~DownloadStartingArgs() override { mOperation->Release(); }
  HRESULT STDMETHODCALLTYPE get_DownloadOperation(ICoreWebView2DownloadOperation** operation) override {
    Log("DownloadStarting.get_DownloadOperation");
    mOperation->AddRef();
    *operation = mOperation;
    return S_OK;
  }
  FAKE_LOGGED(put_Cancel, (BOOL cancel), "DownloadStarting.put_Cancel" + Flag(cancel))
  HRESULT STDMETHODCALLTYPE get_ResultFilePath(LPWSTR* path) override {
    Log("DownloadStarting.get_ResultFilePath");
    *path = TaskString(L"C:\\downloads\\file.bin");
    return S_OK;
  }
  FAKE_LOGGED(put_ResultFilePath, (LPCWSTR path), "DownloadStarting.put_ResultFilePath " + Utf8(path))
  FAKE_LOGGED(put_Handled, (BOOL handled), "DownloadStarting.put_Handled" + Flag(handled))
  FAKE_NOTIMPL(get_Cancel, BOOL*)
  FAKE_NOTIMPL(get_Handled, BOOL*)
  FAKE_NOTIMPL(GetDeferral, ICoreWebView2Deferral**)

 private:
  DownloadOperation* mOperation;
};

// Raises an event with freshly made arguments, which the fake then lets go.
template <typename Handler, typename Args>
void Raise(FakeWebView* sender, Handler* handler, Args* args) {
  if (handler) handler->Invoke(sender, args);
  args->Release();
}

}  // namespace

FakeWebView::FakeWebView() { gWebViews.push_back(this); }

FakeWebView::~FakeWebView() { gWebViews.erase(std::remove(gWebViews.begin(), gWebViews.end(), this), gWebViews.end()); }

FakeWebView* FakeWebView::Newest() { return gWebViews.empty() ? nullptr : gWebViews.back(); }

void FakeWebView::DropHandlers() {
  mWebMessage.Reset();
  mNavigationStarting.Reset();
  mNavigationCompleted.Reset();
  mNewWindow.Reset();
  mDownloadStarting.Reset();
}

HRESULT FakeWebView::get_Settings(ICoreWebView2Settings** settings) {
  Log("WebView.get_Settings");
  *settings = new FakeSettings();
  return S_OK;
}

void FakeWebView::StartNavigation(const std::wstring& uri) {
  AddRef();
  Defer([this, uri] {
    auto* starting = new NavigationStartingArgs(uri);
    starting->AddRef();
    Raise(this, mNavigationStarting.Get(), starting);
    const BOOL cancelled = starting->mCancel;
    starting->Release();
    if (!cancelled) {
      const BOOL success = gFailNextNavigation ? FALSE : TRUE;
      gFailNextNavigation = false;
      Raise(this, mNavigationCompleted.Get(), new NavigationCompletedArgs(success));
    }
    Release();
  });
}

HRESULT FakeWebView::Navigate(LPCWSTR uri) {
  Log("WebView.Navigate " + Utf8(uri));
  StartNavigation(uri ? uri : L"");
  return S_OK;
}

HRESULT FakeWebView::NavigateToString(LPCWSTR html) {
  Log("WebView.NavigateToString " + Utf8(html).substr(0, 60));
  StartNavigation(L"about:blank");
  return S_OK;
}

HRESULT FakeWebView::AddScriptToExecuteOnDocumentCreated(
    LPCWSTR script, ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler) {
  Log("WebView.AddScriptToExecuteOnDocumentCreated " + Utf8(script));
  CompleteLater(handler, [](ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* completed) {
    completed->Invoke(S_OK, L"script-id");
  });
  return S_OK;
}

HRESULT FakeWebView::ExecuteScript(LPCWSTR script, ICoreWebView2ExecuteScriptCompletedHandler* handler) {
  Log("WebView.ExecuteScript " + Utf8(script));
  CompleteLater(handler, [](ICoreWebView2ExecuteScriptCompletedHandler* completed) { completed->Invoke(S_OK, L"null"); });
  return S_OK;
}

HRESULT FakeWebView::SetVirtualHostNameToFolderMapping(LPCWSTR host, LPCWSTR folder,
                                                       COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND kind) {
  Log("WebView.SetVirtualHostNameToFolderMapping " + Utf8(host) + " [" + Utf8(folder) + "] " + std::to_string(kind));
  return S_OK;
}

void FakeWebView::RaiseWebMessage(const wchar_t* json) { Raise(this, mWebMessage.Get(), new WebMessageArgs(json)); }

void FakeWebView::RaiseNewWindow(const wchar_t* uri) { Raise(this, mNewWindow.Get(), new NewWindowArgs(uri)); }

void FakeWebView::RaiseDownload(const wchar_t* mimeType) {
  if (gDownload) gDownload->Release();
  gDownload = new DownloadOperation(mimeType);
  Raise(this, mDownloadStarting.Get(), new DownloadStartingArgs(gDownload));
  gDownload->RaiseProgress();
}

}  // namespace fake

using namespace fake;

KYR_FAKE_API void FakeWebView2_FailNextNavigation() { gFailNextNavigation = true; }

KYR_FAKE_API void FakeWebView2_PostWebMessage(const wchar_t* json) {
  if (FakeWebView* webView = FakeWebView::Newest()) webView->RaiseWebMessage(json);
}

KYR_FAKE_API void FakeWebView2_RequestNewWindow(const wchar_t* uri) {
  if (FakeWebView* webView = FakeWebView::Newest()) webView->RaiseNewWindow(uri);
}

KYR_FAKE_API void FakeWebView2_StartDownload(const wchar_t* mimeType) {
  if (FakeWebView* webView = FakeWebView::Newest()) webView->RaiseDownload(mimeType);
}

KYR_FAKE_API void FakeWebView2_EndDownload(int state) {
  if (!gDownload) return;
  gDownload->End(static_cast<COREWEBVIEW2_DOWNLOAD_STATE>(state));
  gDownload->Release();
  gDownload = nullptr;
}
