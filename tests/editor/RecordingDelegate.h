#pragma once

#include <string>
#include <utility>
#include <vector>

#include "editor/WebViewEditorDelegate.h"

// An editor delegate without a host: records the page statements and the calls messages lead to.
class RecordingDelegate : public oskel::WebViewEditorDelegate {
 public:
  struct Call {
    Call(std::string w, int x = 0, int y = 0, double v = 0.0) : what(std::move(w)), a(x), b(y), value(v) {}
    std::string what;
    int a = 0;
    int b = 0;
    double value = 0.0;
    bool operator==(const Call& o) const { return what == o.what && a == o.a && b == o.b && value == o.value; }
  };

  explicit RecordingDelegate(int nParams = 3) : WebViewEditorDelegate(nParams) {
    SetEditorSize(1200, 560);
    GetParam(0)->InitDouble("Gain", 0.0, -12.0, 12.0, 0.1, "dB");
    for (int i = 1; i < nParams; ++i) GetParam(i)->InitBool("Switch", false);
  }

  void EvaluateJavaScript(const char* statement) override { statements.push_back(statement); }
  void OnParamChange(int) override {}
  void ResendAllParamsToHost() override {}
  void BeginEditFromUI(int idx) override { calls.push_back({"begin", idx}); }
  void SetParameterFromUI(int idx, double value) override { calls.push_back({"set", idx, 0, value}); }
  void EndEditFromUI(int idx) override { calls.push_back({"end", idx}); }
  bool EditorResizeFromUI(int w, int h, bool host) override {
    calls.push_back({host ? "resize-host" : "resize", w, h});
    return true;
  }
  void SendMidiMsgFromUI(const oskel::MidiMessage& m) override {
    calls.push_back({"midi", m.status, m.data1 * 256 + m.data2, static_cast<double>(m.offset)});
  }
  void SendSysexMsgFromUI(const oskel::SysExMessage&) override { calls.push_back({"sysex"}); }
  bool OnMessage(int msgTag, int ctrlTag, int size, const void* data) override {
    const std::string text = data ? std::string(static_cast<const char*>(data), static_cast<size_t>(size)) : "<none>";
    calls.push_back({"message:" + text, msgTag, ctrlTag, static_cast<double>(size)});
    return true;
  }
  // b: whether the delegate handled the key (only space goes down to it; every key up does).
  bool OnKeyDown(const oskel::KeyPress& key) override { return Key("keydown:", key, WebViewEditorDelegate::OnKeyDown(key)); }
  bool OnKeyUp(const oskel::KeyPress& key) override { return Key("keyup:", key, WebViewEditorDelegate::OnKeyUp(key)); }
  bool Key(const char* what, const oskel::KeyPress& key, bool handled) {
    calls.push_back({what + std::string(key.utf8), key.VK, handled});
    return handled;
  }
  void OnUIOpen() override { statements.push_back("<OnUIOpen>"); }
  void OnUIClose() override { statements.push_back("<OnUIClose>"); }

  std::vector<std::string> statements;
  std::vector<Call> calls;
};
