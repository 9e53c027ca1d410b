#include <gtest/gtest.h>

#include "TestPlugin.h"
#include "framework/HostId.h"
#include "framework/Timer.h"
#include "platform/linux/RunLoop.h"

using namespace oskel;

// The hosts the plug-in treats specially are told apart from their neighbours in the table.
TEST(IdentifyHost, FirstFragmentInTableOrderWins) {
  const struct {
    const char* name;
    int id;
  } cases[] = {{"WaveLab Elements 12", kHostWaveLabElements}, {"WaveLab Pro", kHostWaveLab}, {"Ardour", kHostArdour},
               {"REAPER64", kHostReaper}, {"Mixbus32C", kHostMixbus}, {"", kHostUnknown}, {"Something Else", kHostUnknown}};
  for (const auto& c : cases) EXPECT_EQ(IdentifyHost(c.name), c.id) << c.name;
}

TEST(IPluginAPIBase, EditorEditsReachHostAndPlugin) {
  TestPlugin p;
  p.BeginEditFromUI(1);
  p.SetParameterFromUI(1, 0.75);
  p.EndEditFromUI(1);
  ASSERT_EQ(p.edits.size(), 3u);
  EXPECT_EQ(p.edits[0].kind, 'b');
  EXPECT_EQ(p.edits[1].kind, 'p');
  EXPECT_EQ(p.edits[1].value, 0.75);
  EXPECT_EQ(p.edits[2].kind, 'e');
  EXPECT_DOUBLE_EQ(p.GetParam(1)->Value(), 12.0);
  EXPECT_EQ(p.changes, std::vector<int>{1});
  p.SetParameterFromUI(99, 0.5);  // unknown index: nothing happens
  EXPECT_EQ(p.edits.size(), 3u);
}

TEST(IPluginAPIBase, FullMidiQueueDropsTheNewMessage) {
  TestPlugin p;
  for (int i = 0; i < 33; ++i) p.SendMidiMsgFromUI(MidiMessage{0, static_cast<uint8_t>(0x90), static_cast<uint8_t>(i), 1, 0});
  MidiMessage m;
  int n = 0;
  while (p.MidiFromEditor().Pop(m)) EXPECT_EQ(m.data1, n++);
  EXPECT_EQ(n, 32);
}

class ManualLoop : public ::testing::Test {
 protected:
  void SetUp() override { platform::RunLoop::Get().SetManual(true); }
  void TearDown() override { platform::RunLoop::Get().SetManual(false); }
};

TEST_F(ManualLoop, TwoInstancesTickThroughOneRegistry) {
  const int before = Timer::NumRegistered();
  TestPlugin a, b;
  a.StartIdleTimer();
  b.StartIdleTimer();
  EXPECT_EQ(Timer::NumRegistered(), before + 2);
  platform::RunLoop::Get().Advance(100);
  EXPECT_EQ(a.idles, 5);
  EXPECT_EQ(b.idles, 5);
  a.StopIdleTimer();
  platform::RunLoop::Get().Advance(40);
  EXPECT_EQ(a.idles, 5);
  EXPECT_EQ(b.idles, 7);
}

TEST_F(ManualLoop, IdleTimerDrainsProcessorMidiBeforeOnIdle) {
  struct MidiPlugin : TestPlugin {
    void SendMidiMsgToUI(const MidiMessage& m) override { seen.push_back(idles * 1000 + m.data1); }
    std::vector<int> seen;
  } p;
  p.StartIdleTimer();
  p.PushMidiFromProcessor(MidiMessage{0, 0xB0, 7, 100, 0});
  platform::RunLoop::Get().Advance(20);
  EXPECT_EQ(p.seen, std::vector<int>{7});
  EXPECT_EQ(p.idles, 1);
}
