#include "WebViewEditorDelegate.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "EditorProtocol.h"
#include "PageMessage.h"
#include "ParamDescriptions.h"

namespace oskel {

WebViewEditorDelegate::WebViewEditorDelegate(int nParams) : IEditorDelegate(nParams), IWebView(true, false) {}

WebViewEditorDelegate::~WebViewEditorDelegate() {
  CloseWebView();
  mEditorInitFunc = nullptr;
}

void* WebViewEditorDelegate::OpenWindow(void* parent) {
  mParentWindow = OpenWebView(parent, 0, 0, static_cast<float>(GetEditorWidth()),
                              static_cast<float>(GetEditorHeight()), mContentScale);
  return mParentWindow;
}

void WebViewEditorDelegate::CloseWindow() {
  CloseWebView();
  // No page, no idle work for it: the next page load opens the editor logic again.
  OnUIClose();
}

void WebViewEditorDelegate::OnParentWindowResize(int width, int height) {
  SetWebViewBounds(0, 0, static_cast<float>(width), static_cast<float>(height));
  EditorResizeFromUI(width, height, false);
}

void WebViewEditorDelegate::OnScreenScaleChanged(float scale) {
  if (!(scale > 0.0f) || !std::isfinite(scale)) return;
  mContentScale = scale;
  SetWebViewScale(scale);
}

bool WebViewEditorDelegate::OnKeyDown(const KeyPress& key) {
  if (key.VK != 32) return false;
  platform::PostKeyDown(mParentWindow, 32);
  return true;
}

bool WebViewEditorDelegate::OnKeyUp(const KeyPress& /*key*/) { return true; }

void WebViewEditorDelegate::SendControlValueToUI(int ctrlTag, double normalized) {
  EvaluateJavaScript(ControlValueStatement(ctrlTag, normalized).c_str());
}

void WebViewEditorDelegate::SendControlMsgToUI(int ctrlTag, int msgTag, int dataSize, const void* data) {
  EvaluateJavaScript(ControlMsgStatement(ctrlTag, msgTag, dataSize, data).c_str());
}

void WebViewEditorDelegate::SendArbitraryMsgToUI(int msgTag, int dataSize, const void* data) {
  EvaluateJavaScript(ArbitraryMsgStatement(msgTag, dataSize, data).c_str());
}

void WebViewEditorDelegate::SendMidiMsgToUI(const MidiMessage& msg) {
  EvaluateJavaScript(MidiMsgStatement(msg).c_str());
}

void WebViewEditorDelegate::SendParameterValueToUI(int paramIdx, double value, bool normalized) {
  if (!normalized) {
    const IParam* param = GetParam(paramIdx);
    if (!param) return;
    value = param->ToNormalized(value);
  }
  EvaluateJavaScript(ParameterValueStatement(paramIdx, value).c_str());
}

void WebViewEditorDelegate::OnWebViewReady() {
  if (mEditorInitFunc) mEditorInitFunc();
}

void WebViewEditorDelegate::OnWebContentLoaded() {
  const std::string descriptions = BuildParamDescriptions(*this);
  SendArbitraryMsgToUI(kMsgTagNone, static_cast<int>(descriptions.size()), descriptions.data());
  OnUIOpen();
}

void WebViewEditorDelegate::OnMessageFromWebView(const char* json) {
  if (!json) return;
  const std::optional<PageMessage> message = ParsePageMessage(json);
  if (!message) return;
  // Edits name a parameter of this plug-in; anything else would reach the host as an edit of a
  // parameter that does not exist.
  const bool knownParam = message->paramIdx >= 0 && message->paramIdx < NParams();
  switch (message->kind) {
    case PageMessage::kSetParameter:
      if (knownParam) SetParameterFromUI(message->paramIdx, std::clamp(message->value, 0.0, 1.0));
      break;
    case PageMessage::kBeginEdit:
      if (knownParam) BeginEditFromUI(message->paramIdx);
      break;
    case PageMessage::kEndEdit:
      if (knownParam) EndEditFromUI(message->paramIdx);
      break;
    case PageMessage::kArbitrary:
      SendArbitraryMsgFromUI(message->msgTag, message->ctrlTag, static_cast<int>(message->data.size()),
                             message->hasData ? message->data.data() : nullptr);
      break;
    case PageMessage::kMidi:
      SendMidiMsgFromUI(message->midi);
      break;
    case PageMessage::kKey:
      if (message->keyUp)
        OnKeyUp(message->key);
      else
        OnKeyDown(message->key);
      break;
  }
}

}  // namespace oskel
