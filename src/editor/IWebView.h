#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace oskel {

class IWebViewImpl;

// Hosts the editor page in an embedded browser inside the host's editor window.
// Placeholder: the browser host is filled in by the editor bridge work.
class IWebView {
 public:
  explicit IWebView(bool enableScroll = true, bool enableDevTools = false, const char* customUrlScheme = "");
  virtual ~IWebView();

  void* OpenWebView(void* parent, float x, float y, float width, float height, float scale);
  void CloseWebView();
  void LoadHTML(const char* html);
  void LoadFile(const char* fileName);
  void EvaluateJavaScript(const char* statement);
  void SetWebViewBounds(float x, float y, float width, float height);

  virtual void OnWebViewReady() {}
  virtual void OnWebContentLoaded() {}
  virtual void OnMessageFromWebView(const char* /*json*/) {}
  virtual bool OnCanNavigateToURL(const char* /*url*/) { return true; }
  virtual bool OnCanDownloadMIMEType(const char* /*mimeType*/) { return true; }
  virtual void OnGetLocalDownloadPathForFile(const char* /*fileName*/, std::string& /*localPath*/) {}
  virtual void OnDownloadedFile(const char* /*path*/) {}
  virtual void OnFailedToDownloadFile(const char* /*path*/) {}
  virtual void OnReceivedData(int64_t /*received*/, int64_t /*total*/) {}

  bool GetEnableDevTools() const { return mEnableDevTools; }

 private:
  bool mEnableDevTools = false;
};

}  // namespace oskel
