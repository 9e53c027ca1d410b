// Kyr EQ's editor logic: what OnIdle, OnUIOpen, OnRestoreState and OnMessage send and do.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "editor/Base64.h"
#include "editor/EditorProtocol.h"
#include "editor/LevelsMessage.h"
#include "editor/PageRequests.h"
#include "framework/ByteChunk.h"
#include "plugin/LUMAEQ5.h"

namespace {

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

  int Count(const std::string& prefix) const {
    int n = 0;
    for (const auto& s : statements) n += s.rfind(prefix, 0) == 0;
    return n;
  }
  void MarkBlockProcessed() { GetProcessor().GetMeters().processed.store(1); }

  std::vector<std::string> statements;
  std::vector<std::string> edits;
};

}  // namespace

TEST(PluginEditorLogic, SendsNothingBeforeThePageHasLoaded) {
  RecordingPlugin plugin;
  plugin.MarkBlockProcessed();
  for (int tick = 0; tick < 10; ++tick) plugin.OnIdle();
  EXPECT_TRUE(plugin.statements.empty());
}

TEST(PluginEditorLogic, OpeningSendsEveryValueAndTheFirstTickSendsThemAgainThenTheRateThenTheMeters) {
  RecordingPlugin plugin;
  plugin.OnUIOpen();
  ASSERT_EQ(plugin.statements.size(), 53u);
  EXPECT_EQ(plugin.statements[0], "SPVFD(0, 0.500000)");
  plugin.statements.clear();

  plugin.MarkBlockProcessed();
  plugin.OnIdle();
  // The editor scale (7) follows the rate, the levels (5) follow the meters.
  ASSERT_EQ(plugin.statements.size(), 57u);
  for (int i = 0; i < 53; ++i) EXPECT_EQ(plugin.statements[i].rfind("SPVFD(" + std::to_string(i) + ", ", 0), 0u);
  EXPECT_EQ(plugin.statements[53].rfind("SAMFD(4, ", 0), 0u);
  EXPECT_EQ(plugin.statements[54].rfind("SAMFD(7, ", 0), 0u);
  EXPECT_EQ(plugin.statements[55].rfind("SAMFD(0, ", 0), 0u);
  EXPECT_EQ(plugin.statements[56].rfind("SAMFD(5, ", 0), 0u);
}

namespace {

// The JSON text of the sample-rate messages among the statements.
std::vector<std::string> RateMessages(const std::vector<std::string>& statements) {
  std::vector<std::string> texts;
  for (const auto& s : statements) {
    if (s.rfind("SAMFD(4, ", 0) != 0) continue;
    const std::vector<uint8_t> text = oskel::Base64Decode(s.substr(s.find('\'') + 1, s.rfind('\'') - s.find('\'') - 1));
    texts.emplace_back(text.begin(), text.end());
  }
  return texts;
}

}  // namespace

TEST(PluginEditorLogic, ThePageLearnsTheRateWhenItLoadsAndWhenTheRateChanges) {
  RecordingPlugin plugin;
  plugin.GetProcessor().Reset(44100.0, 512);
  plugin.OnUIOpen();
  plugin.OnIdle();
  EXPECT_EQ(RateMessages(plugin.statements), std::vector<std::string>{R"({"t":"rate","fs":44100})"});
  struct Step {
    double rate;  // 0: no reset before the tick
    std::vector<std::string> sent;
  };
  const Step steps[] = {{0.0, {}},
                        {96000.0, {R"({"t":"rate","fs":96000})"}},
                        {96000.0, {}},
                        {88200.0, {R"({"t":"rate","fs":88200})"}}};
  for (const Step& step : steps) {
    if (step.rate > 0.0) plugin.GetProcessor().Reset(step.rate, 512);
    plugin.statements.clear();
    plugin.OnIdle();
    EXPECT_EQ(RateMessages(plugin.statements), step.sent) << step.rate;
  }
  // A reloaded page is told again.
  plugin.OnUIOpen();
  plugin.statements.clear();
  plugin.OnIdle();
  EXPECT_EQ(RateMessages(plugin.statements), std::vector<std::string>{R"({"t":"rate","fs":88200})"});
}

TEST(PluginEditorLogic, MetersFollowProcessedBlocksAndTheSpectrumEveryThirdTick) {
  RecordingPlugin plugin;
  plugin.OnUIOpen();
  plugin.OnIdle();  // the resend
  plugin.statements.clear();

  std::string ticks;
  for (int tick = 1; tick <= 7; ++tick) {
    if (tick == 2 || tick == 3) plugin.MarkBlockProcessed();
    plugin.statements.clear();
    plugin.OnIdle();
    for (const auto& s : plugin.statements) ticks += s.substr(0, 8) + ";";
    ticks += "|";
  }
  // The resend tick was the first of the spectrum count; the meter comes before the spectrum,
  // and the levels right after each meter message.
  EXPECT_EQ(ticks, "|SAMFD(0,;SAMFD(5,;SAMFD(3,;|SAMFD(0,;SAMFD(5,;||SAMFD(3,;|||");
}

TEST(PluginEditorLogic, AnEngineResetResendsEveryValueOnTheNextTickARestoreAtOnce) {
  RecordingPlugin plugin;
  plugin.OnUIOpen();
  plugin.OnIdle();
  plugin.statements.clear();
  plugin.OnReset();
  plugin.OnIdle();
  EXPECT_EQ(plugin.Count("SPVFD("), 53);
  plugin.OnUIClose();
  plugin.OnReset();
  plugin.statements.clear();
  plugin.OnIdle();
  EXPECT_TRUE(plugin.statements.empty());
  plugin.OnRestoreState();  // a restored state is sent at once
  EXPECT_EQ(plugin.Count("SPVFD("), 53);
}

TEST(PluginEditorLogic, MeterMessageOfTheUntouchedEngine) {
  RecordingPlugin plugin;
  plugin.OnUIOpen();
  plugin.OnIdle();
  plugin.statements.clear();
  plugin.MarkBlockProcessed();
  plugin.OnIdle();
  ASSERT_FALSE(plugin.statements.empty());
  const std::string& s = plugin.statements[0];
  const std::string base64 = s.substr(s.find('\'') + 1, s.rfind('\'') - s.find('\'') - 1);
  const std::vector<uint8_t> text = oskel::Base64Decode(base64);
  const std::string json(text.begin(), text.end());
  EXPECT_NE(json.find(R"("tp":-120.00,"lufs":-120.0,)"), std::string::npos) << json;
  EXPECT_EQ(plugin.GetProcessor().GetMeters().processed.load(), 0);
}

TEST(PluginEditorLogic, SetParameterMessageIsOneCompleteGestureAndEchoesTheValue) {
  RecordingPlugin plugin;
  const std::string text = R"({"paramIdx":12,"value":62.5})";
  EXPECT_TRUE(plugin.OnMessage(oskel::kMsgTagSetParamValue, -1, static_cast<int>(text.size()), text.data()));
  const std::vector<std::string> edits = {"begin 12", "perform 12 0.625000", "end 12"};
  EXPECT_EQ(plugin.edits, edits);
  EXPECT_DOUBLE_EQ(plugin.GetParam(12)->Value(), 62.5);
  EXPECT_EQ(plugin.statements, std::vector<std::string>{"SPVFD(12, 0.625000)"});
}

TEST(PluginEditorLogic, SetParameterMessageConstrainsTheValueAndRefusesBadOnes) {
  RecordingPlugin plugin;
  const std::string high = R"({"paramIdx":0,"value":250})";
  plugin.OnMessage(oskel::kMsgTagSetParamValue, 0, static_cast<int>(high.size()), high.data());
  EXPECT_DOUBLE_EQ(plugin.GetParam(0)->Value(), 100.0);
  plugin.edits.clear();
  plugin.statements.clear();
  for (const std::string text : {R"({"paramIdx":53,"value":1})", R"({"paramIdx":-3,"value":1})",
                                 R"({"value":1})", R"({"paramIdx":,"value":1})", R"({"paramIdx": x,"value":1})",
                                 R"({"paramIdx":0,"value":nan})", R"({"paramIdx":0,"value":-inf})"}) {
    EXPECT_TRUE(plugin.OnMessage(oskel::kMsgTagSetParamValue, 0, static_cast<int>(text.size()), text.data()));
  }
  EXPECT_TRUE(plugin.OnMessage(oskel::kMsgTagSetParamValue, 0, 5, nullptr));
  // Other tags, and web links with other schemes, are accepted and do nothing.
  for (const std::string text : {R"({"url":"HTTPS://oskel.example"})", R"({"url":"ftp://oskel.example"})"}) {
    EXPECT_TRUE(plugin.OnMessage(oskel::kMsgTagOpenUrl, 0, static_cast<int>(text.size()), text.data()));
    EXPECT_TRUE(plugin.OnMessage(77, 0, static_cast<int>(text.size()), text.data()));
  }
  EXPECT_TRUE(plugin.edits.empty());
  EXPECT_TRUE(plugin.statements.empty());
  EXPECT_DOUBLE_EQ(plugin.GetParam(0)->Value(), 100.0);
}

// The engine takes its display-only measurements while the editor is open or a command-line
// host has asked for the meters through IKyrMeters, and only then.
TEST(PluginEditorLogic, MetersAreMeasuredWhileTheEditorOrAHostReadsThem) {
  RecordingPlugin plugin;
  auto reading = [&] { return plugin.GetProcessor().GetMeters().reader.load() != 0; };
  EXPECT_FALSE(reading());
  plugin.OnUIOpen();
  EXPECT_TRUE(reading());
  plugin.OnUIClose();
  EXPECT_FALSE(reading());

  kyr::IKyrMeters* meters = nullptr;
  ASSERT_EQ(plugin.queryInterface(kyr::IKyrMeters::iid, reinterpret_cast<void**>(&meters)), Steinberg::kResultOk);
  EXPECT_EQ(meters->setMeterReader(true), Steinberg::kResultOk);
  EXPECT_TRUE(reading());
  plugin.OnUIOpen();
  plugin.OnUIClose();
  EXPECT_TRUE(reading()) << "closing the editor must not stop what the host reads";
  meters->setMeterReader(false);
  EXPECT_FALSE(reading());
  meters->release();
}

// A block processed before the page had a reader measured nothing for it: the first tick after
// opening sends no meter message until a block has been measured.
TEST(PluginEditorLogic, NoMeterMessageFromBlocksBeforeThePageOpened) {
  RecordingPlugin plugin;
  plugin.MarkBlockProcessed();
  plugin.OnUIOpen();
  plugin.statements.clear();
  plugin.OnIdle();
  EXPECT_EQ(plugin.Count("SAMFD(0, "), 0);
}

namespace {

// The decoded texts of the arbitrary messages with one tag, in order.
std::vector<std::string> Texts(const std::vector<std::string>& statements, int tag) {
  std::vector<std::string> texts;
  const std::string prefix = "SAMFD(" + std::to_string(tag) + ", ";
  for (const auto& s : statements) {
    if (s.rfind(prefix, 0) != 0 || s.back() != ')') continue;
    const std::vector<uint8_t> text = oskel::Base64Decode(s.substr(s.find('\'') + 1, s.rfind('\'') - s.find('\'') - 1));
    texts.emplace_back(text.begin(), text.end());
  }
  return texts;
}

void Post(LUMAEQ5& plugin, int tag, const std::string& text) {
  EXPECT_TRUE(plugin.OnMessage(tag, 0, static_cast<int>(text.size()), text.data()));
}

}  // namespace

TEST(PluginEditorLogic, LevelsFollowEachMeterMessageAndTheResetReachesTheMeter) {
  RecordingPlugin plugin;
  plugin.OnUIOpen();
  plugin.OnIdle();
  EXPECT_TRUE(Texts(plugin.statements, oskel::kMsgTagLevels).empty()) << "no audio, no levels";
  plugin.statements.clear();
  plugin.MarkBlockProcessed();
  plugin.OnIdle();
  EXPECT_EQ(Texts(plugin.statements, oskel::kMsgTagLevels),
            std::vector<std::string>{R"({"t":"levels","m":-120.0,"s":-120.0,"i":-120.0,"inTp":-120.00,"gm":0.00})"});

  // A second of a -20 dBFS sine in both channels, then the page's reset.
  kyr::EqProcessor& p = plugin.GetProcessor();
  p.Reset(48000.0, 480);
  p.OnParamChange(kyr::kBypass, 1.0);
  std::vector<double> l(480), r(480);
  double* in[2] = {l.data(), r.data()};
  for (int block = 0; block < 100; ++block) {
    for (int i = 0; i < 480; ++i) l[i] = r[i] = 0.1 * std::sin(2.0 * 3.141592653589793 * 1000.0 * (block * 480 + i) / 48000.0);
    std::vector<double> outL(480), outR(480);
    double* out[2] = {outL.data(), outR.data()};
    p.Process(in, out, 2, 2, 480);
  }
  EXPECT_NEAR(p.GetLevels().integrated, -20.0f, 0.1f);
  Post(plugin, oskel::kMsgTagResetLoudness, "");
  p.Process(in, in, 2, 2, 16);
  EXPECT_EQ(p.GetLevels().integrated, -120.0f);
}

TEST(PluginEditorLogic, LevelAndScaleTexts) {
  EXPECT_EQ(oskel::FormatLevelsMessage({-23.04f, -22.96f, -18.26f, -0.504f, 3.456f}),
            R"({"t":"levels","m":-23.0,"s":-23.0,"i":-18.3,"inTp":-0.50,"gm":3.46})");
  const struct {
    const char* request;
    double scale;  // 0: refused
    const char* answer;
  } cases[] = {
      {R"({"scale":1})", 1.0, R"({"t":"size","scale":1})"},      {R"({"scale":1.25})", 1.25, R"({"t":"size","scale":1.25})"},
      {R"({"scale": 1.5})", 1.5, R"({"t":"size","scale":1.5})"}, {R"({"scale":2})", 2.0, R"({"t":"size","scale":2})"},
      {R"({"scale":2.00})", 2.0, R"({"t":"size","scale":2})"},   {R"({"scale":1.75})", 0.0, ""},
      {R"({"scale":0})", 0.0, ""},                                {R"({"scale":-1})", 0.0, ""},
      {R"({"scale":"2"})", 0.0, ""},                              {R"({"scale":})", 0.0, ""},
      {R"({"scale":1e400})", 0.0, ""},                            {R"({"size":2})", 0.0, ""},
  };
  for (const auto& c : cases) {
    const auto scale = oskel::ParseEditorScaleRequest(c.request, static_cast<int>(std::strlen(c.request)));
    EXPECT_EQ(scale.value_or(0.0), c.scale) << c.request;
    if (scale) {
      EXPECT_EQ(oskel::FormatEditorScaleMessage(*scale), c.answer) << c.request;
    }
  }
  EXPECT_FALSE(oskel::ParseEditorScaleRequest(nullptr, 5));
}

// The page's state text is kept for the instance and handed back, verbatim and once, on the
// first tick after each page load: after the values and the rate, before the meters.
TEST(PluginEditorLogic, PageStateIsKeptAndReturnedOncePerPageLoad) {
  RecordingPlugin plugin;
  auto loadPage = [&] {
    plugin.OnUIOpen();
    plugin.statements.clear();
    plugin.MarkBlockProcessed();
    plugin.OnIdle();
  };
  loadPage();
  EXPECT_TRUE(Texts(plugin.statements, oskel::kMsgTagPageState).empty()) << "nothing stored yet";

  // Quotes, backslashes, line breaks and non-ASCII text, and a text of the full size whose
  // statement is far beyond the bridge's usual limit.
  std::string large(oskel::kMaxPageStateBytes, 'x');
  large.front() = '{';
  large.back() = '}';
  const struct {
    std::string stored;
    std::string expected;
  } steps[] = {
      {R"({"ab":{"lit":"B"},"note":"a \"q\" \\ é)" "\n}", R"({"ab":{"lit":"B"},"note":"a \"q\" \\ é)" "\n}"},
      {large, large},
      {large + " ", large},  // one byte too long: the old text stays
      {"", large},           // no text: the old one stays
  };
  for (const auto& step : steps) {
    plugin.statements.clear();
    Post(plugin, oskel::kMsgTagStorePageState, step.stored);
    EXPECT_TRUE(plugin.statements.empty()) << "storing sends nothing";
    loadPage();
    const auto texts = Texts(plugin.statements, oskel::kMsgTagPageState);
    ASSERT_EQ(texts.size(), 1u) << step.stored.size();
    EXPECT_EQ(texts[0], step.expected);
    std::vector<std::string> tags;
    for (const auto& s : plugin.statements)
      if (s.rfind("SAMFD(", 0) == 0 && s.rfind("SAMFD(3,", 0) != 0) tags.push_back(s.substr(0, s.find(',')));
    EXPECT_EQ(tags, (std::vector<std::string>{"SAMFD(4", "SAMFD(6", "SAMFD(7", "SAMFD(0", "SAMFD(5"}));
    plugin.statements.clear();
    plugin.OnIdle();
    EXPECT_TRUE(Texts(plugin.statements, oskel::kMsgTagPageState).empty()) << "only once per load";
  }
  // An engine reset is no page load.
  plugin.OnReset();
  plugin.statements.clear();
  plugin.OnIdle();
  EXPECT_TRUE(Texts(plugin.statements, oskel::kMsgTagPageState).empty());
  // The project state does not carry it.
  oskel::ByteChunk withState, fresh;
  plugin.SerializeState(withState);
  RecordingPlugin().SerializeState(fresh);
  EXPECT_EQ(withState.Size(), fresh.Size());
}

// The page's size request resizes the editor to the design size times the scale, tells the page,
// and is remembered for the next page load; other requests change nothing.
TEST(PluginEditorLogic, EditorSizeRequests) {
  RecordingPlugin plugin;
  const struct {
    const char* request;
    int width, height;
    const char* told;  // nullptr: refused, nothing sent
  } steps[] = {
      {R"({"scale":1.25})", 1500, 700, R"({"t":"size","scale":1.25})"},
      {R"({"scale":3})", 1500, 700, nullptr},
      {R"({"scale":1.5})", 1800, 840, R"({"t":"size","scale":1.5})"},
      {R"({"scale":2})", 2400, 1120, R"({"t":"size","scale":2})"},
      {R"({"scale":0.5})", 2400, 1120, nullptr},
      {R"({"scale":1})", 1200, 560, R"({"t":"size","scale":1})"},
      {R"({"scale":1.25})", 1500, 700, R"({"t":"size","scale":1.25})"},
  };
  for (const auto& step : steps) {
    plugin.statements.clear();
    Post(plugin, oskel::kMsgTagEditorSize, step.request);
    EXPECT_EQ(plugin.GetEditorWidth(), step.width) << step.request;
    EXPECT_EQ(plugin.GetEditorHeight(), step.height) << step.request;
    EXPECT_EQ(Texts(plugin.statements, oskel::kMsgTagEditorScale),
              step.told ? std::vector<std::string>{step.told} : std::vector<std::string>{})
        << step.request;
  }
  plugin.OnUIOpen();
  plugin.statements.clear();
  plugin.OnIdle();
  EXPECT_EQ(Texts(plugin.statements, oskel::kMsgTagEditorScale), std::vector<std::string>{R"({"t":"size","scale":1.25})"});
}
