// The host-facing edges of the bundle: memory exhaustion in any host call and typed parameter texts.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "HostTestFixture.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/common/memorystream.h"
#if !defined(_WIN32)
#include "../common/AllocationFailure.h"
#endif

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr ParamID kOutputParam = 12;

// A user types every text the plug-in shows, and a few it never shows.
TEST_F(HostTest, EveryDisplayedTextReadsBackAndOtherTextIsRefused) {
  auto typed = [&](ParamID id, const TChar* text) {  // the normalised value, or -1 where refused
    ParamValue v = -1;
    return host.Controller()->getParamValueByString(id, const_cast<TChar*>(text), v) == kResultOk ? v : -1.0;
  };
  for (int32 i = 0; i < host.Controller()->getParameterCount(); ++i) {
    ParameterInfo info{};
    ASSERT_EQ(host.Controller()->getParameterInfo(i, info), kResultOk);
    const int steps = info.stepCount > 0 ? info.stepCount : 8;
    for (int s = 0; s <= steps; ++s) {
      String128 text{}, again{};
      ASSERT_EQ(host.Controller()->getParamStringByValue(info.id, static_cast<double>(s) / steps, text), kResultOk);
      const ParamValue back = typed(info.id, text);
      EXPECT_GE(back, 0.0) << host.ParameterTitle(info.id) << " '" << kyr::tools::ToUtf8(text) << "'";
      // The text shows the value rounded to its precision: reading it back gives that value.
      host.Controller()->getParamStringByValue(info.id, back, again);
      EXPECT_EQ(kyr::tools::ToUtf8(again), kyr::tools::ToUtf8(text)) << host.ParameterTitle(info.id);
    }
    for (const char16_t* text : {u"no such value", u"", u"dB", u"dB 3", u"nan"})
      EXPECT_EQ(typed(info.id, reinterpret_cast<const TChar*>(text)), -1.0) << host.ParameterTitle(info.id);
  }
  // Typed numbers may carry spaces, a sign and the unit.
  for (const auto& [text, normalized] : {std::pair{u"  3", 1.0}, {u"+1.5", 0.75}, {u"-1.5 dB", 0.25}})
    EXPECT_DOUBLE_EQ(typed(39, reinterpret_cast<const TChar*>(text)), normalized) << normalized;
}

#if !defined(_WIN32)

// Runs `call` with only n = 0, 1, 2, ... allocations succeeding: no exception, only host codes.
void ExhaustMemoryAt(const char* what, const std::function<tresult()>& call,
                     const std::vector<tresult>& allowed = {kResultOk, kResultTrue, kResultFalse, kOutOfMemory}) {
  for (long n = 0;; ++n) {
    tresult result = kResultOk;
    bool refused = false;
    try {
      kyr::test::AllocationFailure exhausted(n);
      result = call();
      refused = exhausted.Refused();
    } catch (...) {
      ADD_FAILURE() << what << ": an exception reached the host after " << n << " allocations";
      return;
    }
    EXPECT_NE(std::find(allowed.begin(), allowed.end(), result), allowed.end()) << what << " answered " << result;
    if (!refused) return;
    ASSERT_LT(n, 100000) << what;
  }
}

TEST_F(HostTest, MemoryExhaustionNeverThrowsIntoTheHost) {
  // Creation: a constructor that runs out of memory creates nothing, as the factory says.
  PClassInfo info{};
  ASSERT_EQ(host.Factory()->getClassInfo(0, &info), kResultOk);
  ExhaustMemoryAt(
      "createInstance",
      [&] {
        void* obj = nullptr;
        const tresult result = host.Factory()->createInstance(info.cid, IComponent::iid, &obj);
        if (obj) static_cast<IComponent*>(obj)->release();
        EXPECT_EQ(result == kResultOk, obj != nullptr);
        return result;
      },
      {kResultOk, kNoInterface});

  SpeakerArrangement mono = SpeakerArr::kMono, stereo = SpeakerArr::kStereo;
  String128 text{};
  ProcessSetup setup{kRealtime, kSample32, 4096, 96000.0};
  std::vector<uint8_t> state;
  ASSERT_TRUE(host.GetState(state));
  const std::vector<std::pair<const char*, std::function<tresult()>>> calls = {
      {"setBusArrangements", [&] { return host.Processor()->setBusArrangements(&mono, 1, &mono, 1); }},
      {"setBusArrangements back", [&] { return host.Processor()->setBusArrangements(&stereo, 1, &stereo, 1); }},
      {"setParamNormalized", [&] { return host.Controller()->setParamNormalized(kOutputParam, 0.25); }},
      {"getProgramName", [&] { return FUnknownPtr<IUnitInfo>(host.Controller())->getProgramName(65537, 0, text); }},
      {"getParamStringByValue", [&] { return host.Controller()->getParamStringByValue(kOutputParam, 0.5, text); }},
      {"getState", [&] { MemoryStream stream; return host.Component()->getState(&stream); }},
      {"setState", [&] { return host.SetState(state); }},
      {"setupProcessing", [&] { return host.Processor()->setupProcessing(setup); }},
      {"terminate and initialize",
       [&] {
         host.Component()->terminate();
         return host.Component()->initialize(&host.Application());
       }},
  };
  for (const auto& [what, call] : calls) ExhaustMemoryAt(what, call);

  // After all of that the instance still works.
  if (host.Controller()->getParameterCount() == 0) {
    ASSERT_EQ(host.Component()->initialize(&host.Application()), kResultOk);
  }
  Start(48000.0, 256, kSample32);
  std::vector<float> l(256, 0.25f), r(256, 0.25f);
  float* ch[] = {l.data(), r.data()};
  host.Process(ch, ch, 256);
  EXPECT_NE(l[255], 0.0f);
}

#endif

}  // namespace
