#include "WebViewEditorDelegate.h"

namespace oskel {

WebViewEditorDelegate::WebViewEditorDelegate(int nParams) : IEditorDelegate(nParams), IWebView(true, false) {}

WebViewEditorDelegate::~WebViewEditorDelegate() {
  CloseWebView();
  mEditorInitFunc = nullptr;
}

void* WebViewEditorDelegate::OpenWindow(void* parent) {
  return OpenWebView(parent, 0, 0, static_cast<float>(GetEditorWidth()), static_cast<float>(GetEditorHeight()), 1.0f);
}

void WebViewEditorDelegate::CloseWindow() { CloseWebView(); }

void WebViewEditorDelegate::OnParentWindowResize(int width, int height) {
  SetWebViewBounds(0, 0, static_cast<float>(width), static_cast<float>(height));
  EditorResizeFromUI(width, height, false);
}

}  // namespace oskel
