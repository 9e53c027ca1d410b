#include "IPluginVST3.h"

#include <cmath>
#include <cstring>
#include <new>

#include "IPluginVST3View.h"
#include "StringConvert.h"
#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivsthostapplication.h"

namespace oskel {

using namespace Steinberg;
using namespace Steinberg::Vst;

IPluginVST3::IPluginVST3(const PluginConfig& config)
    : IPluginAPIBase(config, kAPIVST3), IPluginVST3ProcessorBase(config, *this) {}

IPluginVST3::~IPluginVST3() { StopIdleTimer(); }

tresult PLUGIN_API IPluginVST3::initialize(FUnknown* context) {
  try {
    if (SingleComponentEffect::initialize(context) != kResultOk) return kResultFalse;
    CreateBuses(*this);
    IPluginVST3ControllerBase::Initialize(*this, *this, parameters, GetPluginType() == kInstrument, DoesMidiIn());

    if (GetHost() == kHostUninit && context) {
      FUnknownPtr<IHostApplication> app(context);
      String128 name{};
      if (app && app->getName(name) == kResultOk) {
        name[127] = 0;
        std::string narrow = Utf16ToUtf8(name, 128);
        if (narrow.size() > 128) narrow.resize(128);
        SetHost(narrow, 0);
      }
    }
    OnHostIdentified();
    OnParamReset(kReset);
    return kResultOk;
  } catch (const std::exception&) {
    return kResultFalse;
  }
}

tresult PLUGIN_API IPluginVST3::terminate() { return SingleComponentEffect::terminate(); }

tresult PLUGIN_API IPluginVST3::setActive(TBool state) {
  OnActivate(state != 0);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                   SpeakerArrangement* outputs, int32 numOuts) {
  return SetBusArrangements(*this, inputs, numIns, outputs, numOuts);
}

tresult PLUGIN_API IPluginVST3::canProcessSampleSize(int32 symbolicSampleSize) {
  return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API IPluginVST3::getLatencySamples() { return static_cast<uint32>(std::max(GetLatency(), 0)); }

uint32 PLUGIN_API IPluginVST3::getTailSamples() {
  return GetTailSize() == 0x7FFFFFFF ? kInfiniteTail : static_cast<uint32>(std::max(GetTailSize(), 0));
}

tresult PLUGIN_API IPluginVST3::setupProcessing(ProcessSetup& setup) {
  if (setup.symbolicSampleSize != kSample32 && setup.symbolicSampleSize != kSample64) return kResultFalse;
  try {
    const tresult result = SetupProcessing(setup);
    if (result == kResultTrue) processSetup = setup;
    return result;
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
}

tresult PLUGIN_API IPluginVST3::setProcessing(TBool state) {
  if (!state) OnReset();
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::process(ProcessData& data) {
  PrepareProcessContext(data, processSetup);
  ProcessParameterChanges(data);
  ProcessMidiIn(data);
  ProcessAudio(data, audioInputs, audioOutputs);
  ProcessMidiOut(data);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::getState(IBStream* state) {
  if (!state) return kResultFalse;
  try {
    ByteChunk chunk;
    if (!SerializeState(chunk)) return kResultFalse;
    int32 written = 0;
    if (chunk.Size() > 0 && (state->write(const_cast<uint8_t*>(chunk.Data()), chunk.Size(), &written) != kResultOk ||
                             written != chunk.Size()))
      return kResultFalse;
    int32 bypass = GetBypassed() ? 1 : 0;
    if (state->write(&bypass, sizeof(bypass), &written) != kResultOk || written != static_cast<int32>(sizeof(bypass)))
      return kResultFalse;
    return kResultOk;
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
}

tresult PLUGIN_API IPluginVST3::setState(IBStream* state) {
  if (!state) return kResultFalse;
  try {
    ByteChunk chunk;
    const bool ignoreReadResult = GetHost() == kHostWaveLab;
    uint8_t buffer[128];
    for (;;) {
      int32 read = 0;
      const tresult result = state->read(buffer, sizeof(buffer), &read);
      if (read <= 0 || (result != kResultTrue && !ignoreReadResult)) break;
      chunk.PutBytes(buffer, std::min<int32>(read, sizeof(buffer)));
      if (chunk.Size() >= kMaxStateBytes) break;
    }

    const int pos = UnserializeState(chunk, 0);
    // Values restored so far stay; the controller's parameter objects always follow them.
    SyncControllerValues();
    if (pos < 0) return kResultFalse;

    int64 seekResult = 0;
    int32 bypass = 0;
    int32 read = 0;
    if (state->seek(pos, IBStream::kIBSeekSet, &seekResult) != kResultOk ||
        state->read(&bypass, sizeof(bypass), &read) != kResultOk || read != static_cast<int32>(sizeof(bypass)))
      return kResultFalse;

    if (mBypassParameter) mBypassParameter->setNormalized(bypass ? 1.0 : 0.0);
    OnRestoreState();
    return kResultOk;
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
}

void IPluginVST3::SyncControllerValues() {
  for (int i = 0; i < NParams(); ++i)
    if (Parameter* p = getParameterObject(static_cast<ParamID>(i))) p->setNormalized(GetParam(i)->GetNormalized());
}

tresult PLUGIN_API IPluginVST3::setParamNormalized(ParamID tag, ParamValue value) {
  Parameter* p = getParameterObject(tag);
  if (!p) return kResultFalse;
  p->setNormalized(value);
  if (tag < kBypassParamId && tag < static_cast<ParamID>(NParams())) {
    const int idx = static_cast<int>(tag);
    GetParam(idx)->SetNormalized(p->getNormalized());
    OnParamChangeUI(idx, kHost);
    SendParameterValueToUI(idx, p->getNormalized(), true);
  }
  return kResultOk;
}

IPlugView* PLUGIN_API IPluginVST3::createView(FIDString name) {
  if (!HasUI() || !name || std::strcmp(name, ViewType::kEditor) != 0) return nullptr;
  try {
    auto* view = new IPluginVST3View(*this);
    mView = view;
    return view;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

tresult PLUGIN_API IPluginVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name) {
  return GetProgramName(*this, listId, programIndex, name);
}

tresult PLUGIN_API IPluginVST3::getMidiControllerAssignment(int32 busIndex, int16 channel, CtrlNumber controller,
                                                            ParamID& tag) {
  return GetMidiControllerAssignment(busIndex, channel, controller, tag);
}

tresult PLUGIN_API IPluginVST3::setChannelContextInfos(IAttributeList* list) { return SetChannelContextInfos(list); }

void IPluginVST3::BeginParamEdit(int paramIdx) { beginEdit(static_cast<ParamID>(paramIdx)); }

void IPluginVST3::PerformParamEdit(int paramIdx, double normalized) {
  performEdit(static_cast<ParamID>(paramIdx), normalized);
}

void IPluginVST3::EndParamEdit(int paramIdx) { endEdit(static_cast<ParamID>(paramIdx)); }

void IPluginVST3::SetParameterFromUI(int paramIdx, double normalized) {
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  if (Parameter* p = getParameterObject(static_cast<ParamID>(paramIdx))) p->setNormalized(normalized);
  param->SetNormalized(normalized);
  PerformParamEdit(paramIdx, normalized);
  OnParamChange(paramIdx, kUI, -1);
  OnParamChangeUI(paramIdx, kUI);
}

void IPluginVST3::ResendAllParamsToHost() {
  SyncControllerValues();
  startGroupEdit();
  for (int i = 0; i < NParams(); ++i) PerformParamEdit(i, GetParam(i)->GetNormalized());
  finishGroupEdit();
}

void IPluginVST3::ParamDetailsChanged() {
  if (componentHandler) componentHandler->restartComponent(kParamTitlesChanged);
}

bool IPluginVST3::EditorResize(int width, int height) {
  if (!HasUI()) return true;
  if (mView && (width != GetEditorWidth() || height != GetEditorHeight())) mView->ResizeFrame(width, height);
  SetEditorSize(width, height);
  return true;
}

void IPluginVST3::SetLatency(int samples) {
  IPluginProcessor::SetLatency(samples);
  if (componentHandler) componentHandler->restartComponent(kLatencyChanged);
}

}  // namespace oskel
