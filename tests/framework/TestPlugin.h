#pragma once

#include <vector>

#include "framework/IPluginAPIBase.h"

// A minimal plug-in on the framework: two parameters and recorded hooks.
class TestPlugin : public oskel::IPluginAPIBase {
 public:
  static oskel::PluginConfig Config(int nParams = 2) {
    oskel::PluginConfig c;
    c.nParams = nParams;
    c.nPresets = 1;
    c.channelIOStr = "1-1 2-2";
    c.pluginName = "Test";
    c.plugHasUI = true;
    c.plugWidth = 100;
    c.plugHeight = 50;
    return c;
  }

  explicit TestPlugin(int nParams = 2) : IPluginAPIBase(Config(nParams), oskel::kAPIVST3) {
    for (int i = 0; i < nParams; ++i) GetParam(i)->InitDouble("p", 0.0, -24.0, 24.0, 0.1, "dB");
  }
  ~TestPlugin() override { StopIdleTimer(); }

  void OnParamChange(int idx) override { changes.push_back(idx); }
  using oskel::IPluginAPIBase::OnParamChange;
  void OnIdle() override { ++idles; }
  void BeginParamEdit(int idx) override { edits.push_back({'b', idx, 0}); }
  void PerformParamEdit(int idx, double v) override { edits.push_back({'p', idx, v}); }
  void EndParamEdit(int idx) override { edits.push_back({'e', idx, 0}); }

  struct Edit {
    char kind;
    int idx;
    double value;
  };
  std::vector<int> changes;
  std::vector<Edit> edits;
  int idles = 0;
  oskel::SpscQueue<oskel::MidiMessage>& MidiFromEditor() { return mMidiMsgsFromEditor; }
};
