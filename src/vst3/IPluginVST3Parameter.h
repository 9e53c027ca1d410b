#pragma once

#include "framework/IParam.h"
#include "public.sdk/source/vst/vstparameters.h"

namespace oskel {

// VST 3 parameter IDs: framework parameters use their index; these are the others.
enum : Steinberg::Vst::ParamID {
  kBypassParamId = 65536,
  kMidiCCParamIdBase = 65538,  // + 130 x channel + controller (128 aftertouch, 129 pitch bend)
};

// Publishes one framework parameter to the host. Its info is filled once at creation; text and
// value conversions are the framework parameter's own.
class IPluginVST3Parameter : public Steinberg::Vst::Parameter {
 public:
  IPluginVST3Parameter(IParam* param, Steinberg::Vst::ParamID id, Steinberg::Vst::UnitID unitId);

  void toString(Steinberg::Vst::ParamValue normalized, Steinberg::Vst::String128 text) const override;
  bool fromString(const Steinberg::Vst::TChar* text, Steinberg::Vst::ParamValue& normalized) const override;
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue normalized) const override;
  Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plain) const override;

  OBJ_METHODS(IPluginVST3Parameter, Parameter)

 private:
  IParam* mParam;
};

// The host-facing bypass switch ("Bypass", ID 65536, entries "off" and "on").
class IPluginVST3BypassParameter : public Steinberg::Vst::StringListParameter {
 public:
  IPluginVST3BypassParameter();
  OBJ_METHODS(IPluginVST3BypassParameter, StringListParameter)
};

}  // namespace oskel
