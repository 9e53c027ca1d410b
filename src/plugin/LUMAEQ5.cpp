#include "LUMAEQ5.h"

#include <cstring>

#include "MeterSnapshot.h"
#include "editor/MeterMessage.h"
#include "engine/ParameterSet.h"

namespace kyr {

oskel::PluginConfig MakePluginConfig() {
  oskel::PluginConfig c;
  c.nParams = kNumParams;
  c.nPresets = 1;
  c.channelIOStr = "1-1 2-2";
  c.pluginName = "Kyr EQ";
  c.productName = "Kyr EQ";
  c.mfrName = "Oskel Audio";
  c.vendorVersion = 0x00020000;
  c.uniqueID = kUniqueID;
  c.mfrID = kMfrID;
  c.latency = 0;
  c.plugType = oskel::kEffect;
  c.plugHasUI = true;
  c.plugWidth = kEditorWidth;
  c.plugHeight = kEditorHeight;
  c.plugMinWidth = 400;
  c.plugMaxWidth = 3600;
  c.plugMinHeight = 186;
  c.plugMaxHeight = 1680;
  c.plugHostResize = false;
  return c;
}

}  // namespace kyr

LUMAEQ5::LUMAEQ5(const oskel::InstanceInfo&) : oskel::IPluginVST3(kyr::MakePluginConfig()) {
  const auto& table = kyr::ParameterTable();
  for (int i = 0; i < kyr::kNumParams; ++i) {
    const kyr::ParamDef& def = table[static_cast<size_t>(i)];
    oskel::IParam* param = GetParam(i);
    switch (def.kind) {
      case kyr::ParamDef::kDouble:
        param->InitDouble(def.name, def.defaultValue, def.minValue, def.maxValue, def.step, def.label);
        break;
      case kyr::ParamDef::kEnum:
        param->InitEnum(def.name, static_cast<int>(def.defaultValue), static_cast<int>(def.texts.size()), "",
                        oskel::IParam::kNoFlags, "", def.texts);
        break;
      case kyr::ParamDef::kBool:
        param->InitBool(def.name, def.defaultValue >= 0.5, "", oskel::IParam::kNoFlags, "", def.texts[0], def.texts[1]);
        break;
    }
  }
  InstallEditorPage(*this);
  UpdateMeterReader();
}

LUMAEQ5::~LUMAEQ5() {
  // No idle tick and no page callback may reach this object once its members start to go:
  // a host that releases the plug-in without removing the editor view first still gets a
  // clean shutdown.
  StopIdleTimer();
  CloseWebView();
}

void LUMAEQ5::OnParamChange(int paramIdx) {
  if (const oskel::IParam* param = GetParam(paramIdx)) mProcessor.OnParamChange(paramIdx, param->Value());
}

void LUMAEQ5::OnReset() {
  mProcessor.Reset(GetSampleRate(), GetBlockSize());
  if (mLastReportedLatency != 0) {
    SetLatency(0);
    mLastReportedLatency = 0;
  }
  mEditorResend.store(1, std::memory_order_relaxed);
}

void LUMAEQ5::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  mProcessor.Process(inputs, outputs, NChannelsConnected(oskel::kInput), NChannelsConnected(oskel::kOutput), nFrames);
}

Steinberg::tresult PLUGIN_API LUMAEQ5::queryInterface(const Steinberg::TUID iid, void** obj) {
  QUERY_INTERFACE(iid, obj, kyr::IKyrMeters::iid, kyr::IKyrMeters)
  return IPluginVST3::queryInterface(iid, obj);
}

Steinberg::tresult PLUGIN_API LUMAEQ5::getMeterText(Steinberg::char8* text, Steinberg::int32 size) {
  if (!text || size <= 0) return Steinberg::kInvalidArgument;
  const std::string message = oskel::FormatMeterMessage(kyr::SnapshotMeters(mProcessor.GetMeters()));
  const size_t n = std::min(message.size(), static_cast<size_t>(size - 1));
  std::memcpy(text, message.data(), n);
  text[n] = 0;
  return Steinberg::kResultOk;
}

Steinberg::tresult PLUGIN_API LUMAEQ5::setMeterReader(Steinberg::TBool reading) {
  mHostReadsMeters.store(reading ? 1 : 0, std::memory_order_relaxed);
  UpdateMeterReader();
  return Steinberg::kResultOk;
}

void LUMAEQ5::UpdateMeterReader() {
  constexpr auto relaxed = std::memory_order_relaxed;
  const bool reading = mEditorOpen.load(relaxed) != 0 || mHostReadsMeters.load(relaxed) != 0;
  mProcessor.GetMeters().reader.store(reading ? 1 : 0, relaxed);
}
