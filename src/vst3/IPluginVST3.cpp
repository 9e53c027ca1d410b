#include "IPluginVST3.h"

#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "CallGuard.h"
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
  if (SingleComponentEffect::initialize(context) != kResultOk) return kResultFalse;
  const tresult result = GuardedCall([&]() -> tresult {
    // A host may terminate and initialise the same object again (re-scan, duplicate, offline
    // bounce): it then finds it as it was the first time, with default values and no bypass.
    ReleaseControllerAndBuses();
    for (int i = 0; i < NParams(); ++i) GetParam(i)->Set(GetParam(i)->Constrain(GetParam(i)->GetDefault()));
    SetBypassed(false);
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
  });
  if (result == kResultOk) return kResultOk;
  // A half-built object is not left behind: a later initialize starts from nothing.
  terminate();
  return result == kOutOfMemory ? kOutOfMemory : kResultFalse;
}

tresult PLUGIN_API IPluginVST3::terminate() {
  ReleaseControllerAndBuses();
  return SingleComponentEffect::terminate();
}

void IPluginVST3::ReleaseControllerAndBuses() {
  IPluginVST3ControllerBase::Release(*this);
  parameters.removeAll();
  units.clear();
  removeAllBusses();
}

tresult PLUGIN_API IPluginVST3::setActive(TBool state) {
  return GuardedCall([&] {
    OnActivate(state != 0);
    return kResultOk;
  });
}

tresult PLUGIN_API IPluginVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                   SpeakerArrangement* outputs, int32 numOuts) {
  return GuardedCall([&]() -> tresult {
    // The rebuilt buses keep the active state of the buses they replace (same direction and
    // index): a host may activate its buses before it arranges them, and the new buses would
    // otherwise start inactive and leave every output channel unconnected.
    std::vector<bool> inputActive, outputActive;
    for (const auto& bus : audioInputs) inputActive.push_back(bus->isActive());
    for (const auto& bus : audioOutputs) outputActive.push_back(bus->isActive());
    const tresult result = SetBusArrangements(*this, inputs, numIns, outputs, numOuts);
    for (size_t b = 0; b < audioInputs.size() && b < inputActive.size(); ++b) audioInputs[b]->setActive(inputActive[b]);
    for (size_t b = 0; b < audioOutputs.size() && b < outputActive.size(); ++b)
      audioOutputs[b]->setActive(outputActive[b]);
    return result;
  });
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
  return GuardedCall([&] {
    const tresult result = SetupProcessing(setup);
    if (result == kResultTrue) processSetup = setup;
    return result;
  });
}

tresult PLUGIN_API IPluginVST3::setProcessing(TBool state) {
  return GuardedCall([&] {
    if (!state) OnReset();
    return kResultOk;
  });
}

tresult PLUGIN_API IPluginVST3::process(ProcessData& data) {
  // Nothing here allocates; the guard only keeps a fault in a hook from reaching the host.
  GuardedCall([&] {
    PrepareProcessContext(data, processSetup);
    ProcessParameterChanges(data);
    ProcessMidiIn(data);
    ProcessAudio(data, audioInputs, audioOutputs);
    ProcessMidiOut(data);
    return kResultOk;
  });
  return kResultOk;
}

tresult IPluginVST3::getComponentStream(IBStream* state) {
  if (!state) return kResultFalse;
  return GuardedCall([&]() -> tresult {
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
  });
}

tresult IPluginVST3::setComponentStream(IBStream* state) {
  if (!state) return kResultFalse;
  return GuardedCall([&]() -> tresult {
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

    std::vector<double> before(static_cast<size_t>(NParams()));
    for (int i = 0; i < NParams(); ++i) before[static_cast<size_t>(i)] = GetParam(i)->Value();
    const int pos = UnserializeState(chunk, 0);
    // Values restored so far stay; the controller's parameter objects always follow them.
    SyncControllerValues();

    bool complete = pos >= 0;
    int32 bypass = 0;
    if (complete) {
      int64 seekResult = 0;
      int32 read = 0;
      complete = state->seek(pos, IBStream::kIBSeekSet, &seekResult) == kResultOk &&
                 state->read(&bypass, sizeof(bypass), &read) == kResultOk && read == static_cast<int32>(sizeof(bypass));
    }
    if (complete) {
      if (mBypassParameter) mBypassParameter->setNormalized(bypass ? 1.0 : 0.0);
      OnRestoreState();
      return kResultOk;
    }
    // A partly failed restore still reports failure, but an open editor must not keep showing
    // values that are no longer the plug-in's.
    bool changed = false;
    for (int i = 0; i < NParams() && !changed; ++i) changed = before[static_cast<size_t>(i)] != GetParam(i)->Value();
    if (changed) OnRestoreState();
    return kResultFalse;
  });
}

void IPluginVST3::SyncControllerValues() {
  for (int i = 0; i < NParams(); ++i)
    if (Parameter* p = getParameterObject(static_cast<ParamID>(i))) p->setNormalized(GetParam(i)->GetNormalized());
}

tresult PLUGIN_API IPluginVST3::setParamNormalized(ParamID tag, ParamValue value) {
  // A NaN or infinite value would reach the controller copy and the page as such; the old
  // value stays instead.
  if (!std::isfinite(value)) return kResultFalse;
  return GuardedCall([&]() -> tresult {
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
  });
}

tresult PLUGIN_API IPluginVST3::getParamStringByValue(ParamID tag, ParamValue value, String128 text) {
  return GuardedCall([&] { return SingleComponentEffect::getParamStringByValue(tag, value, text); });
}

tresult PLUGIN_API IPluginVST3::getParamValueByString(ParamID tag, TChar* text, ParamValue& value) {
  return GuardedCall([&] { return SingleComponentEffect::getParamValueByString(tag, text, value); });
}

IPlugView* PLUGIN_API IPluginVST3::createView(FIDString name) {
  if (!HasUI() || !name || std::strcmp(name, ViewType::kEditor) != 0) return nullptr;
  return GuardedCallOr<IPlugView*>(nullptr, [&]() -> IPlugView* {
    auto* view = new IPluginVST3View(*this);
    mView = view;
    return view;
  });
}

tresult PLUGIN_API IPluginVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name) {
  return GuardedCall([&] { return GetProgramName(*this, listId, programIndex, name); });
}

tresult PLUGIN_API IPluginVST3::getMidiControllerAssignment(int32 busIndex, int16 channel, CtrlNumber controller,
                                                            ParamID& tag) {
  return GetMidiControllerAssignment(busIndex, channel, controller, tag);
}

tresult PLUGIN_API IPluginVST3::setChannelContextInfos(IAttributeList* list) {
  return GuardedCall([&] { return SetChannelContextInfos(list); });
}

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
  const bool changed = width != GetEditorWidth() || height != GetEditorHeight();
  // The new size is the view's own before the frame is asked: hosts call back into the view
  // (getSize, checkSizeConstraint, onSize) from within resizeView.
  const int oldWidth = GetEditorWidth(), oldHeight = GetEditorHeight();
  SetEditorSize(width, height);
  if (mView && changed && !mView->ResizeFrame(width, height)) {
    // The host kept the window as it was: so does the editor.
    SetEditorSize(oldWidth, oldHeight);
    return false;
  }
  return true;
}

void IPluginVST3::SetLatency(int samples) {
  IPluginProcessor::SetLatency(samples);
  if (componentHandler) componentHandler->restartComponent(kLatencyChanged);
}

}  // namespace oskel
