// The hosted bundle's view with the real editor page in headless Chromium (skipped without it).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "../../src/vst3/IPluginVST3View.h"
#include "HostTestFixture.h"

using namespace Steinberg;

namespace {

constexpr auto kTimeout = std::chrono::seconds(40);
constexpr int kBlock = 512;
constexpr Vst::ParamID kOutputId = 12;

class EditorEndToEnd : public HostTest {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists("/usr/bin/chromium")) GTEST_SKIP() << "no chromium";
    setenv("KYR_WEBVIEW_HEADLESS", "1", 1);
    HostTest::SetUp();
    Start(48000.0, kBlock, Vst::kSample32);
    Open();
  }
  void TearDown() override { Close(); }
  void Open() {
    mView = host.Controller()->createView(Vst::ViewType::kEditor);
    ASSERT_NE(mView, nullptr);
    ASSERT_EQ(mView->attached(nullptr, kPlatformTypeHWND), kResultTrue);
    ASSERT_EQ(mView->queryInterface(oskel::IEditorDevTools_iid, reinterpret_cast<void**>(&mDevTools)), kResultOk);
  }
  void Close() {
    if (mDevTools) mDevTools->release();
    if (mView) {
      mView->removed();
      mView->release();
    }
    mDevTools = nullptr;
    mView = nullptr;
  }
  bool PageBuilt() {
    return Until([&] { return Evaluate("window.KyrEditor ? KyrEditor.names().length : -1") == 53; });
  }

  // The value of a script expression in the page (JSON null when it fails).
  nlohmann::json Evaluate(const std::string& expression) {
    const nlohmann::json params = {{"expression", expression}, {"returnByValue", true}};
    std::vector<char> result(1 << 20);
    const int32 n = mDevTools->devToolsCommand("Runtime.evaluate", params.dump().c_str(), result.data(),
                                               static_cast<int32>(result.size()), 10000);
    if (n < 0) return nullptr;
    const nlohmann::json answer = nlohmann::json::parse(result.data(), nullptr, false);
    if (answer.is_discarded() || !answer.contains("result")) return nullptr;
    return answer["result"].value("value", nlohmann::json());
  }

  // Output RMS of blocks of a 1 kHz sine at -12 dBFS, as the host's audio thread would run them.
  double ProcessSine(int blocks) {
    std::vector<float> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
    float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {outL.data(), outR.data()};
    double sum = 0;
    for (int b = 0; b < blocks; ++b) {
      for (int i = 0; i < kBlock; ++i, ++mSample)
        inL[i] = inR[i] = static_cast<float>(0.25 * std::sin(2 * M_PI * 1000.0 * mSample / 48000.0));
      host.Process(in, out, kBlock);
      for (int i = 0; i < kBlock; ++i) sum += outL[i] * outL[i];
    }
    return std::sqrt(sum / (blocks * kBlock));
  }

  // Processes audio (about real time) until `done` holds or the time is up.
  bool Until(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + kTimeout;
    while (std::chrono::steady_clock::now() < end) {
      if (done()) return true;
      ProcessSine(2);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  IPlugView* mView = nullptr;
  oskel::IEditorDevTools* mDevTools = nullptr;
  long mSample = 0;
};

}  // namespace

TEST_F(EditorEndToEnd, PageAndHostExchangeValuesAndTheReopenedEditorShowsThePage) {
  ASSERT_TRUE(PageBuilt()) << "the page did not build its 53 controls";

  ASSERT_TRUE(Until([&] {
    const nlohmann::json stats = Evaluate("KyrEditor.stats()");
    return stats.is_object() && stats["meters"].get<int>() > 0 && stats["spectra"].get<int>() > 0;
  })) << "no meter or spectrum message while audio runs";
  EXPECT_GT(Evaluate("KyrEditor.meters().tp").get<double>(), -120.0);

  // A mouse drag on the Output knob: up by 100 pixels.
  const double before = ProcessSine(40);
  host.Handler().Clear();
  const nlohmann::json box = Evaluate(
      "(function(){ var e = document.querySelector('[data-param=\"Output\"] svg'); if (!e) return null;"
      " var r = e.getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; })()");
  ASSERT_TRUE(box.is_array()) << "no Output knob on the page";
  const double x = box[0], y = box[1];
  auto mouse = [&](const char* type, double atY, int buttons) {
    const nlohmann::json event = {{"type", type},      {"x", x},           {"y", atY},
                                  {"button", "left"}, {"buttons", buttons}, {"clickCount", 1}};
    char result[256];
    EXPECT_GE(mDevTools->devToolsCommand("Input.dispatchMouseEvent", event.dump().c_str(), result, sizeof result, 10000), 0);
  };
  mouse("mouseMoved", y, 0);
  mouse("mousePressed", y, 1);
  for (int step = 1; step <= 10; ++step) mouse("mouseMoved", y - 10 * step, 1);
  mouse("mouseReleased", y - 100, 0);
  ASSERT_TRUE(Until([&] {
    const auto edits = host.Handler().Edits();
    return !edits.empty() && edits.back().kind == kyr::tools::HostEdit::kEnd;
  }));
  const auto edits = host.Handler().Edits();
  EXPECT_EQ(edits.front().kind, kyr::tools::HostEdit::kBegin);
  EXPECT_TRUE(std::any_of(edits.begin(), edits.end(), [](const auto& e) { return e.kind == kyr::tools::HostEdit::kPerform; }));
  for (const auto& edit : edits) EXPECT_EQ(edit.id, kOutputId);
  const double raised = host.Controller()->getParamNormalized(kOutputId);
  EXPECT_GT(raised, 0.55);
  // The engine plays louder: Output is a gain of -12..+12 dB.
  ProcessSine(20);
  const double after = ProcessSine(40);
  EXPECT_NEAR(20 * std::log10(after / before), 24.0 * (raised - 0.5), 0.5);

  // Host automation reaches the page.
  host.Controller()->setParamNormalized(kOutputId, 0.25);
  EXPECT_TRUE(Until([&] {
    const nlohmann::json v = Evaluate("KyrEditor.value('Output')");
    return v.is_number() && std::fabs(v.get<double>() - 0.25) < 1e-6;
  }));

  // The host's scale change re-fits the open page: the same layout at 1.5 device pixels per pixel.
  IPlugViewContentScaleSupport* scaling = nullptr;
  ASSERT_EQ(mView->queryInterface(IPlugViewContentScaleSupport_iid, reinterpret_cast<void**>(&scaling)), kResultOk);
  EXPECT_EQ(scaling->setContentScaleFactor(1.5f), kResultOk);
  scaling->release();
  const nlohmann::json scaled = {1.5, 1201, 561};
  EXPECT_TRUE(Until([&] { return Evaluate("[devicePixelRatio, innerWidth, innerHeight]") == scaled; }));
  Close();
  Open();
  EXPECT_TRUE(PageBuilt());
  // A new view of the same plug-in starts at the host's scale again (1.0).
  EXPECT_TRUE(Until([&] { return Evaluate("[devicePixelRatio, innerWidth, innerHeight]") == nlohmann::json{1, 1201, 561}; }));
}
