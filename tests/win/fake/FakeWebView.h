#pragma once

#include <vector>

#include "FakeRuntime.h"

namespace fake {

// The page of one controller: records the host's calls, keeps its event handlers and raises
// events on them. The newest live web view receives the test's page events.
class FakeWebView final : public Object<ICoreWebView2_4, ICoreWebView2, ICoreWebView2_2, ICoreWebView2_3> {
 public:
  FakeWebView();
  ~FakeWebView() override;
  static FakeWebView* Newest();

  // The controller was closed: every registration ends.
  void DropHandlers();
  void RaiseWebMessage(const wchar_t* json);
  void RaiseNewWindow(const wchar_t* uri);
  void RaiseDownload(const wchar_t* mimeType);
  void StartNavigation(const std::wstring& uri);

  HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** settings) override;
  HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) override;
  HRESULT STDMETHODCALLTYPE NavigateToString(LPCWSTR html) override;
  HRESULT STDMETHODCALLTYPE AddScriptToExecuteOnDocumentCreated(
      LPCWSTR script, ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler) override;
  HRESULT STDMETHODCALLTYPE ExecuteScript(LPCWSTR script, ICoreWebView2ExecuteScriptCompletedHandler* handler) override;
  HRESULT STDMETHODCALLTYPE SetVirtualHostNameToFolderMapping(LPCWSTR host, LPCWSTR folder,
                                                              COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND kind) override;
// An event whose handler the web view keeps (in `member`) until the controller closes.
#define FAKE_HANDLED_EVENT(event, member)                                                                        \
  HRESULT STDMETHODCALLTYPE add_##event(ICoreWebView2##event##EventHandler* handler, EventRegistrationToken* token) \
      override {                                                                                                \
    Log("WebView.add_" #event);                                                                                 \
    member.Reset(handler);                                                                                      \
    *token = EventRegistrationToken{mNextToken++};                                                              \
    return S_OK;                                                                                                \
  }                                                                                                             \
  FAKE_NOTIMPL(remove_##event, EventRegistrationToken)
  FAKE_HANDLED_EVENT(WebMessageReceived, mWebMessage)
  FAKE_HANDLED_EVENT(NavigationStarting, mNavigationStarting)
  FAKE_HANDLED_EVENT(NavigationCompleted, mNavigationCompleted)
  FAKE_HANDLED_EVENT(NewWindowRequested, mNewWindow)
  FAKE_HANDLED_EVENT(DownloadStarting, mDownloadStarting)
#undef FAKE_HANDLED_EVENT

  FAKE_NOTIMPL(get_Source, LPWSTR*)
  FAKE_NOTIMPL_EVENT(ContentLoading)
  FAKE_NOTIMPL_EVENT(SourceChanged)
  FAKE_NOTIMPL_EVENT(HistoryChanged)
  FAKE_NOTIMPL_EVENT_AS(FrameNavigationStarting, ICoreWebView2NavigationStartingEventHandler)
  FAKE_NOTIMPL_EVENT_AS(FrameNavigationCompleted, ICoreWebView2NavigationCompletedEventHandler)
  FAKE_NOTIMPL_EVENT(ScriptDialogOpening)
  FAKE_NOTIMPL_EVENT(PermissionRequested)
  FAKE_NOTIMPL_EVENT(ProcessFailed)
  FAKE_NOTIMPL(RemoveScriptToExecuteOnDocumentCreated, LPCWSTR)
  FAKE_NOTIMPL(CapturePreview, COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT, IStream*,
               ICoreWebView2CapturePreviewCompletedHandler*)
  FAKE_NOTIMPL(Reload)
  FAKE_NOTIMPL(PostWebMessageAsJson, LPCWSTR)
  FAKE_NOTIMPL(PostWebMessageAsString, LPCWSTR)
  FAKE_NOTIMPL(CallDevToolsProtocolMethod, LPCWSTR, LPCWSTR, ICoreWebView2CallDevToolsProtocolMethodCompletedHandler*)
  FAKE_NOTIMPL(get_BrowserProcessId, UINT32*)
  FAKE_NOTIMPL(get_CanGoBack, BOOL*)
  FAKE_NOTIMPL(get_CanGoForward, BOOL*)
  FAKE_NOTIMPL(GoBack)
  FAKE_NOTIMPL(GoForward)
  FAKE_NOTIMPL(GetDevToolsProtocolEventReceiver, LPCWSTR, ICoreWebView2DevToolsProtocolEventReceiver**)
  FAKE_NOTIMPL(Stop)
  FAKE_NOTIMPL_EVENT(DocumentTitleChanged)
  FAKE_NOTIMPL(get_DocumentTitle, LPWSTR*)
  FAKE_NOTIMPL(AddHostObjectToScript, LPCWSTR, VARIANT*)
  FAKE_NOTIMPL(RemoveHostObjectFromScript, LPCWSTR)
  FAKE_NOTIMPL(OpenDevToolsWindow)
  FAKE_NOTIMPL_EVENT(ContainsFullScreenElementChanged)
  FAKE_NOTIMPL(get_ContainsFullScreenElement, BOOL*)
  FAKE_NOTIMPL_EVENT(WebResourceRequested)
  FAKE_NOTIMPL(AddWebResourceRequestedFilter, const LPCWSTR, const COREWEBVIEW2_WEB_RESOURCE_CONTEXT)
  FAKE_NOTIMPL(RemoveWebResourceRequestedFilter, const LPCWSTR, const COREWEBVIEW2_WEB_RESOURCE_CONTEXT)
  FAKE_NOTIMPL_EVENT(WindowCloseRequested)
  FAKE_NOTIMPL_EVENT(WebResourceResponseReceived)
  FAKE_NOTIMPL(NavigateWithWebResourceRequest, ICoreWebView2WebResourceRequest*)
  FAKE_NOTIMPL_EVENT(DOMContentLoaded)
  FAKE_NOTIMPL(get_CookieManager, ICoreWebView2CookieManager**)
  FAKE_NOTIMPL(get_Environment, ICoreWebView2Environment**)
  FAKE_NOTIMPL(TrySuspend, ICoreWebView2TrySuspendCompletedHandler*)
  FAKE_NOTIMPL(Resume)
  FAKE_NOTIMPL(get_IsSuspended, BOOL*)
  FAKE_NOTIMPL(ClearVirtualHostNameToFolderMapping, LPCWSTR)
  FAKE_NOTIMPL_EVENT(FrameCreated)

 private:
  INT64 mNextToken = 1;
  Held<ICoreWebView2WebMessageReceivedEventHandler> mWebMessage;
  Held<ICoreWebView2NavigationStartingEventHandler> mNavigationStarting;
  Held<ICoreWebView2NavigationCompletedEventHandler> mNavigationCompleted;
  Held<ICoreWebView2NewWindowRequestedEventHandler> mNewWindow;
  Held<ICoreWebView2DownloadStartingEventHandler> mDownloadStarting;
};

}  // namespace fake
