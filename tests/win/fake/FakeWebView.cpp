// The fake runtime's controller, web view, settings, event arguments and download operation.

#include "FakeRuntime.h"
#include "FakeWebView2.h"

namespace fake {

namespace {

std::string Flag(BOOL value) { return value ? " 1" : " 0"; }

class FakeSettings final : public Object<ICoreWebView2Settings> {
 public:
#define FAKE_SETTING(name) \
  FAKE_LOGGED(put_##name, (BOOL value), "Settings.put_" #name + Flag(value)) FAKE_NOTIMPL(get_##name, BOOL*)
  FAKE_SETTING(IsScriptEnabled) FAKE_SETTING(IsWebMessageEnabled) FAKE_SETTING(AreDefaultScriptDialogsEnabled)
  FAKE_SETTING(IsStatusBarEnabled) FAKE_SETTING(AreDevToolsEnabled) FAKE_SETTING(AreDefaultContextMenusEnabled)
  FAKE_SETTING(AreHostObjectsAllowed) FAKE_SETTING(IsZoomControlEnabled) FAKE_SETTING(IsBuiltInErrorPageEnabled)
#undef FAKE_SETTING
};

class WebMessageArgs final : public Object<ICoreWebView2WebMessageReceivedEventArgs> {
 public:
  explicit WebMessageArgs(const wchar_t* json) : mJson(json) {}
  FAKE_GET(get_WebMessageAsJson, LPWSTR, TaskString(mJson.c_str()))
  FAKE_NOTIMPL(get_Source, LPWSTR*) FAKE_NOTIMPL(TryGetWebMessageAsString, LPWSTR*)

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
  FAKE_NOTIMPL(get_IsUserInitiated, BOOL*) FAKE_NOTIMPL(get_IsRedirected, BOOL*) FAKE_NOTIMPL(get_Cancel, BOOL*)
  FAKE_NOTIMPL(get_RequestHeaders, ICoreWebView2HttpRequestHeaders**) FAKE_NOTIMPL(get_NavigationId, UINT64*)
  BOOL mCancel = FALSE;

 private:
  std::wstring mUri;
};

class NavigationCompletedArgs final : public Object<ICoreWebView2NavigationCompletedEventArgs> {
 public:
  FAKE_GET(get_IsSuccess, BOOL, TRUE)
  FAKE_NOTIMPL(get_WebErrorStatus, COREWEBVIEW2_WEB_ERROR_STATUS*) FAKE_NOTIMPL(get_NavigationId, UINT64*)
};

class NewWindowArgs final
    : public Object<ICoreWebView2NewWindowRequestedEventArgs2, ICoreWebView2NewWindowRequestedEventArgs> {
 public:
  explicit NewWindowArgs(const wchar_t* uri) : mUri(uri) {}
  FAKE_GET(get_Uri, LPWSTR, TaskString(mUri.c_str()))
  FAKE_LOGGED(put_Handled, (BOOL handled), "NewWindowRequested.put_Handled" + Flag(handled))
  FAKE_NOTIMPL(put_NewWindow, ICoreWebView2*) FAKE_NOTIMPL(get_NewWindow, ICoreWebView2**)
  FAKE_NOTIMPL(get_Handled, BOOL*) FAKE_NOTIMPL(get_IsUserInitiated, BOOL*) FAKE_NOTIMPL(get_Name, LPWSTR*)
  FAKE_NOTIMPL(GetDeferral, ICoreWebView2Deferral**) FAKE_NOTIMPL(get_WindowFeatures, ICoreWebView2WindowFeatures**)

 private:
  std::wstring mUri;
};

class DownloadOperation final : public Object<ICoreWebView2DownloadOperation> {
 public:
  explicit DownloadOperation(const wchar_t* mimeType) : mMimeType(mimeType) {}
  FAKE_HELD_EVENT("Download", BytesReceivedChanged, mBytesReceived, 11)
  FAKE_HELD_EVENT("Download", StateChanged, mStateChanged, 12)
  FAKE_GET(get_MimeType, LPWSTR, TaskString(mMimeType.c_str()))
  FAKE_GET(get_TotalBytesToReceive, INT64, 100)
  FAKE_GET(get_BytesReceived, INT64, 40)
  FAKE_GET(get_ResultFilePath, LPWSTR, TaskString(L"C:\\downloads\\file.bin"))
  FAKE_GET(get_State, COREWEBVIEW2_DOWNLOAD_STATE, mState)
  FAKE_NOTIMPL_EVENT(EstimatedEndTimeChanged)
  FAKE_NOTIMPL(get_Uri, LPWSTR*) FAKE_NOTIMPL(get_ContentDisposition, LPWSTR*) FAKE_NOTIMPL(Cancel) FAKE_NOTIMPL(Pause)
  FAKE_NOTIMPL(get_EstimatedEndTime, LPWSTR*) FAKE_NOTIMPL(Resume) FAKE_NOTIMPL(get_CanResume, BOOL*)
  FAKE_NOTIMPL(get_InterruptReason, COREWEBVIEW2_DOWNLOAD_INTERRUPT_REASON*)

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
  FAKE_LOGGED(put_ResultFilePath, (LPCWSTR path), "DownloadStarting.put_ResultFilePath " + Narrow(path))
  FAKE_LOGGED(put_Handled, (BOOL handled), "DownloadStarting.put_Handled" + Flag(handled))
  FAKE_NOTIMPL(get_Cancel, BOOL*) FAKE_NOTIMPL(get_Handled, BOOL*) FAKE_NOTIMPL(GetDeferral, ICoreWebView2Deferral**)

 private:
  DownloadOperation* mOperation;
};

// Raises an event with freshly made arguments, which the fake then lets go.
template <typename Handler, typename Args>
void Raise(ICoreWebView2* sender, Handler* handler, Args* args) {
  if (handler) handler->Invoke(sender, args);
  args->Release();
}

// The page of one controller: records the host's calls, keeps its event handlers and raises
// events on them. The newest web view, while it lives, receives the test's page events.
class FakeWebView final : public Object<ICoreWebView2_4, ICoreWebView2, ICoreWebView2_2, ICoreWebView2_3> {
 public:
  FakeWebView() { Newest() = this; }
  ~FakeWebView() override {
    if (Newest() == this) Newest() = nullptr;
  }
  static FakeWebView*& Newest() {
    static FakeWebView* newest = nullptr;
    return newest;
  }

  // The controller was closed: every registration ends.
  void DropHandlers() {
    mWebMessage.Reset();
    mNavigationStarting.Reset();
    mNavigationCompleted.Reset();
    mNewWindow.Reset();
    mDownloadStarting.Reset();
  }
  void RaiseWebMessage(const wchar_t* json) { Raise(this, mWebMessage.Get(), new WebMessageArgs(json)); }
  void RaiseNewWindow(const wchar_t* uri) { Raise(this, mNewWindow.Get(), new NewWindowArgs(uri)); }
  void RaiseDownload(const wchar_t* mimeType) {
    if (gDownload) gDownload->Release();
    gDownload = new DownloadOperation(mimeType);
    Raise(this, mDownloadStarting.Get(), new DownloadStartingArgs(gDownload));
    gDownload->RaiseProgress();
  }
  void StartNavigation(const std::wstring& uri) {
    AddRef();
    Defer([this, uri] {
      auto* starting = new NavigationStartingArgs(uri);
      starting->AddRef();
      Raise(this, mNavigationStarting.Get(), starting);
      if (!starting->mCancel) Raise(this, mNavigationCompleted.Get(), new NavigationCompletedArgs());
      starting->Release();
      Release();
    });
  }

  HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** settings) override {
    Log("WebView.get_Settings");
    *settings = new FakeSettings();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) override {
    Log("WebView.Navigate " + Narrow(uri));
    StartNavigation(uri ? uri : L"");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE NavigateToString(LPCWSTR html) override {
    Log("WebView.NavigateToString " + Narrow(html).substr(0, 60));
    StartNavigation(L"about:blank");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE AddScriptToExecuteOnDocumentCreated(
      LPCWSTR script, ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler) override {
    Log("WebView.AddScriptToExecuteOnDocumentCreated " + Narrow(script));
    CompleteLater(handler, [](ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* completed) {
      completed->Invoke(S_OK, L"script-id");
    });
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ExecuteScript(LPCWSTR script,
                                          ICoreWebView2ExecuteScriptCompletedHandler* handler) override {
    Log("WebView.ExecuteScript " + Narrow(script));
    CompleteLater(handler, [](ICoreWebView2ExecuteScriptCompletedHandler* done) { done->Invoke(S_OK, L"null"); });
    return S_OK;
  }
  FAKE_LOGGED(SetVirtualHostNameToFolderMapping,
              (LPCWSTR host, LPCWSTR folder, COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND kind),
              "WebView.SetVirtualHostNameToFolderMapping " + Narrow(host) + " [" + Narrow(folder) + "] " +
                  std::to_string(kind))
  FAKE_HELD_EVENT("WebView", WebMessageReceived, mWebMessage, 1)
  FAKE_HELD_EVENT("WebView", NavigationStarting, mNavigationStarting, 2)
  FAKE_HELD_EVENT("WebView", NavigationCompleted, mNavigationCompleted, 3)
  FAKE_HELD_EVENT("WebView", NewWindowRequested, mNewWindow, 4)
  FAKE_HELD_EVENT("WebView", DownloadStarting, mDownloadStarting, 5)

  FAKE_NOTIMPL_EVENT(ContentLoading) FAKE_NOTIMPL_EVENT(SourceChanged) FAKE_NOTIMPL_EVENT(HistoryChanged)
  FAKE_NOTIMPL_EVENT_AS(FrameNavigationStarting, ICoreWebView2NavigationStartingEventHandler)
  FAKE_NOTIMPL_EVENT_AS(FrameNavigationCompleted, ICoreWebView2NavigationCompletedEventHandler)
  FAKE_NOTIMPL_EVENT(ScriptDialogOpening) FAKE_NOTIMPL_EVENT(PermissionRequested) FAKE_NOTIMPL_EVENT(ProcessFailed)
  FAKE_NOTIMPL_EVENT(DocumentTitleChanged) FAKE_NOTIMPL_EVENT(ContainsFullScreenElementChanged)
  FAKE_NOTIMPL_EVENT(WebResourceRequested) FAKE_NOTIMPL_EVENT(WindowCloseRequested) FAKE_NOTIMPL_EVENT(FrameCreated)
  FAKE_NOTIMPL_EVENT(WebResourceResponseReceived) FAKE_NOTIMPL_EVENT(DOMContentLoaded)
  FAKE_NOTIMPL(get_Source, LPWSTR*) FAKE_NOTIMPL(RemoveScriptToExecuteOnDocumentCreated, LPCWSTR) FAKE_NOTIMPL(Reload)
  FAKE_NOTIMPL(CapturePreview, COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT, IStream*,
               ICoreWebView2CapturePreviewCompletedHandler*)
  FAKE_NOTIMPL(PostWebMessageAsJson, LPCWSTR) FAKE_NOTIMPL(PostWebMessageAsString, LPCWSTR) FAKE_NOTIMPL(Stop)
  FAKE_NOTIMPL(CallDevToolsProtocolMethod, LPCWSTR, LPCWSTR, ICoreWebView2CallDevToolsProtocolMethodCompletedHandler*)
  FAKE_NOTIMPL(get_BrowserProcessId, UINT32*) FAKE_NOTIMPL(get_CanGoBack, BOOL*)
  FAKE_NOTIMPL(get_CanGoForward, BOOL*)
  FAKE_NOTIMPL(GoBack) FAKE_NOTIMPL(GoForward) FAKE_NOTIMPL(OpenDevToolsWindow) FAKE_NOTIMPL(Resume)
  FAKE_NOTIMPL(GetDevToolsProtocolEventReceiver, LPCWSTR, ICoreWebView2DevToolsProtocolEventReceiver**)
  FAKE_NOTIMPL(get_DocumentTitle, LPWSTR*) FAKE_NOTIMPL(get_ContainsFullScreenElement, BOOL*)
  FAKE_NOTIMPL(AddHostObjectToScript, LPCWSTR, VARIANT*) FAKE_NOTIMPL(RemoveHostObjectFromScript, LPCWSTR)
  FAKE_NOTIMPL(AddWebResourceRequestedFilter, const LPCWSTR, const COREWEBVIEW2_WEB_RESOURCE_CONTEXT)
  FAKE_NOTIMPL(RemoveWebResourceRequestedFilter, const LPCWSTR, const COREWEBVIEW2_WEB_RESOURCE_CONTEXT)
  FAKE_NOTIMPL(NavigateWithWebResourceRequest, ICoreWebView2WebResourceRequest*)
  FAKE_NOTIMPL(get_CookieManager, ICoreWebView2CookieManager**)
  FAKE_NOTIMPL(get_Environment, ICoreWebView2Environment**) FAKE_NOTIMPL(ClearVirtualHostNameToFolderMapping, LPCWSTR)
  FAKE_NOTIMPL(TrySuspend, ICoreWebView2TrySuspendCompletedHandler*) FAKE_NOTIMPL(get_IsSuspended, BOOL*)

 private:
  Held<ICoreWebView2WebMessageReceivedEventHandler> mWebMessage;
  Held<ICoreWebView2NavigationStartingEventHandler> mNavigationStarting;
  Held<ICoreWebView2NavigationCompletedEventHandler> mNavigationCompleted;
  Held<ICoreWebView2NewWindowRequestedEventHandler> mNewWindow;
  Held<ICoreWebView2DownloadStartingEventHandler> mDownloadStarting;
};

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
         std::to_string(r.bottom);
}

class FakeController final : public Object<ICoreWebView2Controller> {
 public:
  FakeController() : mWebView(new FakeWebView()) {}
  ~FakeController() override { mWebView->Release(); }

  FAKE_LOGGED(put_IsVisible, (BOOL visible), "Controller.put_IsVisible" + Flag(visible))
  FAKE_LOGGED(put_Bounds, (RECT bounds), "Controller.put_Bounds " + RectText(bounds))
  FAKE_LOGGED(SetBoundsAndZoomFactor, (RECT bounds, double zoom),
              "Controller.SetBoundsAndZoomFactor " + RectText(bounds) + " " + std::to_string(zoom))
  HRESULT STDMETHODCALLTYPE Close() override {
    Log("Controller.Close");
    mWebView->DropHandlers();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** webView) override {
    *webView = mWebView;
    mWebView->AddRef();
    return S_OK;
  }
  FAKE_NOTIMPL(get_IsVisible, BOOL*) FAKE_NOTIMPL(get_Bounds, RECT*) FAKE_NOTIMPL(get_ZoomFactor, double*)
  FAKE_NOTIMPL(put_ZoomFactor, double) FAKE_NOTIMPL(MoveFocus, COREWEBVIEW2_MOVE_FOCUS_REASON)
  FAKE_NOTIMPL_EVENT(ZoomFactorChanged) FAKE_NOTIMPL_EVENT(MoveFocusRequested)
  FAKE_NOTIMPL_EVENT(AcceleratorKeyPressed)
  FAKE_NOTIMPL_EVENT_AS(GotFocus, ICoreWebView2FocusChangedEventHandler)
  FAKE_NOTIMPL_EVENT_AS(LostFocus, ICoreWebView2FocusChangedEventHandler)
  FAKE_NOTIMPL(get_ParentWindow, HWND*) FAKE_NOTIMPL(put_ParentWindow, HWND)
  FAKE_NOTIMPL(NotifyParentWindowPositionChanged)

 private:
  FakeWebView* mWebView;
};

}  // namespace

ICoreWebView2Controller* NewController() { return new FakeController(); }

}  // namespace fake

using namespace fake;

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
