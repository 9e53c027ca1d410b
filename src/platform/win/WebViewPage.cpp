#include "WebViewPage.h"

#include "WebViewEnvironment.h"
#include "WideText.h"

namespace oskel::platform::win {

WebViewPage::WebViewPage(HWND parent, const WebViewRect& bounds, WebViewListener* listener, bool devTools)
    : mParent(parent), mInitialBounds(bounds), mDevTools(devTools), mThreadId(GetCurrentThreadId()),
      mListener(listener) {}

WebViewPage::~WebViewPage() { ReleaseAll(); }

bool WebViewPage::Start() {
  std::weak_ptr<WebViewPage> weak = weak_from_this();
  return RequestEnvironment([weak](ICoreWebView2Environment* environment) {
    if (auto self = weak.lock()) self->OnEnvironment(environment);
  });
}

void WebViewPage::OnEnvironment(ICoreWebView2Environment* environment) {
  if (mClosed) return;
  if (!environment) {
    // The runtime could not start: the editor stays empty.
    WithListener<bool>(false, [](WebViewListener& listener) {
      listener.OnWebViewCreated(false);
      return true;
    });
    return;
  }
  mEnvironment = ComRef<ICoreWebView2Environment>::Share(environment);
  std::weak_ptr<WebViewPage> weak = weak_from_this();
  auto completed = ControllerCompleted::Make([weak](HRESULT result, ICoreWebView2Controller* controller) {
    auto self = weak.lock();
    if (!self || self->mClosed) {
      // The editor closed while the control was being made: take it out of the window again.
      if (controller) controller->Close();
      return S_OK;
    }
    self->OnController(SUCCEEDED(result) ? controller : nullptr);
    return S_OK;
  });
  if (FAILED(environment->CreateCoreWebView2Controller(mParent, completed.Get()))) OnController(nullptr);
}

void WebViewPage::OnController(ICoreWebView2Controller* controller) {
  if (controller) {
    mController = ComRef<ICoreWebView2Controller>::Share(controller);
    controller->get_CoreWebView2(mWebView.Receive());
  }
  if (!mWebView) {
    WithListener<bool>(false, [](WebViewListener& listener) {
      listener.OnWebViewCreated(false);
      return true;
    });
    return;
  }
  mController->put_IsVisible(TRUE);
  ApplySettings();
  RegisterEventHandlers();
  // The parent's client area, where it can be read; otherwise the editor's requested rectangle.
  const WebViewRect bounds = Placement(mInitialBounds);
  mController->put_Bounds(RECT{bounds.left, bounds.top, bounds.right, bounds.bottom});
  // The listener injects its document scripts and shows the page from here.
  WithListener<bool>(false, [](WebViewListener& listener) {
    listener.OnWebViewCreated(true);
    return true;
  });
}

void WebViewPage::ApplySettings() {
  ComRef<ICoreWebView2Settings> settings;
  mWebView->get_Settings(settings.Receive());
  if (!settings) return;
  settings->put_IsScriptEnabled(TRUE);
  settings->put_AreDefaultScriptDialogsEnabled(TRUE);
  settings->put_IsWebMessageEnabled(TRUE);
  settings->put_AreDefaultContextMenusEnabled(mDevTools ? TRUE : FALSE);
  settings->put_AreDevToolsEnabled(mDevTools ? TRUE : FALSE);
}

void WebViewPage::RegisterEventHandlers() {
  std::weak_ptr<WebViewPage> weak = weak_from_this();
  // Every handler reports success to the runtime, whatever the page does with the event.
  auto forward = [weak](auto member) {
    return [weak, member](auto /*sender*/, auto* args) {
      if (auto self = weak.lock()) ((*self).*member)(args);
      return S_OK;
    };
  };
  mWebView->add_WebMessageReceived(WebMessageReceived::Make(forward(&WebViewPage::OnWebMessage)).Get(),
                                   &mWebMessageToken);
  mWebView->add_NavigationStarting(NavigationStarting::Make(forward(&WebViewPage::OnNavigationStarting)).Get(),
                                   &mNavigationStartingToken);
  mWebView->add_NavigationCompleted(NavigationCompleted::Make(forward(&WebViewPage::OnNavigationCompleted)).Get(),
                                    &mNavigationCompletedToken);
  mWebView->add_NewWindowRequested(NewWindowRequested::Make(forward(&WebViewPage::OnNewWindowRequested)).Get(),
                                   &mNewWindowToken);
  if (auto webView4 = mWebView.As<ICoreWebView2_4>())
    webView4->add_DownloadStarting(DownloadStarting::Make(forward(&WebViewPage::OnDownloadStarting)).Get(),
                                   &mDownloadStartingToken);
}

void WebViewPage::WithWebView(std::function<void(WebViewPage&, ICoreWebView2&)> operation) {
  if (GetCurrentThreadId() == mThreadId) {
    if (!mClosed && mWebView) operation(*this, *mWebView.Get());
    return;
  }
  std::weak_ptr<WebViewPage> weak = weak_from_this();
  PostToUIThread([weak, operation = std::move(operation)] {
    auto self = weak.lock();
    if (self && !self->mClosed && self->mWebView) operation(*self, *self->mWebView.Get());
  });
}

void WebViewPage::AddDocumentScript(const std::string& script) {
  WithWebView([script = ToWide(script)](WebViewPage&, ICoreWebView2& webView) {
    // The script's ID (for removing it again) is not needed.
    webView.AddScriptToExecuteOnDocumentCreated(script.c_str(), ScriptAdded::Make(nullptr).Get());
  });
}

void WebViewPage::NavigateToString(const std::string& html) {
  WithWebView([html = ToWide(html)](WebViewPage&, ICoreWebView2& webView) { webView.NavigateToString(html.c_str()); });
}

void WebViewPage::MapVirtualHostToFolder(const std::string& folder) {
  WithWebView([folder = ToWide(folder)](WebViewPage&, ICoreWebView2& webView) {
    ComRef<ICoreWebView2_3> webView3 = ComRef<ICoreWebView2>::Share(&webView).As<ICoreWebView2_3>();
    // Files of the folder load under the virtual host; cross-origin access to them is denied.
    if (webView3)
      webView3->SetVirtualHostNameToFolderMapping(ToWide(kWebViewVirtualHost).c_str(), folder.c_str(),
                                                  COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND_DENY);
  });
}

void WebViewPage::Navigate(const std::string& url) {
  WithWebView([url = ToWide(url)](WebViewPage&, ICoreWebView2& webView) { webView.Navigate(url.c_str()); });
}

void WebViewPage::ExecuteScript(const std::string& script) {
  WithWebView([script = ToWide(script)](WebViewPage&, ICoreWebView2& webView) {
    webView.ExecuteScript(script.c_str(), ScriptExecuted::Make(nullptr).Get());
  });
}

void WebViewPage::SetBounds(const WebViewRect& bounds) {
  WithWebView([bounds](WebViewPage& page, ICoreWebView2&) {
    if (!page.mController) return;
    const WebViewRect placed = page.Placement(bounds);
    page.mController->SetBoundsAndZoomFactor(RECT{placed.left, placed.top, placed.right, placed.bottom}, 1.0);
  });
}

WebViewRect WebViewPage::Placement(const WebViewRect& requested) const {
  // The control always fills the parent's client area when that can be read and is not empty.
  WebViewRect client;
  if (GetWindowClientRect(mParent, client) && client.right > client.left && client.bottom > client.top)
    return client;
  return requested;
}

bool WebViewPage::CallDevTools(const std::string&, const std::string&, std::string&, int) { return false; }

void WebViewPage::Close() {
  {
    std::lock_guard<std::recursive_mutex> lock(mListenerMutex);
    mClosed = true;
    mListener = nullptr;
  }
  if (GetCurrentThreadId() == mThreadId) {
    ReleaseAll();
    return;
  }
  // The runtime's objects belong to the user-interface thread: they are let go there.
  PostToUIThread([self = shared_from_this()] { self->ReleaseAll(); });
}

void WebViewPage::ReleaseAll() {
  // Closing the controller ends every event registration; the shared environment stays.
  if (mController) mController->Close();
  mController.Reset();
  mWebView.Reset();
  mEnvironment.Reset();
}

}  // namespace oskel::platform::win
