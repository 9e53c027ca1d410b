#pragma once

#include <vector>

#include "framework/IPluginAPIBase.h"
#include "framework/IPluginProcessor.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "sdk/SingleComponentEffect.h"

namespace oskel {

// The audio-processor side of the VST 3 object: buses, bus arrangements, processing set-up
// and the host's process call (transport, parameter changes, events, audio, bypass).
// Process* methods run on the audio thread and never allocate or lock.
class IPluginVST3ProcessorBase : public IPluginProcessor {
 public:
  IPluginVST3ProcessorBase(const PluginConfig& config, IPluginAPIBase& plug);

  static Steinberg::Vst::SpeakerArrangement ArrangementForChannels(int nChannels);

  void CreateBuses(Steinberg::Vst::SingleComponentEffect& component);
  Steinberg::tresult SetBusArrangements(Steinberg::Vst::SingleComponentEffect& component,
                                        Steinberg::Vst::SpeakerArrangement* inputs, Steinberg::int32 numIns,
                                        Steinberg::Vst::SpeakerArrangement* outputs, Steinberg::int32 numOuts);
  Steinberg::tresult SetupProcessing(const Steinberg::Vst::ProcessSetup& setup);

  void PrepareProcessContext(Steinberg::Vst::ProcessData& data, const Steinberg::Vst::ProcessSetup& setup);
  void ProcessParameterChanges(Steinberg::Vst::ProcessData& data);
  void ProcessMidiIn(Steinberg::Vst::ProcessData& data);
  void ProcessAudio(Steinberg::Vst::ProcessData& data, const Steinberg::Vst::BusList& inputBuses,
                    const Steinberg::Vst::BusList& outputBuses);
  void ProcessMidiOut(Steinberg::Vst::ProcessData& data);

  bool SendMidiMsg(const MidiMessage& msg) override;

  // The process-context fields the transport snapshot reads.
  static constexpr Steinberg::uint32 kProcessContextRequirements =
      Steinberg::Vst::IProcessContextRequirements::kNeedProjectTimeMusic |
      Steinberg::Vst::IProcessContextRequirements::kNeedBarPositionMusic |
      Steinberg::Vst::IProcessContextRequirements::kNeedCycleMusic |
      Steinberg::Vst::IProcessContextRequirements::kNeedTimeSignature |
      Steinberg::Vst::IProcessContextRequirements::kNeedTempo |
      Steinberg::Vst::IProcessContextRequirements::kNeedTransportState;

 private:
  void AddAudioBuses(Steinberg::Vst::SingleComponentEffect& component, ERoute dir, const IOConfig& config,
                     int nBuses) const;
  void AttachBlock(Steinberg::Vst::ProcessData& data, const Steinberg::Vst::BusList& inputBuses,
                   const Steinberg::Vst::BusList& outputBuses, int offset, int nFrames);
  void AttachBus(ERoute direction, int first, const Steinberg::Vst::AudioBusBuffers& bus, Steinberg::int32 sampleSize,
                 int offset, int nFrames);

  IPluginAPIBase& mPlug;
  int mMaxNInChans = 0;
  bool mSidechainActive = false;
  Steinberg::Vst::ProcessContext mProcessContext{};
  std::vector<MidiMessage> mMidiOutputQueue;
  // Per-block pointer arrays into the host's buffers (offset when a long block is split).
  std::vector<float*> mOffsetPtrs32;
  std::vector<double*> mOffsetPtrs64;
};

}  // namespace oskel
