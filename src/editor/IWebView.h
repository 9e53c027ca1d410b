#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace oskel {

class IWebViewImpl;

// Hosts the editor page in an embedded browser inside the host's editor window: creates the
// page, injects the editor scripts, wires the browser's events to the hooks below, shows the
// page, runs outgoing statements and keeps the page's rectangle in step with the window.
//
// Operations may be called from the host's main thread and from the user-interface thread
// (the idle timer); the hooks are always called on the user-interface thread, and none runs
// once CloseWebView() has returned. Before the page exists (and after it is closed) LoadHTML,
// LoadFile and EvaluateJavaScript do nothing.
class IWebView {
 public:
  explicit IWebView(bool enableScroll = true, bool enableDevTools = false, const char* customUrlScheme = "");
  virtual ~IWebView();
  IWebView(const IWebView&) = delete;
  IWebView& operator=(const IWebView&) = delete;

  // Starts creating the page in `parent` and returns `parent` at once; OnWebViewReady follows
  // when the page exists. The rectangle (editor pixels, scaled by the window's display scale)
  // becomes the page's size until the first SetWebViewBounds (or the parent's own client area,
  // where it can be read). `scale` is the host's content scale (see SetWebViewScale).
  void* OpenWebView(void* parent, float x, float y, float width, float height, float scale);
  void CloseWebView();
  void LoadHTML(const char* html);
  // Shows a file through the virtual host, which serves the file's folder.
  void LoadFile(const char* fileName);
  // Virtual so that tests and tools can watch the statements the plug-in sends.
  virtual void EvaluateJavaScript(const char* statement);
  void SetWebViewBounds(float x, float y, float width, float height);
  // The host's content scale has changed: the page's bounds are recomputed for the last editor
  // rectangle with the window's display scale (its DPI on Windows) and applied, and a page that
  // renders the scale itself (Linux) takes it as its device pixel ratio. Scales that are not
  // positive and finite are ignored.
  void SetWebViewScale(float scale);

  // Tools and tests: one browser command to the open page (see platform::WebView).
  bool CallDevTools(const std::string& method, const std::string& paramsJson, std::string& resultJson,
                    int timeoutMs);

  // The page's rectangle for an editor rectangle at a display scale: edges rounded up, the
  // right and bottom edges one pixel beyond.
  static platform::WebViewRect ScaledBounds(float x, float y, float width, float height, float scale);

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
  std::unique_ptr<IWebViewImpl> mImpl;
};

}  // namespace oskel
