// The bundle driven through real hosts' call orders and edge cases, against a separate reference.
#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "HostTestFixture.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/common/memorystream.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using kyr::tools::ParamChange;
using kyr::tools::ParameterChanges;

namespace {

constexpr double kRate = 48000.0;
constexpr ParamID kOutputParam = 12;
constexpr ParamID kHostBypass = 65536;

// A test signal, channel by channel: a different sine per channel, starting at frame `start`.
std::vector<std::vector<double>> Tone(int channels, int frames, int start = 0) {
  std::vector<std::vector<double>> signal(static_cast<size_t>(channels), std::vector<double>(static_cast<size_t>(frames)));
  for (int c = 0; c < channels; ++c)
    for (int i = 0; i < frames; ++i)
      signal[static_cast<size_t>(c)][static_cast<size_t>(i)] =
          0.25 * std::sin(2.0 * 3.141592653589793 * (220.0 + 110.0 * c) * (start + i) / kRate);
  return signal;
}

using Audio = std::vector<std::vector<double>>;

// Finite, and not silent for a tone input.
bool Sound(const Audio& a) {
  double sum = 0;
  for (const auto& ch : a)
    for (double v : ch) sum += v * v;
  return std::isfinite(sum) && sum > 1e-4 * static_cast<double>(a.size() * a[0].size());
}

void Append(Audio& to, const Audio& block) {
  if (to.empty()) to.resize(block.size());
  for (size_t c = 0; c < block.size(); ++c) to[c].insert(to[c].end(), block[c].begin(), block[c].end());
}

// The host side of one instance: the calls a host makes, one by one, for each case to order.
class HostBehaviour : public HostTest {
 public:
  tresult Arrange(int channels) {
    SpeakerArrangement arr = channels == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo;
    return host.Processor()->setBusArrangements(&arr, 1, &arr, 1);
  }
  void ActivateBuses(bool state) {
    host.Component()->activateBus(kAudio, kInput, 0, state);
    host.Component()->activateBus(kAudio, kOutput, 0, state);
  }
  tresult Setup(int maxBlock, int32 sampleSize = kSample32, double rate = kRate) {
    ProcessSetup setup{kRealtime, sampleSize, maxBlock, rate};
    return host.Processor()->setupProcessing(setup);
  }
  void Activate(bool state) {
    host.Component()->setActive(state);
    host.Processor()->setProcessing(state);
  }
  // The validator's order: arrangement, set-up, bus activation, activation.
  void StartAsValidator(int channels, int maxBlock) {
    ASSERT_EQ(Arrange(channels), kResultTrue);
    ASSERT_EQ(Setup(maxBlock), kResultTrue);
    ActivateBuses(true);
    Activate(true);
  }

  // One process call of `in` (channels x frames, the call's channel count) in the given sample size.
  Audio Block(const Audio& in, int32 sampleSize = kSample32, IParameterChanges* changes = nullptr) {
    return sampleSize == kSample32 ? BlockOf<float>(in, changes) : BlockOf<double>(in, changes);
  }
  template <typename Sample>
  Audio BlockOf(const Audio& in, IParameterChanges* changes) {
    std::vector<std::vector<Sample>> buffers;  // the inputs, then the outputs
    for (const auto& ch : in) buffers.emplace_back(ch.begin(), ch.end());
    for (const auto& ch : in) buffers.emplace_back(ch.size());
    std::vector<Sample*> ptrs;
    for (auto& b : buffers) ptrs.push_back(b.data());
    AudioBusBuffers buses[2] = {};  // input, output
    for (size_t d = 0; d < 2; ++d) {
      buses[d].numChannels = static_cast<int32>(in.size());
      if constexpr (sizeof(Sample) == 4) buses[d].channelBuffers32 = ptrs.data() + d * in.size();
      else buses[d].channelBuffers64 = ptrs.data() + d * in.size();
    }
    ParameterChanges none;
    ProcessData data{};
    data.processMode = kRealtime;
    data.symbolicSampleSize = sizeof(Sample) == 4 ? kSample32 : kSample64;
    data.numSamples = in.empty() ? 0 : static_cast<int32>(in[0].size());
    data.numInputs = data.numOutputs = 1;
    data.inputs = &buses[0];
    data.outputs = &buses[1];
    data.inputParameterChanges = changes ? changes : &none;
    EXPECT_EQ(host.Processor()->process(data), kResultOk);
    Audio out;
    for (size_t c = in.size(); c < buffers.size(); ++c) out.emplace_back(buffers[c].begin(), buffers[c].end());
    return out;
  }

  // `nBlocks` consecutive blocks of 256 frames of the test tone.
  Audio Run(int channels, int nBlocks) {
    Audio out;
    for (int b = 0; b < nBlocks; ++b) Append(out, Block(Tone(channels, 256, b * 256)));
    return out;
  }

  std::vector<uint8_t> State() {
    std::vector<uint8_t> state;
    EXPECT_TRUE(host.GetState(state));
    return state;
  }
};

// The reference: another instance, started the validator's way, 64-bit and in place.
Audio Reference(int channels, int nBlocks, const std::function<void(kyr::tools::HostedPlugin&)>& prepare = {}) {
  kyr::tools::HostedPlugin ref("Kyr Reference Host");
  std::string error;
  EXPECT_TRUE(ref.LoadModule(KYR_BUNDLE_DIR, error) && ref.CreateInstance(error)) << error;
  if (prepare) prepare(ref);
  EXPECT_TRUE(ref.StartProcessing(kRate, 256, kSample64, channels, error)) << error;
  Audio out = Tone(channels, 256 * nBlocks);
  for (int b = 0; b < nBlocks; ++b) {
    std::vector<double*> io;
    for (auto& ch : out) io.push_back(ch.data() + b * 256);
    ref.Process(io.data(), io.data(), 256);
  }
  return out;
}

// Equal within single precision.
void ExpectNear(const Audio& a, const Audio& b, const char* what) {
  ASSERT_EQ(a.size(), b.size()) << what;
  for (size_t c = 0; c < a.size(); ++c) {
    ASSERT_EQ(a[c].size(), b[c].size()) << what;
    for (size_t i = 0; i < a[c].size(); ++i) ASSERT_NEAR(a[c][i], b[c][i], 1e-6) << what << ", channel " << c << ", frame " << i;
  }
}

}  // namespace

// Arrangement and activation in the orders hosts use, and re-arrangement between sessions.
TEST_F(HostBehaviour, EveryArrangementOrderGivesTheReferenceSound) {
  const struct {
    const char* name;
    int channels;
    std::function<void(HostBehaviour&)> start;
  } cases[] = {
      {"buses activated before a mono arrangement", 1,
       [](HostBehaviour& h) {
         h.ActivateBuses(true);
         ASSERT_EQ(h.Arrange(1), kResultTrue);
         ASSERT_EQ(h.Setup(256), kResultTrue);
         h.Activate(true);
       }},
      {"stereo, mono, stereo sessions", 2,
       [](HostBehaviour& h) {
         for (int channels : {2, 1}) {
           h.StartAsValidator(channels, 256);
           EXPECT_TRUE(Sound(h.Run(channels, 4))) << "earlier session";
           h.Activate(false);
         }
         ASSERT_EQ(h.Arrange(2), kResultTrue);  // buses stay active from the sessions before
         ASSERT_EQ(h.Setup(256), kResultTrue);
         h.Activate(true);
       }},
      {"set-up twice with other rates and blocks while inactive", 2,
       [](HostBehaviour& h) {
         ASSERT_EQ(h.Arrange(2), kResultTrue);
         ASSERT_EQ(h.Setup(64, kSample64, 96000.0), kResultTrue);
         ASSERT_EQ(h.Setup(256, kSample32, kRate), kResultTrue);
         h.ActivateBuses(true);
         h.Activate(true);
       }},
  };
  const Audio references[] = {Reference(1, 8), Reference(2, 8)};
  for (const Audio& reference : references) EXPECT_TRUE(Sound(reference));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.Unload();
    SetUp();
    c.start(*this);
    ExpectNear(Run(c.channels, 8), references[c.channels - 1], c.name);
    Activate(false);
  }
}

// A re-initialised object after a session shows what a new one shows and sounds as one, also with
// another instance processing between its blocks and setActive toggled.
TEST_F(HostBehaviour, ReinitialisedAndSideBySideInstancesSoundAsOne) {
  auto snapshot = [&] {
    std::string s = "units " + std::to_string(FUnknownPtr<IUnitInfo>(host.Controller())->getUnitCount()) + "\n";
    for (int32 i = 0; i < host.Controller()->getParameterCount(); ++i) {
      ParameterInfo info{};
      host.Controller()->getParameterInfo(i, info);
      s += std::to_string(info.id) + " " + std::to_string(Normalized(info.id)) + "\n";
    }
    BusInfo bus{};
    host.Component()->getBusInfo(kAudio, kOutput, 0, bus);
    s += "buses " + std::to_string(host.Component()->getBusCount(kAudio, kOutput)) + " of " + std::to_string(bus.channelCount);
    const std::vector<uint8_t> state = State();
    return s + "\n" + std::string(state.begin(), state.end());
  };
  const std::string fresh = snapshot();
  const std::vector<uint8_t> chunk = State();
  StartAsValidator(1, 256);
  ParameterChanges session({{kOutputParam, 0, 0.9}, {kHostBypass, 0, 1.0}});
  Block(Tone(1, 256), kSample32, &session);
  Activate(false);
  ASSERT_EQ(host.Component()->terminate(), kResultOk);
  EXPECT_EQ(host.SetState(chunk), kResultOk);  // touches no parameter object terminate freed
  ASSERT_EQ(host.Component()->initialize(&host.Application()), kResultOk);
  host.Controller()->setComponentHandler(&host.Handler());
  EXPECT_EQ(snapshot(), fresh);
  StartAsValidator(2, 256);

  // A second instance processes between this one's blocks: nothing is shared between them.
  kyr::tools::HostedPlugin second("Kyr Second Host");
  std::string error;
  ASSERT_TRUE(second.LoadModule(KYR_BUNDLE_DIR, error) && second.CreateInstance(error)) << error;
  ASSERT_TRUE(second.StartProcessing(kRate, 256, kSample32, 2, error)) << error;
  Audio first;
  for (int b = 0; b < 6; ++b) {
    Audio in = Tone(2, 256, b * 256);
    if (b == 3) {
      host.Component()->setActive(false);
      host.Component()->setActive(true);
    }
    Append(first, Block(in));
    std::vector<float> l(in[0].begin(), in[0].end()), r(in[1].begin(), in[1].end());
    float* ch[] = {l.data(), r.data()};
    second.Process(ch, ch, 256);
  }
  ExpectNear(first, Reference(2, 6), "re-initialised instance");
}

// Both state chunks, saved and restored as hosts do.
TEST_F(HostBehaviour, ComponentAndControllerChunksRestoreAsHostsStoreThem) {
  host.Controller()->setParamNormalized(kOutputParam, 0.8);
  ParameterChanges changes({{kOutputParam, 0, 0.8}});
  StartAsValidator(2, 256);
  Block(Tone(2, 256), kSample32, &changes);
  const std::vector<uint8_t> component = State();

  // The controller writes nothing of its own, and reading its chunk back changes nothing.
  MemoryStream controllerChunk;
  EXPECT_EQ(host.Controller()->getState(&controllerChunk), kResultOk);
  EXPECT_EQ(controllerChunk.getSize(), 0);
  EXPECT_EQ(host.Controller()->setState(&controllerChunk), kResultOk);
  EXPECT_EQ(State(), component);

  // After another Output value, a restore cut after the chunk's Output value (the rest as it is)
  // sounds as a fresh instance restored from the whole chunk.
  ParameterChanges other({{kOutputParam, 0, 0.3}});
  Block(Tone(2, 256), kSample32, &other);
  ASSERT_EQ(host.SetState({component.begin(), component.begin() + 8 * (kOutputParam + 1)}), kResultFalse);
  host.Processor()->setProcessing(false);
  host.Processor()->setProcessing(true);
  ExpectNear(Run(2, 4), Reference(2, 4, [&](kyr::tools::HostedPlugin& ref) { ASSERT_EQ(ref.SetState(component), kResultOk); }),
             "restored from a chunk");
}

// Chunks whole, cut, padded or hostile: the right answer, in-range values, the controller following.
TEST_F(HostBehaviour, ComponentChunksRestoreWhatTheyHoldAndConstrainTheRest) {
  const std::vector<uint8_t> defaults = State();
  ASSERT_EQ(defaults.size(), 428u);  // 53 values of 8 bytes, then the bypass word
  StartAsValidator(2, 128);
  ParameterChanges changes({{0, 0, 0.2}, {3, 0, 0.6}, {15, 0, 1.0}, {40, 0, 0.25}, {kHostBypass, 0, 1.0}});
  Block(Tone(2, 128), kSample32, &changes);
  const std::vector<uint8_t> saved = State();

  auto with = [](std::vector<uint8_t> chunk, std::initializer_list<std::pair<int, double>> values) {
    for (const auto& [index, v] : values) std::memcpy(chunk.data() + 8 * index, &v, 8);
    return chunk;
  };
  std::vector<uint8_t> padded = saved;
  padded.resize(saved.size() + 5000, 0xAB);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* name;
    std::vector<uint8_t> chunk;
    tresult result;
    std::vector<uint8_t> expect;  // the chunk saved after the restore, bypass word aside
    double bypass;
  } cases[] = {
      {"another instance's", defaults, kResultOk, defaults, 0.0},
      {"trailing bytes", padded, kResultOk, saved, 1.0},
      {"empty", {}, kResultFalse, saved, 1.0},
      // Values before the cut are restored; the one it cuts and those after keep theirs.
      {"cut in the fourth value", {defaults.begin(), defaults.begin() + 28}, kResultFalse,
       with(saved, {{0, StoredValue(defaults, 0)}}), 1.0},
      {"out of range and not finite", with(defaults, {{3, 1e300}, {12, nan}, {40, -7.0}}), kResultOk,
       with(defaults, {{3, 100.0}, {12, 0.0}, {40, 0.0}}), 0.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(host.SetState(c.chunk), c.result) << c.name;
    const std::vector<uint8_t> state = State();
    EXPECT_TRUE(std::equal(c.expect.begin(), c.expect.begin() + 424, state.begin())) << c.name;
    EXPECT_EQ(Normalized(kHostBypass), c.bypass) << c.name;
    for (ParamID i = 0; i < 53; ++i) {
      const double v = StoredValue(state, static_cast<int>(i));
      EXPECT_DOUBLE_EQ(Normalized(i), host.Controller()->plainParamToNormalized(i, v)) << c.name << ", parameter " << i;
    }
  }
}

// State and controller calls on the main thread while automated blocks run on the audio thread.
TEST_F(HostBehaviour, StateCallsDuringProcessing) {
  StartAsValidator(2, 128);
  const std::vector<uint8_t> saved = State();
  std::atomic<bool> stop{false};
  std::atomic<bool> sound{true};
  std::thread audio([&] {
    Audio in = Tone(2, 128);
    for (int b = 0; !stop.load(); ++b) {
      const double v = (b % 10) / 10.0;
      ParameterChanges changes({{3, 0, v}, {kOutputParam, 64, 1.0 - v}, {15, 0, (b / 50) % 2 ? 1.0 : 0.0}});
      if (!Sound(Block(in, kSample32, &changes))) sound = false;
    }
  });
  for (int i = 0; i < 200; ++i) {
    std::vector<uint8_t> state;
    EXPECT_TRUE(host.GetState(state));
    EXPECT_EQ(state.size(), 428u);
    EXPECT_EQ(host.SetState(saved), kResultOk);
    MemoryStream empty;
    EXPECT_EQ(host.Controller()->setState(&empty), kResultOk);
    host.Controller()->setParamNormalized(kOutputParam, (i % 10) / 10.0);
    String128 text{};
    host.Controller()->getParamStringByValue(4, 0.5, text);
  }
  stop = true;
  audio.join();
  EXPECT_TRUE(sound.load());
  EXPECT_EQ(host.SetState(saved), kResultOk);
  EXPECT_EQ(State(), saved);
}

// Parameter queues: the last point counts; unknown IDs and non-finite points change nothing.
TEST_F(HostBehaviour, ParameterQueuesTakeTheLastPointAndIgnoreUnknownIds) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* name;
    std::vector<ParamChange> changes;
    double expectOutput;  // normalised Output after the block; < 0: no value changed
    uint8_t bypassWord;   // after the block
  } cases[] = {
      {"three points, the last at the last sample",
       {{kOutputParam, 0, 0.1}, {kOutputParam, 100, 0.9}, {kOutputParam, 255, 0.7}}, 0.7, 0},
      {"unknown IDs", {{53, 0, 1.0}, {65537, 10, 1.0}, {0x7FFFFFFF, 20, 1.0}, {kOutputParam + 1000, 30, 0.0}}, -1, 0},
      {"non-finite last points", {{kOutputParam, 0, 0.9}, {kOutputParam, 10, nan}, {0, 10, inf}}, -1, 0},
      {"bypass just above one half", {{kHostBypass, 0, 0.51}}, -1, 1},
      {"bypass on, then off at the last sample", {{kHostBypass, 0, 1.0}, {kHostBypass, 255, 0.0}}, -1, 0},
  };
  StartAsValidator(2, 256);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> before = State();
    ParameterChanges changes(c.changes);
    EXPECT_TRUE(Sound(Block(Tone(2, 256), kSample32, &changes)));
    const std::vector<uint8_t> after = State();
    if (c.expectOutput < 0) {
      EXPECT_TRUE(std::equal(before.begin(), before.begin() + 424, after.begin()));
    } else {
      EXPECT_DOUBLE_EQ(StoredValue(after, kOutputParam),
                       host.Controller()->normalizedParamToPlain(kOutputParam, c.expectOutput));
    }
    EXPECT_EQ(after[424], c.bypassWord);
  }
}

// Degenerate and unusual blocks: none crashes, none changes the state or the sound that follows.
TEST_F(HostBehaviour, DegenerateCallsLongBlocksAndMixedSampleSizes) {
  StartAsValidator(2, 256);
  const std::vector<uint8_t> before = State();
  // 0 frames, more channels than the plug-in has, calls without buffers or buses, and a
  // nonsense channel count.
  Block(Tone(2, 0));
  Block(Tone(8, 64));
  std::vector<float> l(64, 7.0f), r(64, 7.0f);
  float* ch[] = {l.data(), r.data()};
  AudioBusBuffers nullBus{}, bus{};
  nullBus.numChannels = 2;
  bus.numChannels = -3;
  bus.channelBuffers32 = ch;
  for (int32 sampleSize : {kSample32, kSample64}) {
    ProcessData data{};
    data.symbolicSampleSize = sampleSize;
    data.numSamples = 64;
    data.numInputs = data.numOutputs = 1;
    data.inputs = data.outputs = &nullBus;
    EXPECT_EQ(host.Processor()->process(data), kResultOk);
    data.inputs = data.outputs = &bus;
    EXPECT_EQ(host.Processor()->process(data), kResultOk);
    data.numInputs = data.numOutputs = 0;
    data.inputs = data.outputs = nullptr;
    EXPECT_EQ(host.Processor()->process(data), kResultOk);
  }
  EXPECT_EQ(State(), before);
  host.Processor()->setProcessing(false);  // the null blocks ran silence through the filters
  host.Processor()->setProcessing(true);

  // A block four times longer than announced is processed in pieces, like four blocks; then
  // 32- and 64-bit blocks in one session continue the one signal.
  Audio out = Block(Tone(2, 1024));
  for (int b = 0; b < 4; ++b) Append(out, Block(Tone(2, 256, 1024 + b * 256), b % 2 ? kSample64 : kSample32));
  ExpectNear(out, Reference(2, 8), "long block and mixed sample sizes");
}
