#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

namespace Steinberg {
namespace Vst {

// IComponent and IEditController both declare setState and getState with one signature, so a
// single override would answer both: the controller would write and read the component's whole
// state. These two routes give each interface's pair its own virtual functions.
class ComponentStateRoute : public IComponent {
 public:
  tresult PLUGIN_API setState(IBStream* state) final { return setComponentStream(state); }
  tresult PLUGIN_API getState(IBStream* state) final { return getComponentStream(state); }

 protected:
  // The component (processor) state: everything the host must store to restore the sound.
  virtual tresult setComponentStream(IBStream*) { return kNotImplemented; }
  virtual tresult getComponentStream(IBStream*) { return kNotImplemented; }
};

class ControllerStateRoute : public EditControllerEx1 {
 public:
  tresult PLUGIN_API setState(IBStream* state) final { return setControllerStream(state); }
  tresult PLUGIN_API getState(IBStream* state) final { return getControllerStream(state); }

 protected:
  // The controller's own state (view settings and the like); empty by default.
  virtual tresult setControllerStream(IBStream*) { return kResultOk; }
  virtual tresult getControllerStream(IBStream*) { return kResultOk; }
};

// One object that is at once the component, the audio processor and the edit controller:
// the host talks to a single instance for audio, state, parameters and the editor.
// Holds the four bus lists; derived classes add the processing.
class SingleComponentEffect : public ControllerStateRoute, public ComponentStateRoute, public IAudioProcessor {
 public:
  SingleComponentEffect();
  ~SingleComponentEffect() override;

  // IPluginBase
  tresult PLUGIN_API initialize(FUnknown* context) override;
  tresult PLUGIN_API terminate() override;

  // IComponent
  tresult PLUGIN_API getControllerClassId(TUID) override { return kNotImplemented; }
  tresult PLUGIN_API setIoMode(IoMode) override { return kNotImplemented; }
  int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) override;
  tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info) override;
  tresult PLUGIN_API getRoutingInfo(RoutingInfo&, RoutingInfo&) override { return kNotImplemented; }
  tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) override;
  tresult PLUGIN_API setActive(TBool) override { return kResultOk; }

  // IAudioProcessor
  tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                        int32 numOuts) override;
  tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) override;
  tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) override;
  uint32 PLUGIN_API getLatencySamples() override { return 0; }
  tresult PLUGIN_API setupProcessing(ProcessSetup& setup) override;
  tresult PLUGIN_API setProcessing(TBool) override { return kNotImplemented; }
  tresult PLUGIN_API process(ProcessData&) override { return kNotImplemented; }
  uint32 PLUGIN_API getTailSamples() override { return kNoTail; }

  // The same parameter objects serve the component and the controller.
  tresult PLUGIN_API setComponentState(IBStream*) override { return kResultOk; }

  AudioBus* addAudioInput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                          int32 flags = BusInfo::kDefaultActive);
  AudioBus* addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType busType = kMain,
                           int32 flags = BusInfo::kDefaultActive);
  EventBus* addEventInput(const TChar* name, int32 channels = 16, BusType busType = kMain,
                          int32 flags = BusInfo::kDefaultActive);
  EventBus* addEventOutput(const TChar* name, int32 channels = 16, BusType busType = kMain,
                           int32 flags = BusInfo::kDefaultActive);
  tresult removeAudioBusses();
  tresult removeEventBusses();
  tresult removeAllBusses();

  OBJ_METHODS(SingleComponentEffect, EditControllerEx1)
  // The controller base offers IConnectionPoint, which only a separate controller needs: a host
  // that connected this object to itself would hold a reference cycle until terminate.
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (FUnknownPrivate::iidEqual(iid, IConnectionPoint::iid)) {
      if (obj) *obj = nullptr;
      return kNoInterface;
    }
    QUERY_INTERFACE(iid, obj, IComponent::iid, IComponent)
    QUERY_INTERFACE(iid, obj, IAudioProcessor::iid, IAudioProcessor)
    return EditControllerEx1::queryInterface(iid, obj);
  }
  REFCOUNT_METHODS(EditControllerEx1)

 protected:
  BusList* getBusList(MediaType type, BusDirection dir);
  AudioBus* getAudioBus(BusDirection dir, int32 index);

  BusList audioInputs;
  BusList audioOutputs;
  BusList eventInputs;
  BusList eventOutputs;
  ProcessSetup processSetup{};
};

}  // namespace Vst
}  // namespace Steinberg
