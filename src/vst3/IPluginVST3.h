#pragma once

#include "IPluginVST3ControllerBase.h"
#include "IPluginVST3ProcessorBase.h"
#include "framework/IPluginAPIBase.h"
#include "pluginterfaces/vst/ivstchannelcontextinfo.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "sdk/SingleComponentEffect.h"

namespace oskel {

class IPluginVST3View;

// What the instance-creation function hands to a new plug-in object (nothing, for VST 3).
struct InstanceInfo {};

// Binds the framework to VST 3. One object is at once the component, the audio processor and
// the edit controller; the host reference-counts it. `initialize`, state, set-up and controller
// calls come on the host's main thread; `process` on its audio thread.
class IPluginVST3 : public IPluginAPIBase,
                    public IPluginVST3ProcessorBase,
                    public IPluginVST3ControllerBase,
                    public Steinberg::Vst::SingleComponentEffect,
                    public Steinberg::Vst::IMidiMapping,
                    public Steinberg::Vst::ChannelContext::IInfoListener,
                    public Steinberg::Vst::IProcessContextRequirements {
 public:
  // The largest state stream read: the state of this framework is a few hundred bytes, and a
  // corrupt or hostile stream must not make the reader swallow unbounded memory.
  static constexpr int kMaxStateBytes = 1 << 20;

  explicit IPluginVST3(const PluginConfig& config);
  ~IPluginVST3() override;

  // IPluginBase
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  Steinberg::tresult PLUGIN_API terminate() override;

  // IComponent (its setState and getState arrive at setComponentStream and getComponentStream)
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) override;

  // IAudioProcessor
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs, Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) override;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) override;
  Steinberg::uint32 PLUGIN_API getLatencySamples() override;
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  Steinberg::tresult PLUGIN_API setProcessing(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override;

  // IProcessContextRequirements
  Steinberg::uint32 PLUGIN_API getProcessContextRequirements() override { return kProcessContextRequirements; }

  // IEditController (its setState and getState keep the empty defaults: all state is the component's)
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID tag, Steinberg::Vst::ParamValue value) override;
  Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID tag, Steinberg::Vst::ParamValue value,
                                                      Steinberg::Vst::String128 text) override;
  Steinberg::tresult PLUGIN_API getParamValueByString(Steinberg::Vst::ParamID tag, Steinberg::Vst::TChar* text,
                                                      Steinberg::Vst::ParamValue& value) override;
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) override;

  // IUnitInfo
  Steinberg::tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                               Steinberg::Vst::String128 name) override;

  // IMidiMapping
  Steinberg::tresult PLUGIN_API getMidiControllerAssignment(Steinberg::int32 busIndex, Steinberg::int16 channel,
                                                            Steinberg::Vst::CtrlNumber midiControllerNumber,
                                                            Steinberg::Vst::ParamID& tag) override;

  // ChannelContext::IInfoListener
  Steinberg::tresult PLUGIN_API setChannelContextInfos(Steinberg::Vst::IAttributeList* list) override;

  // Framework operations implemented for VST 3.
  void BeginParamEdit(int paramIdx) override;
  void PerformParamEdit(int paramIdx, double normalized) override;
  void EndParamEdit(int paramIdx) override;
  void SetParameterFromUI(int paramIdx, double normalized) override;
  void ResendAllParamsToHost() override;
  bool EditorResize(int width, int height) override;
  void SetLatency(int samples) override;
  void ParamDetailsChanged();

  // The open editor view (null while there is none); the view sets and clears it.
  IPluginVST3View* GetView() const { return mView; }
  void SetView(IPluginVST3View* view) { mView = view; }
  const Steinberg::Vst::ProcessSetup& GetProcessSetup() const { return processSetup; }

  OBJ_METHODS(IPluginVST3, SingleComponentEffect)
  DEFINE_INTERFACES
    DEF_INTERFACE(Steinberg::Vst::IMidiMapping)
    DEF_INTERFACE(Steinberg::Vst::ChannelContext::IInfoListener)
    DEF_INTERFACE(Steinberg::Vst::IProcessContextRequirements)
  END_DEFINE_INTERFACES(SingleComponentEffect)
  REFCOUNT_METHODS(SingleComponentEffect)

 protected:
  // The component state stream: the plug-in state followed by the bypass word.
  Steinberg::tresult setComponentStream(Steinberg::IBStream* state) override;
  Steinberg::tresult getComponentStream(Steinberg::IBStream* state) override;

 private:
  // Copies every framework parameter's normalised value into its VST 3 parameter object.
  void SyncControllerValues();
  // Drops buses, units and parameter objects (terminate, and a failed initialize).
  void ReleaseControllerAndBuses();

  IPluginVST3View* mView = nullptr;
};

}  // namespace oskel
