#pragma once

#include <functional>

#include "IWebView.h"
#include "framework/IEditorDelegate.h"

namespace oskel {

// The plug-in side of the editor page. It formats one statement per outgoing message (calls of
// the page's SPVFD, SCVFD, SCMFD, SAMFD and SMMFD) and runs it in the page, and it parses the
// JSON messages the page posts ("SPVFUI", "BPCFUI", "EPCFUI", "SAMFUI", "SMMFUI", "SKPFUI") and
// turns them into edits, arbitrary messages, MIDI and key events of the plug-in.
//
// Incoming messages and the page hooks run on the user-interface thread; outgoing statements
// may be sent from the host's main thread too (host automation). Messages that are not valid
// JSON, lack a member, carry a member of the wrong type or name no parameter change nothing.
class WebViewEditorDelegate : public IEditorDelegate, public IWebView {
 public:
  explicit WebViewEditorDelegate(int nParams);
  ~WebViewEditorDelegate() override;

  // IEditorDelegate: the editor window.
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  void OnParentWindowResize(int width, int height) override;
  // The host's content scale: the page is re-fitted at once, and opened at it next time.
  void OnScreenScaleChanged(float scale) override;

  // The space bar goes to the host's window (its transport); other keys are not used.
  bool OnKeyDown(const KeyPress& key) override;
  bool OnKeyUp(const KeyPress& key) override;

  // IEditorDelegate: plug-in to page.
  void SendControlValueToUI(int ctrlTag, double normalized) override;
  void SendControlMsgToUI(int ctrlTag, int msgTag, int dataSize, const void* data) override;
  void SendArbitraryMsgToUI(int msgTag, int dataSize, const void* data) override;
  void SendMidiMsgToUI(const MidiMessage& msg) override;
  void SendParameterValueToUI(int paramIdx, double value, bool normalized) override;

  // IWebView hooks.
  void OnWebViewReady() override;
  // Sends the parameter descriptions, then calls OnUIOpen.
  void OnWebContentLoaded() override;
  void OnMessageFromWebView(const char* json) override;

  // Runs once the web view is ready; the plug-in sets it to show its page.
  std::function<void()> mEditorInitFunc;

 protected:
  void* GetParentWindow() const { return mParentWindow; }

 private:
  void* mParentWindow = nullptr;
  float mContentScale = 1.0f;
};

}  // namespace oskel
