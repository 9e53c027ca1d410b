#pragma once

#include <string>

#include "IPluginVST3Parameter.h"
#include "framework/IPluginBase.h"
#include "pluginterfaces/vst/ivstattributes.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

namespace oskel {

// The controller side of the VST 3 object: publishes the framework's parameters as VST 3
// parameter objects grouped in units, makes the bypass and MIDI-controller parameters, keeps
// the host's channel context and answers MIDI-mapping and program-name questions.
// Main thread only.
class IPluginVST3ControllerBase {
 public:
  // Registers the root unit, the bypass parameter (unless an instrument), one unit per group
  // and one parameter object per framework parameter, and the MIDI-controller parameters when
  // the plug-in takes MIDI input.
  void Initialize(IPluginBase& plug, Steinberg::Vst::EditControllerEx1& controller,
                  Steinberg::Vst::ParameterContainer& parameters, bool isInstrument, bool midiIn);
  // Forgets the parameter objects and units (the container and the controller free them), so
  // that a later Initialize builds the same set again.
  void Release(IPluginBase& plug);

  Steinberg::tresult SetChannelContextInfos(Steinberg::Vst::IAttributeList* list);
  Steinberg::tresult GetMidiControllerAssignment(Steinberg::int32 busIndex, Steinberg::int16 channel,
                                                 Steinberg::Vst::CtrlNumber controller,
                                                 Steinberg::Vst::ParamID& tag) const;
  Steinberg::tresult GetProgramName(const IPluginBase& plug, Steinberg::Vst::ProgramListID listId,
                                    Steinberg::int32 programIndex, Steinberg::Vst::String128 name) const;

  void GetTrackColor(int& red, int& green, int& blue) const;
  const std::string& GetTrackName() const { return mChannelName; }
  int GetTrackIndex() const { return mChannelIndex; }
  const std::string& GetTrackNamespace() const { return mChannelNamespace; }
  int GetTrackNamespaceIndex() const { return mChannelNamespaceIndex; }

  static constexpr Steinberg::Vst::ProgramListID kPresetListId = 65537;
  static const char* MidiControllerName(int controller, std::string& scratch);

 protected:
  Steinberg::Vst::ParameterContainer* mParameters = nullptr;
  IPluginVST3BypassParameter* mBypassParameter = nullptr;

 private:
  std::string mChannelName;
  std::string mChannelUID;
  std::string mChannelNamespace;
  int mChannelIndex = 0;
  Steinberg::uint32 mChannelColor = 0;
  int mChannelNamespaceIndex = 0;
};

}  // namespace oskel
