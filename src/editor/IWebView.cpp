#include "IWebView.h"

namespace oskel {

IWebView::IWebView(bool /*enableScroll*/, bool enableDevTools, const char* /*customUrlScheme*/)
    : mEnableDevTools(enableDevTools) {}

IWebView::~IWebView() = default;

void* IWebView::OpenWebView(void* parent, float, float, float, float, float) { return parent; }
void IWebView::CloseWebView() {}
void IWebView::LoadHTML(const char*) {}
void IWebView::LoadFile(const char*) {}
void IWebView::EvaluateJavaScript(const char*) {}
void IWebView::SetWebViewBounds(float, float, float, float) {}

}  // namespace oskel
