#include "IWebView.h"

#include <cmath>
#include <mutex>

#include "EditorProtocol.h"
#include "PageRequests.h"

namespace oskel {

// Connects one IWebView to its platform page. The page's listener calls arrive on the
// user-interface thread; the operations come from any thread, so the page pointer and the
// ready flag are guarded. The mutex is only held to read or swap them, never while calling
// into the page, so closing a page (which waits for a listener call in progress) cannot
// deadlock with a listener call that runs an operation.
class IWebViewImpl final : public platform::WebViewListener {
 public:
  explicit IWebViewImpl(IWebView& owner) : mOwner(owner) {}

  void Open(void* parent, const platform::WebViewRect& bounds) {
    Close();
    std::shared_ptr<platform::WebView> page = platform::CreateWebView(parent, bounds, this, mOwner.GetEnableDevTools());
    std::lock_guard<std::mutex> lock(mMutex);
    mParent = parent;
    mBounds = bounds;
    mPage = std::move(page);
    mReady = false;
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

  void SetBounds(const platform::WebViewRect& bounds) {
    std::shared_ptr<platform::WebView> page;
    platform::WebViewRect applied;
    {
      std::lock_guard<std::mutex> lock(mMutex);
      mBounds = bounds;
      TakeClientRectLocked();
      applied = mBounds;
      page = mReady ? mPage : nullptr;
    }
    if (page) page->SetBounds(applied);
  }

  void* Parent() {
    std::lock_guard<std::mutex> lock(mMutex);
    return mParent;
  }

  // platform::WebViewListener
  void OnWebViewCreated(bool ok) override {
    std::shared_ptr<platform::WebView> page;
    platform::WebViewRect bounds;
    {
      std::lock_guard<std::mutex> lock(mMutex);
      if (!ok || !mPage) return;
      mReady = true;
      page = mPage;
      TakeClientRectLocked();
      bounds = mBounds;
    }
    for (const char* script : kInjectedScripts) page->AddDocumentScript(script);
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
  // A readable, non-empty client rectangle of the parent always wins over the requested one.
  void TakeClientRectLocked() {
    platform::WebViewRect client;
    if (platform::GetWindowClientRect(mParent, client) && client.right > client.left && client.bottom > client.top)
      mBounds = client;
  }

  IWebView& mOwner;
  std::mutex mMutex;
  std::shared_ptr<platform::WebView> mPage;
  void* mParent = nullptr;
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

void* IWebView::OpenWebView(void* parent, float x, float y, float width, float height, float /*scale*/) {
  mImpl->Open(parent, ScaledBounds(x, y, width, height, platform::GetWindowScale(parent)));
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
  mImpl->SetBounds(ScaledBounds(x, y, width, height, platform::GetWindowScale(mImpl->Parent())));
}

bool IWebView::CallDevTools(const std::string& method, const std::string& paramsJson, std::string& resultJson,
                            int timeoutMs) {
  auto page = mImpl->ReadyPage();
  return page && page->CallDevTools(method, paramsJson, resultJson, timeoutMs);
}

}  // namespace oskel
