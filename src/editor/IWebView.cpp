#include "IWebView.h"

#include <cmath>
#include <mutex>
#include <optional>

#include "EditorProtocol.h"
#include "PageRequests.h"

namespace oskel {

namespace {

// The editor's rectangle in editor pixels, before any display scale.
struct EditorRect {
  float x = 0;
  float y = 0;
  float width = 0;
  float height = 0;
};

bool ValidScale(float scale) { return scale > 0.0f && std::isfinite(scale); }

}  // namespace

// Connects one IWebView to its platform page. The page's listener calls arrive on the
// user-interface thread; the operations come from any thread, so the page pointer and the
// ready flag are guarded. The mutex is only held to read or swap them, never while calling
// into the page, so closing a page (which waits for a listener call in progress) cannot
// deadlock with a listener call that runs an operation.
class IWebViewImpl final : public platform::WebViewListener {
 public:
  explicit IWebViewImpl(IWebView& owner) : mOwner(owner) {}

  void Open(void* parent, const EditorRect& editorRect, float contentScale) {
    Close();
    {
      std::lock_guard<std::mutex> lock(mMutex);
      mParent = parent;
      mEditorRect = editorRect;
      mContentScale = contentScale;
      mBounds = ScaledLocked();
    }
    // The browser may report the new page before CreateWebView has returned (on another
    // thread, or on this one): OnWebViewCreated waits here until the page is stored, and a
    // report made on this very thread is kept and handled once it is.
    std::unique_lock<std::recursive_mutex> creating(mCreateMutex);
    mCreating = true;
    mEarlyCreated.reset();
    std::shared_ptr<platform::WebView> page =
        platform::CreateWebView(parent, BoundsNow(), this, mOwner.GetEnableDevTools());
    {
      std::lock_guard<std::mutex> lock(mMutex);
      mPage = std::move(page);
      mReady = false;
    }
    mCreating = false;
    const std::optional<bool> early = mEarlyCreated;
    mEarlyCreated.reset();
    creating.unlock();
    if (early) OnWebViewCreated(*early);
  }

  void Close() {
    std::shared_ptr<platform::WebView> page;
    {
      std::lock_guard<std::mutex> lock(mMutex);
      page = std::move(mPage);
      mReady = false;
    }
    if (page) page->Close();
  }

  // The page, once it exists.
  std::shared_ptr<platform::WebView> ReadyPage() {
    std::lock_guard<std::mutex> lock(mMutex);
    return mReady ? mPage : nullptr;
  }

  // A new editor rectangle (editor pixels), a new content scale of the host, or both: the
  // page's bounds are recomputed with the window's current display scale and applied.
  void Refit(const std::optional<EditorRect>& editorRect, std::optional<float> contentScale) {
    std::shared_ptr<platform::WebView> page;
    platform::WebViewRect applied;
    float scale;
    {
      std::lock_guard<std::mutex> lock(mMutex);
      if (editorRect) mEditorRect = *editorRect;
      if (contentScale) mContentScale = *contentScale;
      mBounds = ScaledLocked();
      TakeClientRectLocked();
      applied = mBounds;
      scale = mContentScale;
      page = mReady ? mPage : nullptr;
    }
    if (!page) return;
    if (contentScale) page->SetDeviceScale(scale);
    page->SetBounds(applied);
  }

  // platform::WebViewListener
  void OnWebViewCreated(bool ok) override {
    {
      std::lock_guard<std::recursive_mutex> creating(mCreateMutex);
      if (mCreating) {
        // Reported from within CreateWebView on the opening thread: handled when it returns.
        mEarlyCreated = ok;
        return;
      }
    }
    std::shared_ptr<platform::WebView> page;
    platform::WebViewRect bounds;
    float scale;
    {
      std::lock_guard<std::mutex> lock(mMutex);
      if (!ok || !mPage) return;
      mReady = true;
      page = mPage;
      TakeClientRectLocked();
      bounds = mBounds;
      scale = mContentScale;
    }
    for (const char* script : kInjectedScripts) page->AddDocumentScript(script);
    page->SetDeviceScale(scale);
    page->SetBounds(bounds);
    mOwner.OnWebViewReady();
  }

  bool OnNavigationStarting(const std::string& url) override { return mOwner.OnCanNavigateToURL(url.c_str()); }

  void OnNavigationCompleted(bool success) override {
    if (success) mOwner.OnWebContentLoaded();
  }

  void OnWebMessage(const std::string& json) override { mOwner.OnMessageFromWebView(json.c_str()); }

  bool OnNewWindowRequested(const std::string& url) override {
    // Web links open in the user's browser; anything else is left to the page's browser.
    const std::string text = "\"url\":\"" + url + "\"";
    const auto address = ParseOpenUrlRequest(text.data(), static_cast<int>(text.size()));
    if (!address) return false;
    void* parent = nullptr;
    {
      std::lock_guard<std::mutex> lock(mMutex);
      parent = mParent;
    }
    // The parent window owns anything the shell shows while it opens the link.
    return platform::OpenUrl(*address, parent);
  }

  // Downloads: this plug-in's hooks decide; the platform cancels what they refuse.
  bool OnDownloadStarting(const std::string& mimeType) override { return mOwner.OnCanDownloadMIMEType(mimeType.c_str()); }
  std::string OnDownloadPath(const std::string& proposedPath) override {
    std::string local;
    mOwner.OnGetLocalDownloadPathForFile(proposedPath.c_str(), local);
    return local;
  }
  void OnDownloadProgress(int64_t bytesReceived, int64_t totalBytes) override {
    mOwner.OnReceivedData(bytesReceived, totalBytes);
  }
  void OnDownloadFinished(const std::string& path, bool completed) override {
    if (completed)
      mOwner.OnDownloadedFile(path.c_str());
    else
      mOwner.OnFailedToDownloadFile(path.c_str());
  }

 private:
  platform::WebViewRect ScaledLocked() const {
    return IWebView::ScaledBounds(mEditorRect.x, mEditorRect.y, mEditorRect.width, mEditorRect.height,
                                  platform::GetWindowScale(mParent));
  }
  platform::WebViewRect BoundsNow() {
    std::lock_guard<std::mutex> lock(mMutex);
    return mBounds;
  }

  // A readable, non-empty client rectangle of the parent always wins over the requested one.
  void TakeClientRectLocked() {
    platform::WebViewRect client;
    if (platform::GetWindowClientRect(mParent, client) && client.right > client.left && client.bottom > client.top)
      mBounds = client;
  }

  IWebView& mOwner;
  std::recursive_mutex mCreateMutex;
  bool mCreating = false;                 // guarded by mCreateMutex
  std::optional<bool> mEarlyCreated;      // guarded by mCreateMutex
  std::mutex mMutex;
  std::shared_ptr<platform::WebView> mPage;
  void* mParent = nullptr;
  EditorRect mEditorRect;       // the editor's rectangle, editor pixels
  float mContentScale = 1.0f;  // the host's content scale
  platform::WebViewRect mBounds;
  bool mReady = false;
};

IWebView::IWebView(bool /*enableScroll*/, bool enableDevTools, const char* /*customUrlScheme*/)
    : mEnableDevTools(enableDevTools), mImpl(std::make_unique<IWebViewImpl>(*this)) {}

IWebView::~IWebView() { CloseWebView(); }

platform::WebViewRect IWebView::ScaledBounds(float x, float y, float width, float height, float scale) {
  const auto edge = [](float v) {
    const float e = std::ceil(v);
    return std::isfinite(e) && std::fabs(e) < 1e9f ? static_cast<int>(e) : 0;
  };
  return {edge(x * scale), edge(y * scale), edge((x + width) * scale) + 1, edge((y + height) * scale) + 1};
}

void* IWebView::OpenWebView(void* parent, float x, float y, float width, float height, float scale) {
  mImpl->Open(parent, EditorRect{x, y, width, height}, ValidScale(scale) ? scale : 1.0f);
  return parent;
}

void IWebView::CloseWebView() { mImpl->Close(); }

void IWebView::LoadHTML(const char* html) {
  if (auto page = mImpl->ReadyPage()) page->NavigateToString(html ? html : "");
}

void IWebView::LoadFile(const char* fileName) {
  auto page = mImpl->ReadyPage();
  if (!page) return;
  const std::string path = fileName ? fileName : "";
  const size_t slash = path.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  page->MapVirtualHostToFolder(folder);
  std::string url = std::string("https://") + platform::kWebViewVirtualHost + "/" + name;
  if (url.size() > 2048) url.resize(2048);
  page->Navigate(url);
}

void IWebView::EvaluateJavaScript(const char* statement) {
  if (!statement) return;
  if (auto page = mImpl->ReadyPage()) page->ExecuteScript(statement);
}

void IWebView::SetWebViewBounds(float x, float y, float width, float height) {
  mImpl->Refit(EditorRect{x, y, width, height}, std::nullopt);
}

void IWebView::SetWebViewScale(float scale) {
  if (ValidScale(scale)) mImpl->Refit(std::nullopt, scale);
}

bool IWebView::CallDevTools(const std::string& method, const std::string& paramsJson, std::string& resultJson,
                            int timeoutMs) {
  auto page = mImpl->ReadyPage();
  return page && page->CallDevTools(method, paramsJson, resultJson, timeoutMs);
}

}  // namespace oskel
