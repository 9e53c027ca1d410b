#pragma once

#include <vector>

#include "HostObjects.h"
#include "vst3/IPluginVST3.h"

// A gain in dB, a four-way choice and a switch on the VST 3 binding, recording what the binding calls.
class Vst3TestPlugin : public oskel::IPluginVST3 {
 public:
  static oskel::PluginConfig Config() {
    oskel::PluginConfig c;
    c.nParams = 3;
    c.nPresets = 1;
    c.channelIOStr = "1-1 2-2";
    c.pluginName = "Test";
    c.plugHasUI = true;
    c.plugWidth = 1200;
    c.plugHeight = 560;
    c.plugMinWidth = 400;
    c.plugMaxWidth = 3600;
    c.plugMinHeight = 186;
    c.plugMaxHeight = 1680;
    return c;
  }

  Vst3TestPlugin() : IPluginVST3(Config()) {
    GetParam(0)->InitDouble("Gain", 0.0, -12.0, 12.0, 0.1, "dB");
    GetParam(1)->InitEnum("Choice", 0, 4, "", 0, "", {"A", "B", "C", "D"});
    GetParam(2)->InitBool("Switch", false, "", 0, "", "off", "on");
  }
  ~Vst3TestPlugin() override { StopIdleTimer(); }

  void OnParamChange(int idx, oskel::EParamSource source, int offset) override {
    changes.push_back(idx);
    IPluginVST3::OnParamChange(idx, source, offset);
  }
  void OnParamChange(int) override {}
  void OnRestoreState() override { ++restores; }
  void SendParameterValueToUI(int idx, double value, bool) override { sentToUI.push_back({idx, value}); }

  std::vector<int> changes;
  int restores = 0;
  std::vector<std::pair<int, double>> sentToUI;
};
