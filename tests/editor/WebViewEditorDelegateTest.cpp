// What the editor delegate makes of the page's messages, hostile ones included.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "editor/EditorProtocol.h"
#include "editor/WebViewEditorDelegate.h"
#include "plugin/LUMAEQ5.h"

using namespace oskel;

namespace {

using Lines = std::vector<std::string>;

// An editor delegate without a host: records the page statements, and the calls messages lead to as text.
class RecordingDelegate : public WebViewEditorDelegate {
 public:
  explicit RecordingDelegate(int nParams = 3) : WebViewEditorDelegate(nParams) {
    GetParam(0)->InitDouble("Gain", 0.0, -12.0, 12.0, 0.1, "dB");
    for (int i = 1; i < nParams; ++i) GetParam(i)->InitBool("Switch", false);
  }

  template <typename... T>
  void Record(const T&... parts) {
    std::ostringstream text;
    ((text << parts << ' '), ...);
    calls.push_back(text.str().substr(0, text.str().size() - 1));
  }
  void EvaluateJavaScript(const char* statement) override { statements.push_back(statement); }
  void OnParamChange(int) override {}
  void ResendAllParamsToHost() override {}
  void BeginEditFromUI(int idx) override { Record("begin", idx); }
  void SetParameterFromUI(int idx, double value) override { Record("set", idx, value); }
  void EndEditFromUI(int idx) override { Record("end", idx); }
  bool EditorResizeFromUI(int w, int h, bool host) override { Record(host ? "resize-host" : "resize", w, h); return true; }
  void SendMidiMsgFromUI(const MidiMessage& m) override { Record("midi", +m.status, +m.data1, +m.data2); }
  void SendSysexMsgFromUI(const SysExMessage&) override { Record("sysex"); }
  bool OnMessage(int msgTag, int ctrlTag, int size, const void* data) override {
    Record("message", msgTag, ctrlTag, size, data ? std::string(static_cast<const char*>(data), size) : "<none>");
    return true;
  }
  // The last word: whether the delegate handled the key (only space goes down to it; every key up does).
  bool OnKeyDown(const KeyPress& key) override { return Key("keydown", key, WebViewEditorDelegate::OnKeyDown(key)); }
  bool OnKeyUp(const KeyPress& key) override { return Key("keyup", key, WebViewEditorDelegate::OnKeyUp(key)); }
  bool Key(const char* what, const KeyPress& key, bool handled) {
    Record(what, std::string("'") + key.utf8 + "'", key.VK, handled);
    return handled;
  }
  void OnUIOpen() override { statements.push_back("<OnUIOpen>"); }
  void OnUIClose() override { statements.push_back("<OnUIClose>"); }

  Lines statements, calls;
};

}  // namespace

TEST(WebViewEditorDelegate, TurnsPageMessagesIntoPluginCalls) {
  const struct {
    const char* json;
    const char* call;
  } cases[] = {
      {R"({"msg":"SPVFUI","paramIdx":0,"value":0.25})", "set 0 0.25"},
      {R"({"msg":"SPVFUI","paramIdx":1.9,"value":1})", "set 1 1"},
      {R"({"msg":"SPVFUI","paramIdx":2,"value":7.5})", "set 2 1"},  // normalised values stay in 0..1
      {R"({"msg":"BPCFUI","paramIdx":2})", "begin 2"},
      {R"({"msg":"EPCFUI","paramIdx":0})", "end 0"},
      {R"({"msg":"SMMFUI","statusByte":144,"dataByte1":60,"dataByte2":100})", "midi 144 60 100"},
      {R"({"msg":"SAMFUI","msgTag":1,"ctrlTag":-1,"data":"YWJj"})", "message 1 -1 3 abc"},
      {R"({"msg":"SAMFUI","msgTag":9,"ctrlTag":4,"data":17})", "message 9 4 0 <none>"},
      {R"({"msg":"SKPFUI","keyCode":100,"utf8":"4","S":false,"C":true,"A":false,"isUp":true})", "keyup '4' 52 1"},
      {R"({"msg":"SKPFUI","keyCode":32,"utf8":" ","S":false,"C":false,"A":false,"isUp":false})", "keydown ' ' 32 1"},
      {R"({"msg":"SKPFUI","keyCode":13,"utf8":"Enter","S":false,"C":false,"A":false,"isUp":false})",
       "keydown 'Ente' 13 0"},
  };
  for (const auto& c : cases) {
    RecordingDelegate delegate;
    delegate.OnMessageFromWebView(c.json);
    EXPECT_EQ(delegate.calls, Lines{c.call}) << c.json;
  }
}

TEST(WebViewEditorDelegate, IgnoresMalformedMessagesWithoutSideEffects) {
  const char* cases[] = {
      "", "[]", "{", R"({"msg":1})", R"({"msg":"spvfui","paramIdx":0,"value":0})", R"({"paramIdx":0,"value":0.5})",
      R"({"msg":"SPVFUI","paramIdx":0})", R"({"msg":"SPVFUI","value":0.5})",
      R"({"msg":"SPVFUI","paramIdx":"0","value":0.5})", R"({"msg":"SPVFUI","paramIdx":0,"value":"0.5"})",
      R"({"msg":"SPVFUI","paramIdx":3,"value":0.5})", R"({"msg":"SPVFUI","paramIdx":-1,"value":0.5})",
      R"({"msg":"SPVFUI","paramIdx":4294967296,"value":0.5})", R"({"msg":"SPVFUI","paramIdx":0,"value":1e999})",
      R"({"msg":"BPCFUI","paramIdx":53})", R"({"msg":"EPCFUI","paramIdx":null})", R"({"msg":"SAMFUI","msgTag":1})",
      R"({"msg":"SMMFUI","statusByte":144,"dataByte1":60})", R"({"msg":"SKPFUI","keyCode":32,"utf8":" ","isUp":false})",
      R"({"msg":"SKPFUI","keyCode":32,"utf8":5,"S":false,"C":false,"A":false,"isUp":false})",
      R"({"msg":"SKPFUI","keyCode":32,"utf8":" ","S":0,"C":false,"A":false,"isUp":false})",
  };
  RecordingDelegate delegate;
  for (const char* json : cases) delegate.OnMessageFromWebView(json);
  delegate.OnMessageFromWebView(nullptr);
  const std::string huge = R"({"msg":"BPCFUI","paramIdx":0,"pad":")" + std::string(2 << 20, 'x') + "\"}";
  delegate.OnMessageFromWebView(huge.c_str());
  const std::string deep = std::string(200000, '[') + std::string(200000, ']');
  delegate.OnMessageFromWebView(deep.c_str());
  EXPECT_EQ(delegate.calls, Lines{});
  EXPECT_EQ(delegate.statements, Lines{});
}

// Plain values are converted before they are sent; no such parameter, nothing to convert with.
// The descriptions come before the page is opened; a parent resize moves the page without asking the host.
TEST(WebViewEditorDelegate, SendsValuesAndHandsLoadReadinessResizeAndCloseOn) {
  RecordingDelegate delegate;
  delegate.SendParameterValueToUI(0, 6.0, false);
  delegate.SendParameterValueToUI(0, 99.0, false);
  delegate.SendParameterValueToUI(0, 0.3, true);
  delegate.SendParameterValueToUI(9, 1.0, false);
  EXPECT_EQ(delegate.statements, (Lines{"SPVFD(0, 0.750000)", "SPVFD(0, 1.000000)", "SPVFD(0, 0.300000)"}));
  delegate.statements.clear();
  delegate.OnWebContentLoaded();
  ASSERT_EQ(delegate.statements.size(), 2u);
  EXPECT_EQ(delegate.statements[0].rfind("SAMFD(-1, ", 0), 0u);
  EXPECT_EQ(delegate.statements[1], "<OnUIOpen>");
  int runs = 0;
  delegate.OnWebViewReady();
  delegate.mEditorInitFunc = [&runs] { ++runs; };
  delegate.OnWebViewReady();
  EXPECT_EQ(runs, 1);
  delegate.OnParentWindowResize(800, 400);
  EXPECT_EQ(delegate.calls, Lines{"resize 800 400"});
  delegate.statements.clear();
  delegate.CloseWindow();
  EXPECT_EQ(delegate.statements, Lines{"<OnUIClose>"});
}

namespace {

const std::vector<std::string> kSeeds = {
    R"({"msg":"SPVFUI","paramIdx":1,"value":0.5})",
    R"({"msg":"BPCFUI","paramIdx":2})",
    R"({"msg":"EPCFUI","paramIdx":0})",
    R"({"msg":"SAMFUI","msgTag":1,"ctrlTag":-1,"data":"eyJwYXJhbUlkeCI6MTIsInZhbHVlIjo2Mi41fQ=="})",
    R"({"msg":"SMMFUI","statusByte":144,"dataByte1":60,"dataByte2":100})",
    R"({"msg":"SKPFUI","keyCode":32,"utf8":" ","S":false,"C":false,"A":false,"isUp":false})",
};

std::string Mutate(std::string text, std::mt19937& rng) {
  static const std::string kAlphabet = "{}[]\":,.-+eE0123456789 \\/=nulltruefalseABCxyz\x01\xff";
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int e = 0; e < edits; ++e) {
    const size_t at = text.empty() ? 0 : rng() % text.size();
    switch (rng() % 4) {
      case 0: if (!text.empty()) text.erase(at, 1 + rng() % 3); break;
      case 1: text.insert(at, 1, kAlphabet[rng() % kAlphabet.size()]); break;
      case 2: if (!text.empty()) text[at] = kAlphabet[rng() % kAlphabet.size()]; break;
      default: text.insert(at, std::to_string(static_cast<int>(rng())) + (rng() % 2 ? "e9" : ".5")); break;
    }
  }
  return text;
}

std::string RandomBytes(std::mt19937& rng) {
  std::string text(rng() % 64, ' ');
  for (char& c : text) c = static_cast<char>(1 + rng() % 255);
  return text;
}

}  // namespace

// Random and mutated messages: no crash, only edits of existing parameters, every value in range.
TEST(EditorFuzz, PageMessagesAndSetRequestsNeverLeadToMalformedCallsOrValues) {
  std::mt19937 rng(20240611);
  RecordingDelegate delegate(53);
  LUMAEQ5 plugin{oskel::InstanceInfo{}};
  const std::string setSeed = R"({"paramIdx":12,"value":62.5})";
  for (int i = 0; i < 20000; ++i) {
    const std::string text = i % 5 == 0 ? RandomBytes(rng) : Mutate(kSeeds[rng() % kSeeds.size()], rng);
    delegate.OnMessageFromWebView(text.c_str());
    const std::string request = i % 4 == 0 ? RandomBytes(rng) : Mutate(setSeed, rng);
    EXPECT_TRUE(plugin.OnMessage(oskel::kMsgTagSetParamValue, 0, static_cast<int>(request.size()), request.data()));
  }
  ASSERT_FALSE(delegate.calls.empty());
  for (const auto& call : delegate.calls) {
    std::istringstream words(call);
    std::string what;
    int idx = -1;
    double value = -1.0;
    if (!(words >> what >> idx) || (what != "set" && what != "begin" && what != "end")) continue;
    EXPECT_TRUE(idx >= 0 && idx < 53) << call;
    if (what == "set") {
      EXPECT_TRUE((words >> value) && value >= 0.0 && value <= 1.0) << call;
    }
  }
  for (int p = 0; p < plugin.NParams(); ++p) {
    const oskel::IParam* param = plugin.GetParam(p);
    EXPECT_TRUE(std::isfinite(param->Value()));
    EXPECT_GE(param->Value(), param->GetMin());
    EXPECT_LE(param->Value(), param->GetMax());
  }
}
