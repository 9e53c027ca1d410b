// What crosses between the plug-in and its page, both ways, and what the editor delegate makes of it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cfloat>
#include <cmath>
#include <complex>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "editor/AnalyserPicture.h"
#include "editor/Base64.h"
#include "editor/EditorProtocol.h"
#include "editor/MeterMessage.h"
#include "editor/PageRequests.h"
#include "editor/ParamDescriptions.h"
#include "editor/Radix2Fft.h"
#include "editor/RealFft.h"
#include "editor/WebViewEditorDelegate.h"
#include "plugin/LUMAEQ5.h"

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

using namespace oskel;

// Groups with their fill, both ways (bufferLength 0: decoding only). Decoding takes its size from the
// text's length and fill, stops at a character outside the alphabet (the rest stays 0), writes no further.
TEST(Base64, EncodesAndDecodesGroupsWithTheirFill) {
  const struct {
    std::string bytes, text;
    int bufferLength;
  } cases[] = {
      {"", "", 1}, {"f", "Zg==", 5}, {"fo", "Zm8=", 5}, {"foo", "Zm9v", 5}, {"foob", "Zm9vYg==", 9},
      {"fooba", "Zm9vYmE=", 9}, {"foobar", "Zm9vYmFy", 9}, {std::string("\xff\xfe\x00", 3), "//4A", 5},
      {"", "=", 0}, {std::string("f\0\0\0\0\0", 6), "Zm!vYmFy", 0}, {std::string("foo\0\0\0", 6), "Zm9v\nYmFy", 0},
      {"foo", "Zm9vY", 0},
  };
  for (const auto& c : cases) {
    if (c.bufferLength) {
      EXPECT_EQ(Base64Encode(c.bytes.data(), c.bytes.size()), c.text) << c.bytes;
      EXPECT_EQ(Base64BufferLength(static_cast<int>(c.bytes.size())), c.bufferLength) << c.bytes;
    }
    const std::vector<uint8_t> out = Base64Decode(c.text);
    EXPECT_EQ(std::string(out.begin(), out.end()), c.bytes) << c.text;
  }
}

TEST(EditorProtocol, FormatsEveryOutgoingStatement) {
  EXPECT_EQ(ParameterValueStatement(7, 0.5), "SPVFD(7, 0.500000)");
  EXPECT_EQ(ControlValueStatement(3, 1.0), "SCVFD(3, 1.000000)");
  EXPECT_EQ(ControlMsgStatement(2, 5, 3, "abc"), "SCMFD(2, 5, 3, 'YWJj')");
  EXPECT_EQ(ArbitraryMsgStatement(0, 3, "abc"), "SAMFD(0, 5, 'YWJj')");
  EXPECT_EQ(ArbitraryMsgStatement(4, 1, "a"), "SAMFD(4, 5, 'YQ==')");
  EXPECT_EQ(ArbitraryMsgStatement(4, 0, nullptr), "SAMFD(4, 1, '')");
  MidiMessage note;
  note.status = 144;
  note.data1 = 60;
  note.data2 = 100;
  EXPECT_EQ(MidiMsgStatement(note), "SMMFD(144, 60, 100)");
}

TEST(EditorProtocol, CutsStatementsAtTheScriptLimit) {
  const std::string payload(7000, 'x');  // 9336 base64 characters
  const std::string statement = ArbitraryMsgStatement(0, static_cast<int>(payload.size()), payload.data());
  EXPECT_EQ(statement.size(), static_cast<size_t>(kMaxScriptLength));
  EXPECT_EQ(statement.substr(0, 18), "SAMFD(0, 9337, 'eH");
}

TEST(EditorProtocol, MapsBrowserKeyCodesToVirtualKeys) {
  const struct {
    int keyCode, vk;
  } cases[] = {{8, 8},   {9, 9},    {13, 13},   {20, 20}, {27, 27}, {32, 32}, {40, 40}, {45, 45}, {46, 46},
               {48, 48}, {57, 57},  {65, 65},   {90, 90}, {96, 48}, {100, 52}, {105, 57}, {112, 112}, {123, 123},
               {7, 0},   {21, 0},   {41, 0},    {91, 0},  {106, 0}, {124, 0}, {186, 0}, {-1, 0}};
  for (const auto& c : cases) EXPECT_EQ(VirtualKeyFromBrowserKeyCode(c.keyCode), c.vk) << c.keyCode;
}

TEST(EditorProtocol, InjectsTheThreeScriptsVerbatim) {
  EXPECT_STREQ(kInjectedScripts[0], "function IPluginSendMsg(m) {window.chrome.webview.postMessage(m)};");
  EXPECT_STREQ(kInjectedScripts[1],
               "document.addEventListener('keydown', function(e) { if(document.activeElement.type != \"text\") { "
               "IPluginSendMsg({'msg': 'SKPFUI', 'keyCode': e.keyCode, 'utf8': e.key, 'S': e.shiftKey, 'C': "
               "e.ctrlKey, 'A': e.altKey, 'isUp': false}); }});");
  EXPECT_STREQ(kInjectedScripts[2],
               "document.addEventListener('keyup', function(e) { if(document.activeElement.type != \"text\") { "
               "IPluginSendMsg({'msg': 'SKPFUI', 'keyCode': e.keyCode, 'utf8': e.key, 'S': e.shiftKey, 'C': "
               "e.ctrlKey, 'A': e.altKey, 'isUp': true}); }});");
}

TEST(ParamDescriptions, DescribeTheFiftyThreeParametersByteForByte) {
  LUMAEQ5 plugin{InstanceInfo{}};
  const std::string text = BuildParamDescriptions(plugin);
  EXPECT_EQ(text.size(), 6082u);
  EXPECT_EQ(text.rfind("{\"id\":\"params\",\"params\":[{\"default\":50.0,\"display_type\":0,\"id\":0,\"max\":100.0,"
                       "\"min\":0.0,\"name\":\"Input\",\"rate\":\"control\",\"type\":\"float\"},",
                       0),
            0u);
  const nlohmann::json document = nlohmann::json::parse(text);
  ASSERT_EQ(document["params"].size(), 53u);
  for (int i = 0; i < 53; ++i) {
    EXPECT_EQ(document["params"][i]["id"], i);
    EXPECT_EQ(document["params"][i]["name"], plugin.GetParam(i)->GetName());
  }
}

TEST(ParamDescriptions, RoundRealsToSixDecimalsAndEscapeNames) {
  RecordingDelegate delegate(3);
  delegate.GetParam(1)->InitDouble("Say \"hi\"\\", 0.1234567, -12.0, 12.0, 0.0000001);
  const nlohmann::json document = nlohmann::json::parse(BuildParamDescriptions(delegate));
  const nlohmann::json& gain = document["params"][0];
  EXPECT_EQ(gain.dump(), R"({"default":0.0,"display_type":0,"id":0,"max":12.0,"min":-12.0,"name":"Gain","rate":"control","type":"float"})");
  EXPECT_EQ(document["params"][1]["name"], "Say \"hi\"\\");
  EXPECT_EQ(document["params"][1]["default"].get<double>(), 0.123457);
  EXPECT_EQ(document["params"][2]["type"], "bool");
}

// Every field distinct from the others, so that a swapped field shows.
TEST(MeterMessage, FormatsEveryValueWithItsDecimals) {
  MeterValues m{.thd = 1.23456f, .drive = 0.373f, .loRed = 2.5f, .hiRed = 0.75f, .tp = -0.004f, .lufs = -23.44f,
                .xf = 62.5f, .tb = 37.5f, .ease = -1.5f, .ppg = {0.8f, 0.9f, 1.0f, 1.1f, 1.2f, 2.5f}, .ppbg = {0.05f, 1.2f}};
  EXPECT_EQ(FormatMeterMessage(m),
            R"({"t":"meters","thd":1.235,"drive":0.373,"loRed":2.50,"hiRed":0.75,"tp":-0.00,"lufs":-23.4,)"
            R"("xf":62.500,"tb":37.500,"ease":-1.50,"ppg":[0.800,0.900,1.000,1.100,1.200,2.500],"ppbg":[0.050,1.200]})");
  // Absurd values cannot overflow the 512-byte buffer.
  for (float* v : {&m.thd, &m.drive, &m.loRed, &m.hiRed, &m.tp, &m.lufs, &m.xf, &m.tb, &m.ease}) *v = -FLT_MAX;
  EXPECT_EQ(FormatMeterMessage(m).size(), 511u);
}

namespace {

// The transform's definition, evaluated directly.
std::vector<std::complex<double>> NaiveDft(const std::vector<float>& x) {
  const int n = static_cast<int>(x.size());
  std::vector<std::complex<double>> out(static_cast<size_t>(n / 2 + 1));
  for (int k = 0; k <= n / 2; ++k)
    for (int i = 0; i < n; ++i)
      out[static_cast<size_t>(k)] += static_cast<double>(x[static_cast<size_t>(i)]) *
                                     std::polar(1.0, -2.0 * M_PI * k * i / n);
  return out;
}

std::vector<float> TestSignal(int n) {
  std::vector<float> x(static_cast<size_t>(n));
  uint32_t seed = 7;
  for (int i = 0; i < n; ++i) {
    seed = seed * 1664525u + 1013904223u;
    x[static_cast<size_t>(i)] = static_cast<float>(0.3 * std::sin(0.05 * i) + 0.2 * ((seed >> 8) / 8388608.0 - 1.0));
  }
  return x;
}

std::vector<double> Sine(double freqHz, double sampleRate) {
  std::vector<double> s(AnalyserPicture::kFftSize);
  for (size_t i = 0; i < s.size(); ++i) s[i] = std::sin(2.0 * M_PI * freqHz * static_cast<double>(i) / sampleRate);
  return s;
}

}  // namespace

// Both transforms the build can use (the library one and the portable one) match the
// definition, so the spectrum is the same on every platform.
TEST(RealFft, BothImplementationsMatchTheDefinition) {
  const int n = 2048;
  const std::vector<float> x = TestSignal(n);
  const auto expected = NaiveDft(x);

  std::vector<float> viaBuild(2 * (n / 2 + 1)), viaRadix2(2 * (n / 2 + 1));
  oskel::RealFft fft(n);
  fft.Forward(x.data(), viaBuild.data());
  oskel::Radix2Fft radix2(n);
  radix2.ForwardReal(x.data(), viaRadix2.data());

  for (int k = 0; k <= n / 2; ++k) {
    const double re = expected[static_cast<size_t>(k)].real(), im = expected[static_cast<size_t>(k)].imag();
    ASSERT_NEAR(viaBuild[2 * k], re, 1e-3) << "bin " << k;
    ASSERT_NEAR(viaBuild[2 * k + 1], im, 1e-3) << "bin " << k;
    ASSERT_NEAR(viaRadix2[2 * k], re, 1e-6 * (1.0 + std::abs(re))) << "bin " << k;
    ASSERT_NEAR(viaRadix2[2 * k + 1], im, 1e-6 * (1.0 + std::abs(im))) << "bin " << k;
  }
}

// The input channel is silent: level 0 in all its bands.
TEST(AnalyserPicture, FullScaleSineAtABinCentreReadsZeroDecibelsAndSilenceZero) {
  AnalyserPicture spectrum;
  const std::vector<double> sine = Sine(23.4375, 48000.0);
  const std::vector<double> silence(AnalyserPicture::kFftSize, 0.0);
  uint8_t picture[AnalyserPicture::kPictureSize];
  spectrum.Compute(silence.data(), sine.data(), 48000.0, picture);
  EXPECT_NEAR(spectrum.BinPowers()[1], 0.999, 0.002);
  for (int band = 0; band <= 2; ++band) EXPECT_EQ(picture[128 + band], 255) << band;
  EXPECT_LT(picture[128 + 3], 255);  // bands 3.. average bins 1 and 2
  for (int band = 0; band < 128; ++band) EXPECT_EQ(picture[band], 0) << band;
}

TEST(AnalyserPicture, HighBandsBeyondTheLastBinShareItsLevelAtLowRates) {
  AnalyserPicture spectrum;
  std::vector<double> noise(AnalyserPicture::kFftSize);
  uint32_t seed = 1;
  for (double& s : noise) s = ((seed = seed * 1664525u + 1013904223u) >> 8) / double(1 << 24) - 0.5;
  uint8_t picture[AnalyserPicture::kPictureSize];
  spectrum.Compute(noise.data(), noise.data(), 22050.0, picture);
  for (int band = 117; band < 128; ++band) EXPECT_EQ(picture[band], picture[127]) << band;
  EXPECT_GT(picture[127], 0);
}

TEST(AnalyserPicture, BadInputGivesAPictureWithoutFaults) {
  AnalyserPicture spectrum;
  std::vector<double> bad = Sine(1000.0, 48000.0);
  bad[10] = NAN;
  bad[20] = INFINITY;
  bad[30] = 1e300;
  uint8_t picture[AnalyserPicture::kPictureSize];
  for (double rate : std::vector<double>{48000.0, 0.0, -1.0, NAN, INFINITY}) spectrum.Compute(bad.data(), bad.data(), rate, picture);
  spectrum.Compute(bad.data(), bad.data(), 0.0, picture);
  for (uint8_t level : picture) EXPECT_EQ(level, 0);
}

TEST(PageRequests, ReadsTheParameterAndValueOfASetRequest) {
  const struct {
    const char* text;
    int paramIdx;
    double value;
  } cases[] = {
      {R"({"paramIdx":12,"value":62.5})", 12, 62.5},
      {R"({"value": 0.1, "paramIdx": 7})", 7, static_cast<double>(0.1f)},
      {R"({"paramIdx":+5,"value":+2e1x})", 5, 20.0},
      {R"({"paramIdx":-3,"value":1})", -3, 1.0},
      {R"({"paramIdx":99999999999,"value":1})", -1, 1.0},
      {R"({"paramIdx":x,"value":abc})", -1, 0.0},
      {R"({"paramIdx":,"value":0.5})", -1, 0.5},
      {R"({"paramIdx":-,"value":0.5})", -1, 0.5},
      {R"({"value":3})", -1, 3.0},
      {R"({"paramIdx":4})", 4, 0.0},
      {R"({"paramIdx":1,"value":1e300})", 1, static_cast<double>(FLT_MAX)},
  };
  for (const auto& c : cases) {
    const auto request = ParseSetParamRequest(c.text, static_cast<int>(std::strlen(c.text)));
    ASSERT_TRUE(request) << c.text;
    EXPECT_EQ(request->paramIdx, c.paramIdx) << c.text;
    EXPECT_EQ(request->value, c.value) << c.text;
  }
  for (const char* text : {R"({"paramIdx":1,"value":inf})", R"({"paramIdx":1,"value":nan})",
                           R"({"paramIdx":1,"value":1e999})"})
    EXPECT_FALSE(ParseSetParamRequest(text, static_cast<int>(std::strlen(text)))) << text;
  EXPECT_FALSE(ParseSetParamRequest(nullptr, 10));
  // Only dataSize bytes are read.
  const char cut[] = R"({"paramIdx":12,"value":62.5})";
  EXPECT_EQ(ParseSetParamRequest(cut, 13)->paramIdx, 1);
}

TEST(PageRequests, OpensOnlyWebAddresses) {
  const struct {
    const char* text;
    const char* url;  // nullptr: nothing opens
  } cases[] = {
      {R"({"url":"https://oskel.example/manual"})", "https://oskel.example/manual"},
      {R"({"url":"http://a.example/?q=1\"x"})", "http://a.example/?q=1\\"},
      {R"({"url":"https://unterminated)", "https://unterminated"},
      {R"({"url":"HTTPS://oskel.example"})", nullptr},
      {R"({"url":"ftp://oskel.example"})", nullptr},
      {R"({"url":"file:///etc/passwd"})", nullptr},
      {R"x({"url":"javascript:alert(1)"})x", nullptr},
      {R"({"url": "https://space.example"})", nullptr},
      {R"({"link":"https://oskel.example"})", nullptr},
      {"{\"url\":\"https://a.example/\nb\"}", nullptr},
  };
  for (const auto& c : cases) {
    const auto url = ParseOpenUrlRequest(c.text, static_cast<int>(std::strlen(c.text)));
    if (c.url)
      EXPECT_EQ(url.value_or("<none>"), c.url) << c.text;
    else
      EXPECT_FALSE(url) << c.text;
  }
  EXPECT_FALSE(ParseOpenUrlRequest(nullptr, 5));
  EXPECT_FALSE(ParseOpenUrlRequest(R"({"url":"https://x"})", 0));
}

using Call = RecordingDelegate::Call;

TEST(WebViewEditorDelegate, TurnsPageMessagesIntoPluginCalls) {
  const struct {
    const char* json;
    Call call;
  } cases[] = {
      {R"({"msg":"SPVFUI","paramIdx":0,"value":0.25})", {"set", 0, 0, 0.25}},
      {R"({"msg":"SPVFUI","paramIdx":1.9,"value":1})", {"set", 1, 0, 1.0}},
      {R"({"msg":"SPVFUI","paramIdx":2,"value":7.5})", {"set", 2, 0, 1.0}},  // normalised values stay in 0..1
      {R"({"msg":"BPCFUI","paramIdx":2})", {"begin", 2}},
      {R"({"msg":"EPCFUI","paramIdx":0})", {"end", 0}},
      {R"({"msg":"SMMFUI","statusByte":144,"dataByte1":60,"dataByte2":100})", {"midi", 144, 60 * 256 + 100, 0.0}},
      {R"({"msg":"SMMFUI","statusByte":400,"dataByte1":60.7,"dataByte2":-1})", {"midi", 144, 60 * 256 + 255, 0.0}},
      {R"({"msg":"SAMFUI","msgTag":1,"ctrlTag":-1,"data":"YWJj"})", {"message:abc", 1, -1, 3.0}},
      {R"({"msg":"SAMFUI","msgTag":9,"ctrlTag":4,"data":17})", {"message:<none>", 9, 4, 0.0}},
      {R"({"msg":"SKPFUI","keyCode":100,"utf8":"4","S":false,"C":true,"A":false,"isUp":true})", {"keyup:4", 52, 1}},
      {R"({"msg":"SKPFUI","keyCode":32,"utf8":" ","S":false,"C":false,"A":false,"isUp":false})", {"keydown: ", 32, 1}},
      {R"({"msg":"SKPFUI","keyCode":13,"utf8":"Enter","S":false,"C":false,"A":false,"isUp":false})",
       {"keydown:Ente", 13}},
  };
  for (const auto& c : cases) {
    RecordingDelegate delegate;
    delegate.OnMessageFromWebView(c.json);
    ASSERT_EQ(delegate.calls.size(), 1u) << c.json;
    EXPECT_EQ(delegate.calls[0], c.call) << c.json << " gave " << delegate.calls[0].what;
  }
}

TEST(WebViewEditorDelegate, IgnoresMalformedMessagesWithoutSideEffects) {
  const char* cases[] = {
      "", "null", "[]", "42", "{", "{\"msg\":\"SPVFUI\"", R"({"msg":1})", R"({"msg":"spvfui","paramIdx":0,"value":0})",
      R"({"paramIdx":0,"value":0.5})", R"({"msg":"SPVFUI","paramIdx":0})", R"({"msg":"SPVFUI","value":0.5})",
      R"({"msg":"SPVFUI","paramIdx":"0","value":0.5})", R"({"msg":"SPVFUI","paramIdx":0,"value":"0.5"})",
      R"({"msg":"SPVFUI","paramIdx":3,"value":0.5})", R"({"msg":"SPVFUI","paramIdx":-1,"value":0.5})",
      R"({"msg":"SPVFUI","paramIdx":4294967296,"value":0.5})", R"({"msg":"SPVFUI","paramIdx":1e300,"value":0.5})",
      R"({"msg":"SPVFUI","paramIdx":0,"value":1e999})", R"({"msg":"BPCFUI","paramIdx":53})",
      R"({"msg":"EPCFUI","paramIdx":null})", R"({"msg":"SAMFUI","msgTag":1})",
      R"({"msg":"SMMFUI","statusByte":144,"dataByte1":60})", R"({"msg":"SKPFUI","keyCode":32,"utf8":" ","isUp":false})",
      R"({"msg":"SKPFUI","keyCode":32,"utf8":5,"S":false,"C":false,"A":false,"isUp":false})",
      R"({"msg":"SKPFUI","keyCode":32,"utf8":" ","S":0,"C":false,"A":false,"isUp":false})",
  };
  for (const char* json : cases) {
    RecordingDelegate delegate;
    delegate.OnMessageFromWebView(json);
    EXPECT_TRUE(delegate.calls.empty()) << json;
    EXPECT_TRUE(delegate.statements.empty()) << json;
  }
  RecordingDelegate delegate;
  delegate.OnMessageFromWebView(nullptr);
  const std::string huge = R"({"msg":"BPCFUI","paramIdx":0,"pad":")" + std::string(2 << 20, 'x') + "\"}";
  delegate.OnMessageFromWebView(huge.c_str());
  const std::string deep = std::string(200000, '[') + std::string(200000, ']');
  delegate.OnMessageFromWebView(deep.c_str());
  EXPECT_TRUE(delegate.calls.empty());
}

TEST(WebViewEditorDelegate, ConvertsPlainValuesBeforeSendingThem) {
  RecordingDelegate delegate;
  delegate.SendParameterValueToUI(0, 6.0, false);
  delegate.SendParameterValueToUI(0, 99.0, false);
  delegate.SendParameterValueToUI(0, 0.3, true);
  delegate.SendParameterValueToUI(9, 1.0, false);  // no such parameter: nothing to convert with
  const std::vector<std::string> expected = {"SPVFD(0, 0.750000)", "SPVFD(0, 1.000000)", "SPVFD(0, 0.300000)"};
  EXPECT_EQ(delegate.statements, expected);
}

TEST(WebViewEditorDelegate, LoadReadinessResizeAndCloseReachTheirTargets) {
  RecordingDelegate delegate;
  delegate.OnWebContentLoaded();
  ASSERT_EQ(delegate.statements.size(), 2u);
  EXPECT_EQ(delegate.statements[0].rfind("SAMFD(-1, ", 0), 0u);  // the descriptions come first
  EXPECT_EQ(delegate.statements[1], "<OnUIOpen>");
  int runs = 0;
  delegate.OnWebViewReady();
  delegate.mEditorInitFunc = [&runs] { ++runs; };
  delegate.OnWebViewReady();
  EXPECT_EQ(runs, 1);
  delegate.OnParentWindowResize(800, 400);  // moves the page without asking the host
  EXPECT_EQ(delegate.calls, (std::vector<Call>{{"resize", 800, 400}}));
  delegate.statements.clear();
  delegate.CloseWindow();
  EXPECT_EQ(delegate.statements, std::vector<std::string>{"<OnUIClose>"});
}

TEST(WebViewBounds, ScalesAndExtendsTheRightAndBottomEdges) {
  const auto r = oskel::IWebView::ScaledBounds(0, 0, 1200, 560, 1.5f);
  EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}), (std::vector<int>{0, 0, 1801, 841}));
  const auto s = oskel::IWebView::ScaledBounds(10.2f, 0, 100, 50, 1.0f);
  EXPECT_EQ((std::vector<int>{s.left, s.top, s.right, s.bottom}), (std::vector<int>{11, 0, 112, 51}));
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
    if (call.what == "set" || call.what == "begin" || call.what == "end") {
      EXPECT_GE(call.a, 0);
      EXPECT_LT(call.a, 53);
    }
    if (call.what == "set") {
      EXPECT_TRUE(call.value >= 0.0 && call.value <= 1.0) << call.value;
    }
  }
  for (int p = 0; p < plugin.NParams(); ++p) {
    const oskel::IParam* param = plugin.GetParam(p);
    EXPECT_TRUE(std::isfinite(param->Value()));
    EXPECT_GE(param->Value(), param->GetMin());
    EXPECT_LE(param->Value(), param->GetMax());
  }
}
