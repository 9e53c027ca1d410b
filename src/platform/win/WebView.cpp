#include <objbase.h>

#include "WebViewPage.h"

namespace oskel::platform {

const char* const kWebViewVirtualHost = "plugin.oskel.example";

std::shared_ptr<WebView> CreateWebView(void* parentWindow, const WebViewRect& bounds, WebViewListener* listener,
                                       bool devTools) {
  if (!listener) return nullptr;
  // The runtime's objects live in the single-threaded apartment of the host's user-interface
  // thread. A thread that is already initialised keeps its model; the result is not needed.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  auto page = std::make_shared<win::WebViewPage>(static_cast<HWND>(parentWindow), bounds, listener, devTools);
  if (!page->Start()) return nullptr;
  return page;
}

}  // namespace oskel::platform
