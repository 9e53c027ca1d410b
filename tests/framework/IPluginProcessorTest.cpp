#include "framework/IPluginProcessor.h"

#include <gtest/gtest.h>

#include <iterator>

using namespace oskel;

static PluginConfig Config(const char* io) {
  PluginConfig c;
  c.channelIOStr = io;
  return c;
}

// The plug-in's own mono and stereo configurations.
TEST(IPluginProcessor, ParsesChannelConfigurations) {
  const IPluginProcessor p(Config("1-1 2-2"), kAPIVST3);
  int which = -1;
  const struct {
    int got, expected;
  } cases[] = {{p.NIOConfigs(), 2},         {p.MaxNChannels(kInput), 2},     {p.MaxNChannels(kOutput), 2},
               {p.MaxNBuses(kInput, &which), 1},
               {p.GetIOConfigWithChanCounts({2}, {2}), 1},  {p.GetIOConfigWithChanCounts({1}, {1}), 0},
               {p.GetIOConfigWithChanCounts({2}, {1}), -1}, {p.GetIOConfigWithChanCounts({1, 1}, {1}), -1}};
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].got, cases[i].expected) << "case " << i;
  EXPECT_EQ(which, 1);  // the later configuration wins a tie
}

TEST(IPluginProcessor, BusNames) {
  IPluginProcessor p(Config("1-1"), kAPIVST3);
  const struct {
    ERoute dir;
    int idx, n;
    const char* name;
  } cases[] = {{kInput, 0, 1, "Input"}, {kOutput, 0, 1, "Output"}};
  for (const auto& t : cases) {
    std::string name;
    p.GetBusName(t.dir, t.idx, t.n, name);
    EXPECT_EQ(name, t.name);
  }
}
