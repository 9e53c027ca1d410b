#pragma once

#include <functional>

#include "framework/IEditorDelegate.h"
#include "IWebView.h"

namespace oskel {

// The plug-in side of the editor page: formats statements for the page and dispatches the
// page's messages. Placeholder until the editor bridge work fills it in.
class WebViewEditorDelegate : public IEditorDelegate, public IWebView {
 public:
  explicit WebViewEditorDelegate(int nParams);
  ~WebViewEditorDelegate() override;

  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  void OnParentWindowResize(int width, int height) override;

  std::function<void()> mEditorInitFunc;
};

}  // namespace oskel
