#pragma once

#include <vector>

#include "FakeRuntime.h"

namespace fake {

// The page of one controller: records the host's calls, keeps its event handlers and raises
// events on them. The newest live web view receives the test's page events.
class FakeWebView final : public Object<ICoreWebView2_4> {
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

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** settings) override;
  HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) override;
  HRESULT STDMETHODCALLTYPE NavigateToString(LPCWSTR html) override;
  HRESULT STDMETHODCALLTYPE add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* handler,
                                                   EventRegistrationToken* token) override;
  HRESULT STDMETHODCALLTYPE add_NavigationCompleted(ICoreWebView2NavigationCompletedEventHandler* handler,
                                                    EventRegistrationToken* token) override;
  HRESULT STDMETHODCALLTYPE AddScriptToExecuteOnDocumentCreated(
      LPCWSTR script, ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler) override;
  HRESULT STDMETHODCALLTYPE ExecuteScript(LPCWSTR script, ICoreWebView2ExecuteScriptCompletedHandler* handler) override;
  HRESULT STDMETHODCALLTYPE add_WebMessageReceived(ICoreWebView2WebMessageReceivedEventHandler* handler,
                                                   EventRegistrationToken* token) override;
  HRESULT STDMETHODCALLTYPE add_NewWindowRequested(ICoreWebView2NewWindowRequestedEventHandler* handler,
                                                   EventRegistrationToken* token) override;
  HRESULT STDMETHODCALLTYPE SetVirtualHostNameToFolderMapping(LPCWSTR host, LPCWSTR folder,
                                                              COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND kind) override;
  HRESULT STDMETHODCALLTYPE add_DownloadStarting(ICoreWebView2DownloadStartingEventHandler* handler,
                                                 EventRegistrationToken* token) override;

  FAKE_NOTIMPL(get_Source, LPWSTR*)
  FAKE_NOTIMPL(remove_NavigationStarting, EventRegistrationToken)
  FAKE_NOTIMPL(add_ContentLoading, ICoreWebView2ContentLoadingEventHandler*, EventRegistrationToken*)
  FAKE_NOTIMPL(remove_ContentLoading, EventRegistrationToken)
  FAKE_NOTIMPL(add_SourceChanged, ICoreWebView2SourceChangedEventHandler*, EventRegistrationToken*)
  FAKE_NOTIMPL(remove_SourceChanged, EventRegistrationToken)
  FAKE_NOTIMPL(add_HistoryChanged, ICoreWebView2HistoryChangedEventHandler*, EventRegistrationToken*)
  FAKE_NOTIMPL(remove_HistoryChanged, EventRegistrationToken)
  FAKE_NOTIMPL(remove_NavigationCompleted, EventRegistrationToken)
  FAKE_NOTIMPL(add_FrameNavigationStarting, ICoreWebView2NavigationStartingEventHandler*, EventRegistrationToken*)
  FAKE_NOTIMPL(remove_FrameNavigationStarting, EventRegistrationToken)
  FAKE_NOTIMPL(add_FrameNavigationCompleted, ICoreWebView2NavigationCompletedEventHandler*, EventRegistrationToken*)
  FAKE_NOTIMPL(remove_FrameNavigationCompleted, EventRegistrationToken)
  FAKE_NOTIMPL(add_ScriptDialogOpening, ICoreWebView2ScriptDialogOpeningEventHandler*, EventRegistrationToken*)
  FAKE_NOTIMPL(remove_ScriptDialogOpening, EventRegistrationToken)
  FAKE_NOTIMPL(add_PermissionRequested, ICoreWebView2PermissionRequestedEventHandler*, EventRegistrationToken*)
  FAKE_NOTIMPL(remove_PermissionRequested, EventRegistrationToken)
  FAKE_NOTIMPL(add_ProcessFailed, ICoreWebView2ProcessFailedEventHandler*, EventRegistrationToken*)
  FAKE_NOTIMPL(remove_ProcessFailed, EventRegistrationToken)
  FAKE_NOTIMPL(RemoveScriptToExecuteOnDocumentCreated, LPCWSTR)
  FAKE_NOTIMPL(CapturePreview, COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT, IStream*,
               ICoreWebView2CapturePreviewCompletedHandler*)
  FAKE_NOTIMPL(Reload)
  FAKE_NOTIMPL(PostWebMessageAsJson, LPCWSTR)
  FAKE_NOTIMPL(PostWebMessageAsString, LPCWSTR)
  FAKE_NOTIMPL(remove_WebMessageReceived, EventRegistrationToken)
  FAKE_NOTIMPL(CallDevToolsProtocolMethod, LPCWSTR, LPCWSTR, ICoreWebView2CallDevToolsProtocolMethodCompletedHandler*)
  FAKE_NOTIMPL(get_BrowserProcessId, UINT32*)
  FAKE_NOTIMPL(get_CanGoBack, BOOL*)
  FAKE_NOTIMPL(get_CanGoForward, BOOL*)
  FAKE_NOTIMPL(GoBack)
  FAKE_NOTIMPL(GoForward)
  FAKE_NOTIMPL(GetDevToolsProtocolEventReceiver, LPCWSTR, ICoreWebView2DevToolsProtocolEventReceiver**)
  FAKE_NOTIMPL(Stop)
  FAKE_NOTIMPL(remove_NewWindowRequested, EventRegistrationToken)
  FAKE_NOTIMPL(add_DocumentTitleChanged, ICoreWebView2DocumentTitleChangedEventHandler*, EventRegistrationToken*)
  FAKE_NOTIMPL(remove_DocumentTitleChanged, EventRegistrationToken)
  FAKE_NOTIMPL(get_DocumentTitle, LPWSTR*)
  FAKE_NOTIMPL(AddHostObjectToScript, LPCWSTR, VARIANT*)
  FAKE_NOTIMPL(RemoveHostObjectFromScript, LPCWSTR)
  FAKE_NOTIMPL(OpenDevToolsWindow)
  FAKE_NOTIMPL(add_ContainsFullScreenElementChanged, ICoreWebView2ContainsFullScreenElementChangedEventHandler*,
               EventRegistrationToken*)
  FAKE_NOTIMPL(remove_ContainsFullScreenElementChanged, EventRegistrationToken)
  FAKE_NOTIMPL(get_ContainsFullScreenElement, BOOL*)
  FAKE_NOTIMPL(add_WebResourceRequested, ICoreWebView2WebResourceRequestedEventHandler*, EventRegistrationToken*)
  FAKE_NOTIMPL(remove_WebResourceRequested, EventRegistrationToken)
  FAKE_NOTIMPL(AddWebResourceRequestedFilter, const LPCWSTR, const COREWEBVIEW2_WEB_RESOURCE_CONTEXT)
  FAKE_NOTIMPL(RemoveWebResourceRequestedFilter, const LPCWSTR, const COREWEBVIEW2_WEB_RESOURCE_CONTEXT)
  FAKE_NOTIMPL(add_WindowCloseRequested, ICoreWebView2WindowCloseRequestedEventHandler*, EventRegistrationToken*)
  FAKE_NOTIMPL(remove_WindowCloseRequested, EventRegistrationToken)
  FAKE_NOTIMPL(add_WebResourceResponseReceived, ICoreWebView2WebResourceResponseReceivedEventHandler*,
               EventRegistrationToken*)
  FAKE_NOTIMPL(remove_WebResourceResponseReceived, EventRegistrationToken)
  FAKE_NOTIMPL(NavigateWithWebResourceRequest, ICoreWebView2WebResourceRequest*)
  FAKE_NOTIMPL(add_DOMContentLoaded, ICoreWebView2DOMContentLoadedEventHandler*, EventRegistrationToken*)
  FAKE_NOTIMPL(remove_DOMContentLoaded, EventRegistrationToken)
  FAKE_NOTIMPL(get_CookieManager, ICoreWebView2CookieManager**)
  FAKE_NOTIMPL(get_Environment, ICoreWebView2Environment**)
  FAKE_NOTIMPL(TrySuspend, ICoreWebView2TrySuspendCompletedHandler*)
  FAKE_NOTIMPL(Resume)
  FAKE_NOTIMPL(get_IsSuspended, BOOL*)
  FAKE_NOTIMPL(ClearVirtualHostNameToFolderMapping, LPCWSTR)
  FAKE_NOTIMPL(add_FrameCreated, ICoreWebView2FrameCreatedEventHandler*, EventRegistrationToken*)
  FAKE_NOTIMPL(remove_FrameCreated, EventRegistrationToken)
  FAKE_NOTIMPL(remove_DownloadStarting, EventRegistrationToken)

 private:
  EventRegistrationToken NextToken();

  INT64 mNextToken = 1;
  Held<ICoreWebView2WebMessageReceivedEventHandler> mWebMessage;
  Held<ICoreWebView2NavigationStartingEventHandler> mNavigationStarting;
  Held<ICoreWebView2NavigationCompletedEventHandler> mNavigationCompleted;
  Held<ICoreWebView2NewWindowRequestedEventHandler> mNewWindow;
  Held<ICoreWebView2DownloadStartingEventHandler> mDownloadStarting;
};

}  // namespace fake
