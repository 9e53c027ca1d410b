#include "framework/IPluginProcessor.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

using namespace oskel;

static PluginConfig Config(const char* io, int latency = 0) {
  PluginConfig c;
  c.channelIOStr = io;
  c.latency = latency;
  return c;
}

// Mono and stereo, several output buses, a wildcard and no input bus.
TEST(IPluginProcessor, ParsesChannelConfigurations) {
  const IPluginProcessor p(Config("1-1 2-2"), kAPIVST3), multi(Config("2-2.2"), kAPIVST3),
      wild(Config("*-2"), kAPIVST3), gen(Config("0-2"), kAPIVST3);
  int which = -1;
  const struct {
    int got, expected;
  } cases[] = {{p.NIOConfigs(), 2},         {p.MaxNChannels(kInput), 2},     {p.MaxNChannels(kOutput), 2},
               {p.MaxNBuses(kInput, &which), 1}, {multi.MaxNChannels(kOutput), 4}, {multi.MaxNBuses(kOutput), 2},
               {p.GetIOConfigWithChanCounts({2}, {2}), 1},  {p.GetIOConfigWithChanCounts({1}, {1}), 0},
               {p.GetIOConfigWithChanCounts({2}, {1}), -1}, {p.GetIOConfigWithChanCounts({1, 1}, {1}), -1},
               {multi.MaxNChannelsForBus(kOutput, 1), 2},   {wild.MaxNChannelsForBus(kInput, 0), -1},
               {gen.MaxNBuses(kInput), 0}};
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].got, cases[i].expected) << "case " << i;
  EXPECT_EQ(which, 1);  // the later configuration wins a tie
}

TEST(IPluginProcessor, BusNames) {
  IPluginProcessor p(Config("1-1"), kAPIVST3);
  const struct {
    ERoute dir;
    int idx, n;
    const char* name;
  } cases[] = {{kInput, 0, 1, "Input"}, {kInput, 0, 2, "Main"},  {kInput, 1, 2, "Aux"},
               {kInput, 2, 3, "Input 2"}, {kOutput, 0, 1, "Output"}, {kOutput, 2, 3, "Output 2"}};
  for (const auto& t : cases) {
    std::string name;
    p.GetBusName(t.dir, t.idx, t.n, name);
    EXPECT_EQ(name, t.name);
  }
}

// A processor with every channel connected, its blocks `blockSize` long and, as the VST 3
// binding makes it, its bypass delay line created.
class ConnectedProcessor : public IPluginProcessor {
 public:
  ConnectedProcessor(const char* io, int blockSize, int latency = 0)
      : IPluginProcessor(Config(io, latency), kAPIVST3) {
    CreateLatencyDelay();
    SetBlockSize(blockSize);
    SetChannelConnections(kInput, 0, MaxNChannels(kInput), true);
    SetChannelConnections(kOutput, 0, MaxNChannels(kOutput), true);
  }
};

TEST(IPluginProcessor, DefaultBlockCopiesInputsAndZeroesTheRest) {
  ConnectedProcessor p("1-2", 4);
  std::vector<double> in = {1, 2, 3, 4}, out0(4, 9.0), out1(4, 9.0);
  double* ins[] = {in.data()};
  double* outs[] = {out0.data(), out1.data()};
  p.AttachBuffers(kInput, 0, 1, ins, 4);
  p.AttachBuffers(kOutput, 0, 2, outs, 4);
  p.ProcessBuffers(0.0, 4);
  EXPECT_EQ(out0, in);
  EXPECT_EQ(out1, std::vector<double>(4, 0.0));
}

TEST(IPluginProcessor, BypassDelaysByTheLatencyEvenInPlace) {
  ConnectedProcessor p("1-1", 4, 2);
  std::vector<double> buf = {1, 2, 3, 4};
  double* ptr[] = {buf.data()};
  p.AttachBuffers(kInput, 0, 1, ptr, 4);
  p.AttachBuffers(kOutput, 0, 1, ptr, 4);  // in place
  p.PassThroughBuffers(0.0, 4);
  EXPECT_EQ(buf, (std::vector<double>{0, 0, 1, 2}));
}
