// Kyr EQ toward its page: what it sends and when, and what the page's messages lead to, through the
// real plug-in with its page and host replaced by recorders.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "editor/Base64.h"
#include "editor/EditorProtocol.h"
#include "editor/LevelsMessage.h"
#include "editor/MeterMessage.h"
#include "framework/ByteChunk.h"
#include "plugin/LUMAEQ5.h"

using namespace oskel;

namespace {

using Lines = std::vector<std::string>;

// The plug-in with its page replaced by a list of statements and its host by a list of edits.
class RecordingPlugin : public LUMAEQ5 {
 public:
  RecordingPlugin() : LUMAEQ5(oskel::InstanceInfo{}) {}
  void EvaluateJavaScript(const char* statement) override { statements.push_back(statement); }
  void BeginParamEdit(int idx) override { edits.push_back("begin " + std::to_string(idx)); }
  void PerformParamEdit(int idx, double v) override {
    edits.push_back("perform " + std::to_string(idx) + " " + std::to_string(v));
  }
  void EndParamEdit(int idx) override { edits.push_back("end " + std::to_string(idx)); }
  bool EditorResizeFromUI(int w, int h, bool host) override {
    edits.push_back((host ? "resize-host " : "resize ") + std::to_string(w) + " " + std::to_string(h));
    return LUMAEQ5::EditorResizeFromUI(w, h, host);
  }
  // The last word: whether the key was handled (only space goes down to the host; every key up does).
  bool OnKeyDown(const oskel::KeyPress& key) override { return Key("keydown '", key, LUMAEQ5::OnKeyDown(key)); }
  bool OnKeyUp(const oskel::KeyPress& key) override { return Key("keyup '", key, LUMAEQ5::OnKeyUp(key)); }
  bool Key(const std::string& what, const oskel::KeyPress& key, bool handled) {
    edits.push_back(what + key.utf8 + "' " + std::to_string(key.VK) + " " + std::to_string(handled));
    return handled;
  }

  void MarkBlockProcessed() { GetProcessor().GetMeters().processed.store(1); }
  void Tick() {  // with the statement list cleared first
    statements.clear();
    OnIdle();
  }
  // Each statement up to its first comma ("SPVFD(3", "SAMFD(4"), joined by ';'.
  std::string Heads() const {
    std::string heads;
    for (const auto& s : statements) heads += s.substr(0, s.find(',')) + ";";
    return heads;
  }
  // The decoded texts of the arbitrary messages with one tag, in order.
  std::vector<std::string> Texts(int tag) const {
    std::vector<std::string> texts;
    for (const auto& s : statements) {
      if (s.rfind("SAMFD(" + std::to_string(tag) + ", ", 0) != 0) continue;
      const std::vector<uint8_t> text = oskel::Base64Decode(s.substr(s.find('\'') + 1, s.rfind('\'') - s.find('\'') - 1));
      texts.emplace_back(text.begin(), text.end());
    }
    return texts;
  }
  void Post(int tag, const std::string& text) { EXPECT_TRUE(OnMessage(tag, 0, static_cast<int>(text.size()), text.data())); }

  Lines statements, edits;
};

}  // namespace

// Nothing before the page loads; no meters for blocks measured before the page had a reader.
TEST(PluginEditorLogic, OrderOfWhatThePageIsSentFromItsLoadAndAfterResets) {
  RecordingPlugin plugin;
  plugin.MarkBlockProcessed();
  for (int tick = 0; tick < 10; ++tick) plugin.OnIdle();
  EXPECT_TRUE(plugin.statements.empty());
  plugin.OnUIOpen();
  ASSERT_EQ(plugin.statements.size(), 53u);
  EXPECT_EQ(plugin.statements[0], "SPVFD(0, 0.500000)");
  plugin.Tick();
  EXPECT_EQ(plugin.statements[0], "SPVFD(0, 0.500000)");  // the plain value 50, converted
  std::string values;
  for (int i = 0; i < 53; ++i) values += "SPVFD(" + std::to_string(i) + ";";
  EXPECT_EQ(plugin.Heads(), values + "SAMFD(4;SAMFD(7;");

  // The meter comes before the spectrum (every third tick), the levels right after each meter.
  std::string ticks;
  for (int tick = 2; tick <= 8; ++tick) {
    if (tick == 3 || tick == 4) plugin.MarkBlockProcessed();
    plugin.Tick();
    ticks += plugin.Heads() + "|";
  }
  EXPECT_EQ(ticks, "|SAMFD(0;SAMFD(5;SAMFD(3;|SAMFD(0;SAMFD(5;||SAMFD(3;|||");
  // An engine reset resends every value on the next tick (not while closed), a restore at once.
  plugin.OnReset();
  plugin.Tick();
  EXPECT_EQ(plugin.Heads(), values + "SAMFD(4;SAMFD(3;");
  plugin.OnUIClose();
  plugin.OnReset();
  plugin.Tick();
  EXPECT_TRUE(plugin.statements.empty());
  plugin.OnRestoreState();
  EXPECT_EQ(plugin.Heads(), values);
}

// The page learns the engine's rate when it loads and when the rate changes.
TEST(PluginEditorLogic, ThePageLearnsTheRateWhenItLoadsAndWhenTheRateChanges) {
  RecordingPlugin plugin;
  plugin.GetProcessor().Reset(44100.0, 512);
  plugin.OnUIOpen();
  plugin.Tick();
  EXPECT_EQ(plugin.Texts(oskel::kMsgTagSampleRate), Lines{R"({"t":"rate","fs":44100})"});
  plugin.GetProcessor().Reset(96000.0, 512);
  plugin.Tick();
  EXPECT_EQ(plugin.Texts(oskel::kMsgTagSampleRate), Lines{R"({"t":"rate","fs":96000})"});
}

// A set request is one gesture in plain units, echoed; a bad one does nothing; only its own bytes are read.
TEST(PluginEditorLogic, SetParameterMessagesAreOneGestureEchoedOrNothing) {
  RecordingPlugin plugin;
  plugin.Post(oskel::kMsgTagSetParamValue, R"({"paramIdx":12,"value":62.5})");
  EXPECT_EQ(plugin.edits, (Lines{"begin 12", "perform 12 0.625000", "end 12"}));
  EXPECT_DOUBLE_EQ(plugin.GetParam(12)->Value(), 62.5);
  EXPECT_EQ(plugin.statements, Lines{"SPVFD(12, 0.625000)"});
  plugin.edits.clear();
  plugin.statements.clear();
  for (const std::string text : {R"({"paramIdx":53,"value":1})", R"({"paramIdx":-3,"value":1})", R"({"value":1})",
                                 R"({"paramIdx": x,"value":1})", R"({"paramIdx":4294967296,"value":1})",
                                 R"({"paramIdx":0,"value":nan})", R"({"paramIdx":0,"value":inf})",
                                 R"({"paramIdx":0,"value":1e999})"})
    plugin.Post(oskel::kMsgTagSetParamValue, text);
  EXPECT_TRUE(plugin.OnMessage(oskel::kMsgTagSetParamValue, 0, 11, R"({"value":1}{"paramIdx":3})"));
  plugin.Post(77, R"({"paramIdx":0,"value":1})");
  EXPECT_TRUE(plugin.edits.empty());
  EXPECT_TRUE(plugin.statements.empty());
}

// Display-only measurements run while the editor is open or a host reads IKyrMeters, and only then.
TEST(PluginEditorLogic, MetersAreMeasuredWhileTheEditorOrAHostReadsThem) {
  RecordingPlugin plugin;
  kyr::IKyrMeters* meters = nullptr;
  ASSERT_EQ(plugin.queryInterface(kyr::IKyrMeters::iid, reinterpret_cast<void**>(&meters)), Steinberg::kResultOk);
  std::string reading;
  for (const char step : std::string("-oOhoOH")) {  // the editor opens and closes, a host reads and stops
    if (step == 'o') plugin.OnUIOpen();
    if (step == 'O') plugin.OnUIClose();
    if (step == 'h' || step == 'H') meters->setMeterReader(step == 'h');
    reading += plugin.GetProcessor().GetMeters().reader.load() ? '1' : '0';
  }
  EXPECT_EQ(reading, "0101110");  // closing the editor does not stop what the host reads
  meters->release();
}

TEST(PluginEditorLogic, MeterAndLevelTextsAndTheResetReachesTheMeter) {
  EXPECT_EQ(oskel::FormatLevelsMessage({-23.04f, -22.96f, -18.26f, -0.504f, 3.456f}),
            R"({"t":"levels","m":-23.0,"s":-23.0,"i":-18.3,"inTp":-0.50,"gm":3.46})");
  RecordingPlugin plugin;
  plugin.OnUIOpen();
  plugin.OnIdle();
  plugin.MarkBlockProcessed();
  plugin.Tick();
  EXPECT_EQ(plugin.Texts(oskel::kMsgTagMeters), Lines{FormatMeterMessage(MeterValues{})});  // the engine's defaults
  EXPECT_EQ(plugin.Texts(oskel::kMsgTagLevels), Lines{FormatLevelsMessage(LevelValues{})});

  // A second of a -20 dBFS sine in both channels (one block, in place), then the page's reset.
  kyr::EqProcessor& p = plugin.GetProcessor();
  p.Reset(48000.0, 48000);
  p.OnParamChange(kyr::kBypass, 1.0);
  std::vector<double> l(48000);
  for (size_t i = 0; i < l.size(); ++i) l[i] = 0.1 * std::sin(2.0 * M_PI * 1000.0 * static_cast<double>(i) / 48000.0);
  std::vector<double> r = l;
  double* io[2] = {l.data(), r.data()};
  p.Process(io, io, 2, 2, 48000);
  EXPECT_NEAR(p.GetLevels().integrated, -20.0f, 0.1f);
  plugin.Post(oskel::kMsgTagResetLoudness, "");
  p.Process(io, io, 2, 2, 16);
  EXPECT_EQ(p.GetLevels().integrated, -120.0f);
}

// The page's state is handed back verbatim once per page load, after the values and rate, before the meters.
TEST(PluginEditorLogic, PageStateIsKeptAndReturnedOncePerPageLoad) {
  RecordingPlugin plugin;
  auto loadPage = [&] {
    plugin.OnUIOpen();
    plugin.MarkBlockProcessed();
    plugin.Tick();
  };
  loadPage();
  EXPECT_TRUE(plugin.Texts(oskel::kMsgTagPageState).empty()) << "nothing stored yet";

  // Escapes and non-ASCII text, and a full-size text whose statement is beyond the usual script limit.
  std::string large(oskel::kMaxPageStateBytes, 'x');
  large.front() = '{';
  large.back() = '}';
  const std::string note = R"({"ab":{"lit":"B"},"note":"a \"q\" \\ é)" "\n}";
  const struct {
    std::string stored, expected;
  } steps[] = {{note, note}, {large, large}, {large + " ", large}, {"", large}};  // too long or empty: kept
  for (const auto& step : steps) {
    plugin.statements.clear();
    plugin.Post(oskel::kMsgTagStorePageState, step.stored);
    EXPECT_TRUE(plugin.statements.empty()) << "storing sends nothing";
    loadPage();
    EXPECT_EQ(plugin.Texts(oskel::kMsgTagPageState), Lines{step.expected}) << step.stored.size();
    const std::string heads = plugin.Heads();
    EXPECT_EQ(heads.substr(heads.find("SAMFD"), 40), "SAMFD(4;SAMFD(6;SAMFD(7;SAMFD(0;SAMFD(5;");
    plugin.Tick();
    EXPECT_TRUE(plugin.Texts(oskel::kMsgTagPageState).empty()) << "only once per load";
  }
  plugin.OnReset();  // an engine reset is no page load
  plugin.Tick();
  EXPECT_TRUE(plugin.Texts(oskel::kMsgTagPageState).empty());
  // The project state does not carry it.
  oskel::ByteChunk withState, fresh;
  plugin.SerializeState(withState);
  RecordingPlugin().SerializeState(fresh);
  EXPECT_EQ(withState.Size(), fresh.Size());
}

// An allowed scale resizes the editor, is told to the page and again on its next load; others change nothing.
TEST(PluginEditorLogic, EditorSizeRequests) {
  RecordingPlugin plugin;
  const struct {
    const char* request;
    int width, height;
    const char* told;  // nullptr: refused, nothing sent
  } steps[] = {
      {R"({"scale":1.25})", 1500, 700, R"({"t":"size","scale":1.25})"},
      {R"({"scale":3})", 1500, 700, nullptr},
      {R"({"scale":"2"})", 1500, 700, nullptr},
      {R"({"scale":2.00})", 2400, 1120, R"({"t":"size","scale":2})"},
  };
  for (const auto& step : steps) {
    plugin.statements.clear();
    plugin.Post(oskel::kMsgTagEditorSize, step.request);
    EXPECT_EQ(plugin.GetEditorWidth(), step.width) << step.request;
    EXPECT_EQ(plugin.GetEditorHeight(), step.height) << step.request;
    EXPECT_EQ(plugin.Texts(oskel::kMsgTagEditorScale), step.told ? Lines{step.told} : Lines{}) << step.request;
  }
  plugin.OnUIOpen();
  plugin.Tick();
  EXPECT_EQ(plugin.Texts(oskel::kMsgTagEditorScale), Lines{R"({"t":"size","scale":2})"});
}

TEST(WebViewEditorDelegate, TurnsPageMessagesIntoPluginCalls) {
  RecordingPlugin plugin;
  const struct { const char* json; Lines edits; } cases[] = {
      {R"({"msg":"SPVFUI","paramIdx":0,"value":0.25})", {"perform 0 0.250000"}},
      {R"({"msg":"SPVFUI","paramIdx":2,"value":7.5})", {"perform 2 1.000000"}},  // normalised values stay in 0..1
      {R"({"msg":"BPCFUI","paramIdx":2})", {"begin 2"}},
      {R"({"msg":"EPCFUI","paramIdx":0})", {"end 0"}},
      {R"({"msg":"SAMFUI","msgTag":1,"ctrlTag":-1,"data":"eyJwYXJhbUlkeCI6MTIsInZhbHVlIjo2Mi41fQ=="})",
       {"begin 12", "perform 12 0.625000", "end 12"}},
      {R"({"msg":"SKPFUI","keyCode":100,"utf8":"4","S":false,"C":true,"A":false,"isUp":true})", {"keyup '4' 52 1"}},
      {R"({"msg":"SKPFUI","keyCode":32,"utf8":" ","S":false,"C":false,"A":false,"isUp":false})", {"keydown ' ' 32 1"}},
      {R"({"msg":"SKPFUI","keyCode":13,"utf8":"Enter","S":false,"C":false,"A":false,"isUp":false})",
       {"keydown 'Ente' 13 0"}},
  };
  for (const auto& c : cases) {
    plugin.edits.clear();
    plugin.OnMessageFromWebView(c.json);
    EXPECT_EQ(plugin.edits, c.edits) << c.json;
  }
}

TEST(WebViewEditorDelegate, IgnoresMalformedMessagesWithoutSideEffects) {
  const char* cases[] = {
      "", "[]", "{", R"({"msg":1})", R"({"msg":"spvfui","paramIdx":0,"value":0})", R"({"msg":"SPVFUI","paramIdx":0})",
      R"({"msg":"SPVFUI","paramIdx":"0","value":0.5})", R"({"msg":"SPVFUI","paramIdx":0,"value":"0.5"})",
      R"({"msg":"SPVFUI","paramIdx":53,"value":0.5})", R"({"msg":"SPVFUI","paramIdx":-1,"value":0.5})",
      R"({"msg":"SPVFUI","paramIdx":0,"value":1e999})", R"({"msg":"SPVFUI","paramIdx":4294967296,"value":0.5})",
      R"({"msg":"BPCFUI","paramIdx":53})", R"({"msg":"SAMFUI","msgTag":1,"ctrlTag":4,"data":17})",
      R"({"msg":"SKPFUI","keyCode":32,"utf8":5,"S":false,"C":false,"A":false,"isUp":false})",
      R"({"msg":"SKPFUI","keyCode":32,"utf8":" ","S":0,"C":false,"A":false,"isUp":false})",
  };
  RecordingPlugin plugin;
  for (const char* json : cases) plugin.OnMessageFromWebView(json);
  plugin.OnMessageFromWebView(nullptr);
  const std::string huge = R"({"msg":"BPCFUI","paramIdx":0,"pad":")" + std::string(2 << 20, 'x') + "\"}";
  plugin.OnMessageFromWebView(huge.c_str());
  const std::string deep = std::string(200000, '[') + std::string(200000, ']');
  plugin.OnMessageFromWebView(deep.c_str());
  EXPECT_EQ(plugin.edits, Lines{});
  EXPECT_EQ(plugin.statements, Lines{});
}

// The descriptions come before the values; a parent resize moves the page without asking the host.
TEST(WebViewEditorDelegate, HandsLoadReadinessResizeAndCloseOn) {
  RecordingPlugin plugin;
  plugin.OnWebContentLoaded();
  ASSERT_EQ(plugin.statements.size(), 54u);
  EXPECT_EQ(plugin.statements[0].rfind("SAMFD(-1, ", 0), 0u);
  EXPECT_EQ(plugin.statements[1], "SPVFD(0, 0.500000)");
  int runs = 0;
  plugin.OnWebViewReady();
  plugin.mEditorInitFunc = [&runs] { ++runs; };
  plugin.OnWebViewReady();
  EXPECT_EQ(runs, 1);
  plugin.OnParentWindowResize(800, 400);
  EXPECT_EQ(plugin.edits, Lines{"resize 800 400"});
  plugin.CloseWindow();
  plugin.Tick();
  EXPECT_EQ(plugin.statements, Lines{});
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
  RecordingPlugin plugin;
  const std::string setSeed = R"({"paramIdx":12,"value":62.5})";
  for (int i = 0; i < 20000; ++i) {
    const std::string text = i % 5 == 0 ? RandomBytes(rng) : Mutate(kSeeds[rng() % kSeeds.size()], rng);
    plugin.OnMessageFromWebView(text.c_str());
    const std::string request = i % 4 == 0 ? RandomBytes(rng) : Mutate(setSeed, rng);
    EXPECT_TRUE(plugin.OnMessage(oskel::kMsgTagSetParamValue, 0, static_cast<int>(request.size()), request.data()));
  }
  ASSERT_FALSE(plugin.edits.empty());
  for (const auto& edit : plugin.edits) {
    std::istringstream words(edit);
    std::string what;
    int idx = -1;
    double value = -1.0;
    if (!(words >> what >> idx) || (what != "perform" && what != "begin" && what != "end")) continue;
    EXPECT_TRUE(idx >= 0 && idx < 53) << edit;
    if (what == "perform") {
      EXPECT_TRUE((words >> value) && value >= 0.0 && value <= 1.0) << edit;
    }
  }
  for (int p = 0; p < plugin.NParams(); ++p) {
    const oskel::IParam* param = plugin.GetParam(p);
    EXPECT_TRUE(std::isfinite(param->Value()));
    EXPECT_GE(param->Value(), param->GetMin());
    EXPECT_LE(param->Value(), param->GetMax());
  }
}
