#include "WebViewPage.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "RunLoop.h"

namespace oskel::platform {

namespace {

// The page-side name of the message channel: a DevTools binding that the shim below wraps
// into window.chrome.webview.postMessage, posting the object as its JSON text.
constexpr const char* kBindingName = "kyrWebViewPost";
constexpr const char* kShimScript =
    "(function() { window.chrome = window.chrome || {}; window.chrome.webview = { postMessage: function(m) { "
    "window.kyrWebViewPost(JSON.stringify(m === undefined ? null : m)); } }; })();";

std::string VirtualHostPrefix() { return std::string("https://") + kWebViewVirtualHost + "/"; }

std::string ToBase64(const std::string& bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  uint32_t bits = 0;
  int nBits = 0;
  for (const unsigned char c : bytes) {
    bits = (bits << 8) | c;
    for (nBits += 8; nBits >= 6; nBits -= 6) out += kDigits[(bits >> (nBits - 6)) & 63];
  }
  if (nBits > 0) out += kDigits[(bits << (6 - nBits)) & 63];
  while (out.size() % 4) out += '=';
  return out;
}

std::string MimeType(const std::string& name) {
  const std::string ext = std::filesystem::path(name).extension().string();
  if (ext == ".html" || ext == ".htm") return "text/html; charset=utf-8";
  if (ext == ".js" || ext == ".mjs") return "text/javascript; charset=utf-8";
  if (ext == ".css") return "text/css; charset=utf-8";
  if (ext == ".json") return "application/json";
  if (ext == ".svg") return "image/svg+xml";
  if (ext == ".png") return "image/png";
  if (ext == ".woff2") return "font/woff2";
  return "application/octet-stream";
}

// The file below `folder` that a virtual-host path names; empty for paths that would leave it.
std::string FileBelow(const std::string& folder, const std::string& path) {
  if (folder.empty() || path.empty() || path.find("..") != std::string::npos ||
      path.find('\\') != std::string::npos || path.front() == '/')
    return {};
  return folder + "/" + path;
}

}  // namespace

ChromiumPage::ChromiumPage(std::shared_ptr<ChromiumBrowser> browser, const WebViewRect& bounds,
                           WebViewListener* listener)
    : mBrowser(std::move(browser)), mSlot(std::make_shared<ListenerSlot>()), mBounds(bounds) {
  mSlot->listener = listener;
}

ChromiumPage::~ChromiumPage() = default;

template <typename Call>
void ChromiumPage::PostToListener(Call call) {
  PostToUIThread([slot = mSlot, call = std::move(call)]() mutable {
    std::lock_guard<std::recursive_mutex> lock(slot->mutex);
    if (slot->listener) call(*slot->listener);
  });
}

void ChromiumPage::Start() {
  nlohmann::json params = {{"url", "about:blank"}};
  if (!mBrowser->IsHeadless()) params["newWindow"] = true;
  std::weak_ptr<ChromiumPage> weak = weak_from_this();
  mBrowser->Send("Target.createTarget", params, {}, [weak](bool ok, const nlohmann::json& result) {
    auto self = weak.lock();
    if (!self) return;
    if (!ok || !result.contains("targetId")) return self->Fail();
    self->Attach(result["targetId"].get<std::string>());
  });
}

void ChromiumPage::Fail() {
  PostToListener([](WebViewListener& listener) { listener.OnWebViewCreated(false); });
}

void ChromiumPage::Attach(const std::string& targetId) {
  bool closed;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mTargetId = targetId;
    closed = mClosed;
  }
  if (closed) {
    mBrowser->Send("Target.closeTarget", {{"targetId", targetId}});
    return;
  }
  std::weak_ptr<ChromiumPage> weak = weak_from_this();
  mBrowser->AddRoute("opener:" + targetId, [weak](const std::string& method, const nlohmann::json& params) {
    if (auto self = weak.lock()) self->OnEvent(method, params);
  });
  mBrowser->Send("Target.attachToTarget", {{"targetId", targetId}, {"flatten", true}}, {},
                 [weak](bool ok, const nlohmann::json& result) {
                   auto self = weak.lock();
                   if (!self) return;
                   if (!ok || !result.contains("sessionId")) return self->Fail();
                   self->SetUp(result["sessionId"].get<std::string>());
                 });
}

void ChromiumPage::SetUp(const std::string& sessionId) {
  std::weak_ptr<ChromiumPage> weak = weak_from_this();
  mBrowser->AddRoute(sessionId, [weak](const std::string& method, const nlohmann::json& params) {
    if (auto self = weak.lock()) self->OnEvent(method, params);
  });
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mSessionId = sessionId;
  }
  SendToPage("Page.enable", {});
  SendToPage("Runtime.enable", {});
  // For the HTTP status of the main document.
  SendToPage("Network.enable", {});
  SendToPage("Runtime.addBinding", {{"name", kBindingName}});
  SendToPage("Page.addScriptToEvaluateOnNewDocument", {{"source", kShimScript}});
  SendToPage("Fetch.enable", {{"patterns", nlohmann::json::array({{{"urlPattern", "*"}, {"requestStage", "Request"}}})}});
  SendDeviceMetrics();
  // Commands of one session are carried out in order: when this one is answered, all are.
  SendToPage("Runtime.evaluate", {{"expression", "0"}}, [weak](bool ok, const nlohmann::json&) {
    auto self = weak.lock();
    if (!self) return;
    if (!ok) return self->Fail();
    self->PostToListener([](WebViewListener& listener) { listener.OnWebViewCreated(true); });
  });
}

void ChromiumPage::SendToPage(const std::string& method, nlohmann::json params, ChromiumBrowser::Reply reply) {
  std::string sessionId;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    if (!mClosed) sessionId = mSessionId;
  }
  if (sessionId.empty()) {
    if (reply) reply(false, nlohmann::json());
    return;
  }
  mBrowser->Send(method, std::move(params), sessionId, std::move(reply));
}

void ChromiumPage::OnUIThread(std::function<void(ChromiumPage&)> operation) {
  // A statement formatted on the host's thread and one formatted on the user-interface thread
  // (the idle work) must reach the page in the order their values were set: sending both from
  // the one thread keeps that order, since a value set elsewhere is posted after anything the
  // user-interface thread has read before it.
  if (RunLoop::Get().IsLoopThread()) {
    operation(*this);
    return;
  }
  std::weak_ptr<ChromiumPage> weak = weak_from_this();
  PostToUIThread([weak, operation = std::move(operation)] {
    if (auto self = weak.lock()) operation(*self);
  });
}

void ChromiumPage::AddDocumentScript(const std::string& script) {
  OnUIThread([script](ChromiumPage& page) {
    page.SendToPage("Page.addScriptToEvaluateOnNewDocument", {{"source", script}});
  });
}

void ChromiumPage::NavigateToString(const std::string& html) {
  OnUIThread([html](ChromiumPage& page) {
    {
      std::lock_guard<std::mutex> lock(page.mMutex);
      page.mHtml = html;
      page.mNavigated = true;
    }
    page.SendToPage("Page.navigate", {{"url", VirtualHostPrefix()}});
  });
}

void ChromiumPage::MapVirtualHostToFolder(const std::string& folder) {
  OnUIThread([folder](ChromiumPage& page) {
    std::lock_guard<std::mutex> lock(page.mMutex);
    page.mFolder = folder;
  });
}

void ChromiumPage::Navigate(const std::string& url) {
  OnUIThread([url](ChromiumPage& page) {
    {
      std::lock_guard<std::mutex> lock(page.mMutex);
      page.mNavigated = true;
    }
    page.SendToPage("Page.navigate", {{"url", url}});
  });
}

void ChromiumPage::ExecuteScript(const std::string& script) {
  OnUIThread([script](ChromiumPage& page) { page.SendToPage("Runtime.evaluate", {{"expression", script}}); });
}

void ChromiumPage::SetBounds(const WebViewRect& bounds) {
  OnUIThread([bounds](ChromiumPage& page) {
    {
      std::lock_guard<std::mutex> lock(page.mMutex);
      page.mBounds = bounds;
    }
    page.SendDeviceMetrics();
  });
}

void ChromiumPage::SetDeviceScale(float scale) {
  if (!(scale > 0.0f) || !std::isfinite(scale)) return;
  OnUIThread([scale](ChromiumPage& page) {
    {
      std::lock_guard<std::mutex> lock(page.mMutex);
      page.mScale = scale;
    }
    page.SendDeviceMetrics();
  });
}

void ChromiumPage::SendDeviceMetrics() {
  WebViewRect bounds;
  float scale;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    bounds = mBounds;
    scale = mScale;
  }
  const int width = std::max(1, bounds.right - bounds.left);
  const int height = std::max(1, bounds.bottom - bounds.top);
  SendToPage("Emulation.setDeviceMetricsOverride",
             {{"width", width}, {"height", height}, {"deviceScaleFactor", scale}, {"mobile", false}});
}

bool ChromiumPage::CallDevTools(const std::string& method, const std::string& paramsJson, std::string& resultJson,
                                int timeoutMs) {
  nlohmann::json params = nlohmann::json::parse(paramsJson.empty() ? "{}" : paramsJson, nullptr, false);
  if (params.is_discarded()) return false;
  struct Answer {
    std::mutex mutex;
    std::condition_variable done;
    bool arrived = false;
    bool ok = false;
    std::string text;
  };
  auto answer = std::make_shared<Answer>();
  SendToPage(method, std::move(params), [answer](bool ok, const nlohmann::json& result) {
    std::lock_guard<std::mutex> lock(answer->mutex);
    answer->arrived = true;
    answer->ok = ok;
    answer->text = result.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    answer->done.notify_all();
  });
  std::unique_lock<std::mutex> lock(answer->mutex);
  if (!answer->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return answer->arrived; }))
    return false;
  resultJson = answer->text;
  return answer->ok;
}

void ChromiumPage::Close() {
  {
    // Waits for a listener call in progress; none starts afterwards.
    std::lock_guard<std::recursive_mutex> lock(mSlot->mutex);
    mSlot->listener = nullptr;
  }
  std::string targetId, sessionId;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    if (mClosed) return;
    mClosed = true;
    targetId = mTargetId;
    sessionId = mSessionId;
  }
  if (!sessionId.empty()) mBrowser->RemoveRoute(sessionId);
  if (!targetId.empty()) {
    mBrowser->RemoveRoute("opener:" + targetId);
    mBrowser->Send("Target.closeTarget", {{"targetId", targetId}});
  }
}

void ChromiumPage::OnEvent(const std::string& method, const nlohmann::json& params) {
  if (method == "Runtime.bindingCalled") {
    if (params.value("name", std::string()) != kBindingName) return;
    std::string payload = params.value("payload", std::string());
    PostToListener([payload = std::move(payload)](WebViewListener& listener) { listener.OnWebMessage(payload); });
  } else if (method == "Fetch.requestPaused") {
    OnRequestPaused(params);
  } else if (method == "Page.frameNavigated") {
    const nlohmann::json frame = params.value("frame", nlohmann::json::object());
    if (frame.contains("parentId")) return;
    std::lock_guard<std::mutex> lock(mMutex);
    mMainFrameUrl = frame.value("url", std::string());
  } else if (method == "Network.responseReceived") {
    if (params.value("type", std::string()) != "Document") return;
    std::lock_guard<std::mutex> lock(mMutex);
    if (params.value("frameId", std::string()) != mTargetId) return;
    const nlohmann::json response = params.value("response", nlohmann::json::object());
    mMainFrameStatus = response.value("status", 0);
  } else if (method == "Page.loadEventFired") {
    bool report, success;
    {
      std::lock_guard<std::mutex> lock(mMutex);
      report = mNavigated;
      // An error status fails the navigation even when a body was shown (WebView2's rule).
      success = mMainFrameUrl.rfind("chrome-error:", 0) != 0 && !(mMainFrameStatus >= 400);
    }
    if (report)
      PostToListener([success](WebViewListener& listener) { listener.OnNavigationCompleted(success); });
  } else if (method == "Page.windowOpen") {
    std::weak_ptr<ChromiumPage> weak = weak_from_this();
    std::string url = params.value("url", std::string());
    int request;
    {
      std::lock_guard<std::mutex> lock(mMutex);
      request = mRequestCount++;
    }
    PostToListener([weak, url = std::move(url), request](WebViewListener& listener) {
      const bool handled = listener.OnNewWindowRequested(url);
      if (auto self = weak.lock()) {
        {
          std::lock_guard<std::mutex> lock(self->mMutex);
          self->mDecisions[request] = handled;
        }
        self->SettlePopups();
      }
    });
  } else if (method == "Target.targetCreated") {
    const nlohmann::json info = params.value("targetInfo", nlohmann::json::object());
    {
      std::lock_guard<std::mutex> lock(mMutex);
      mPopups[mPopupCount++] = info.value("targetId", std::string());
    }
    SettlePopups();
  } else if (method == "Page.javascriptDialogOpening") {
    // Nobody can answer a dialog in the editor: it is accepted, so the page never hangs on it.
    SendToPage("Page.handleJavaScriptDialog", {{"accept", true}});
  }
}

void ChromiumPage::SettlePopups() {
  std::vector<std::string> toClose;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    for (auto it = mDecisions.begin(); it != mDecisions.end();) {
      const auto popup = mPopups.find(it->first);
      if (popup == mPopups.end()) {
        ++it;  // its popup is not reported yet
        continue;
      }
      // A declined request leaves its popup to the browser.
      if (it->second) toClose.push_back(popup->second);
      mPopups.erase(popup);
      it = mDecisions.erase(it);
    }
  }
  for (const std::string& id : toClose) mBrowser->Send("Target.closeTarget", {{"targetId", id}});
}

void ChromiumPage::OnRequestPaused(const nlohmann::json& params) {
  const std::string requestId = params.value("requestId", std::string());
  const std::string url = params.value("request", nlohmann::json::object()).value("url", std::string());
  bool mainFrameDocument;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mainFrameDocument = params.value("resourceType", std::string()) == "Document" &&
                        params.value("frameId", std::string()) == mTargetId;
  }
  if (!mainFrameDocument) return ResolveRequest(requestId, url, true);
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mMainFrameStatus = 0;
  }
  std::weak_ptr<ChromiumPage> weak = weak_from_this();
  PostToListener([weak, requestId, url](WebViewListener& listener) {
    const bool allowed = listener.OnNavigationStarting(url);
    if (auto self = weak.lock()) self->ResolveRequest(requestId, url, allowed);
  });
}

void ChromiumPage::ResolveRequest(const std::string& requestId, const std::string& url, bool allowed) {
  if (!allowed) {
    SendToPage("Fetch.failRequest", {{"requestId", requestId}, {"errorReason", "Aborted"}});
    return;
  }
  const std::string prefix = VirtualHostPrefix();
  if (url.rfind(prefix, 0) != 0) {
    SendToPage("Fetch.continueRequest", {{"requestId", requestId}});
    return;
  }
  std::string path = url.substr(prefix.size());
  path = path.substr(0, path.find_first_of("?#"));
  std::string body, mime;
  bool found = false;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    if (path.empty() && !mHtml.empty()) {
      body = mHtml;
      mime = MimeType("index.html");
      found = true;
    } else if (const std::string file = FileBelow(mFolder, path); !file.empty()) {
      std::ifstream in(file, std::ios::binary);
      if (in) {
        body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        mime = MimeType(file);
        found = true;
      }
    }
  }
  nlohmann::json headers = nlohmann::json::array();
  if (found) headers.push_back({{"name", "Content-Type"}, {"value", mime}});
  SendToPage("Fetch.fulfillRequest", {{"requestId", requestId},
                                      {"responseCode", found ? 200 : 404},
                                      {"responseHeaders", headers},
                                      {"body", ToBase64(body)}});
}

}  // namespace oskel::platform
