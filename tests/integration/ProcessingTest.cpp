#include <cmath>

#include "HostTestFixture.h"
#if !defined(_WIN32)
#include "../common/AllocationCounter.h"
#endif
#include "pluginterfaces/vst/ivstaudioprocessor.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using kyr::tools::ParamChange;

namespace {

constexpr ParamID kHostBypass = 65536;
constexpr ParamID kBypassParam = 14;
constexpr ParamID kOutputParam = 12;

// Two channels of sines (the right a fifth above the left).
template <typename Sample>
struct Stereo {
  Stereo(int n, double freq, double rate, double amp) : l(static_cast<size_t>(n)), r(static_cast<size_t>(n)) {
    for (size_t i = 0; i < l.size(); ++i) {
      l[i] = static_cast<Sample>(amp * std::sin(2 * 3.141592653589793 * freq * static_cast<double>(i) / rate));
      r[i] = static_cast<Sample>(amp * std::sin(3 * 3.141592653589793 * freq * static_cast<double>(i) / rate));
    }
  }
  Sample** Ptrs() {
    ptr[0] = l.data();
    ptr[1] = r.data();
    return ptr;
  }
  std::vector<Sample> l, r;
  Sample* ptr[2] = {nullptr, nullptr};
};

}  // namespace

TEST_F(HostTest, BypassedAudioPassesUnchangedIn32And64Bit) {
  Start(48000, 256, kSample32);
  Stereo<float> in(255, 440, 48000, 0.5), out(255, 0, 48000, 0);  // not a multiple of four samples
  host.Process(in.Ptrs(), out.Ptrs(), 255, {{kHostBypass, 0, 1.0}});
  EXPECT_EQ(out.l, in.l);
  EXPECT_EQ(out.r, in.r);
  host.StopProcessing();

  // 64 bits and the plug-in's own switch, with separate buffers, then in place.
  Start(44100, 256, kSample64);
  Stereo<double> in64(256, 1000, 44100, 0.25), out64(256, 0, 44100, 0), inPlace = in64;
  host.Process(in64.Ptrs(), out64.Ptrs(), 256, {{kBypassParam, 0, 1.0}});
  EXPECT_EQ(out64.l, in64.l);
  EXPECT_EQ(out64.r, in64.r);
  host.Process(inPlace.Ptrs(), inPlace.Ptrs(), 256, {});
  EXPECT_EQ(inPlace.l, in64.l);
}

TEST_F(HostTest, AutomationReachesTheAudioThread) {
  Start(48000, 512, kSample64);
  Stereo<double> in(512, 1000, 48000, 0.01), quiet = in, loud = in;
  for (int b = 0; b < 8; ++b) host.Process(in.Ptrs(), quiet.Ptrs(), 512, {{kOutputParam, 0, 0.5}});
  for (int b = 0; b < 8; ++b) host.Process(in.Ptrs(), loud.Ptrs(), 512, {{kOutputParam, 100, 0.75}});
  auto energy = [](const Stereo<double>& s) {
    double sum = 0;
    for (size_t i = 0; i < s.l.size(); ++i) sum += s.l[i] * s.l[i] + s.r[i] * s.r[i];
    return sum;
  };
  // Output 75 % is +6 dB.
  EXPECT_NEAR(10 * std::log10(energy(loud) / energy(quiet)), 6.0, 0.05);
}

// The allocation counter replaces the allocator of the test program, which a module reaches
// through the shared C library on Linux; a Windows module carries its own runtime.
#if !defined(_WIN32)
TEST_F(HostTest, ProcessAllocatesNothingOnAnyPath) {
  Start(48000, 256, kSample64);
  Stereo<double> in(256, 200, 48000, 0.5), out = in;
  // Every parameter change list is built before counting starts. Bypass comes first and is
  // switched off again, so that the counted pass (like the warm-up) runs the engine's paths.
  const std::vector<std::vector<ParamChange>> paths = {
      {{kHostBypass, 0, 1.0}},
      {{kHostBypass, 0, 0.0}, {3, 0, 0.8}, {7, 0, 0.6}, {30, 0, 0.5}, {31, 0, 0.5}, {29, 0, 1.0}},
      {{27, 0, 1.0}},
      {{28, 0, 1.0}},
      {{42, 0, 1.0}},
      {{15, 0, 1.0}, {24, 0, 1.0}, {26, 0, 1.0}, {39, 0, 0.2}, {40, 0, 0.1}, {41, 0, 1.0}},
      {{38, 0, 0.5}},
      {{14, 0, 1.0}},
  };
  std::vector<std::unique_ptr<kyr::tools::ParameterChanges>> lists;
  for (const auto& p : paths) lists.push_back(std::make_unique<kyr::tools::ParameterChanges>(p));
  for (auto& list : lists) host.Process(in.Ptrs(), out.Ptrs(), 256, list.get());  // warm up every path
  kyr::tools::ParameterChanges none;
  kyr::test::AllocationCounter guard;
  for (auto& list : lists) {
    host.Process(in.Ptrs(), out.Ptrs(), 256, list.get());
    host.Process(in.Ptrs(), out.Ptrs(), 256, &none);
  }
  EXPECT_EQ(guard.Count(), 0);

  // The counter does see the module's own allocations (a state save allocates its chunk).
  std::vector<uint8_t> state;
  state.reserve(4096);
  kyr::test::AllocationCounter saving;
  host.GetState(state);
  EXPECT_GT(saving.Count(), 0);
}
#endif
