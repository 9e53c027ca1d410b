#include "IPluginVST3ProcessorBase.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "IPluginVST3Parameter.h"
#include "StringConvert.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

namespace oskel {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr size_t kMidiQueueStep = 512;

// A controller value in 0..1 as a 7-bit MIDI data byte; out-of-range and NaN values clamp.
uint8_t To7Bit(double v) {
  if (!(v > 0.0)) return 0;
  return static_cast<uint8_t>(std::trunc(127.0 * std::min(v, 1.0)));
}

}  // namespace

IPluginVST3ProcessorBase::IPluginVST3ProcessorBase(const PluginConfig& config, IPluginAPIBase& plug)
    : IPluginProcessor(config, kAPIVST3), mPlug(plug) {
  mMidiOutputQueue.reserve(kMidiQueueStep);
  SetChannelConnections(kInput, 0, MaxNChannels(kInput), true);
  SetChannelConnections(kOutput, 0, MaxNChannels(kOutput), true);
  mMaxNInChans = MaxNChannelsForBus(kInput, 0);
  CreateLatencyDelay();
  SetBlockSize(512);
  mOffsetPtrs32.assign(static_cast<size_t>(std::max(MaxNChannels(kInput), MaxNChannels(kOutput))), nullptr);
  mOffsetPtrs64.assign(mOffsetPtrs32.size(), nullptr);
}

SpeakerArrangement IPluginVST3ProcessorBase::ArrangementForChannels(int nChannels) {
  switch (nChannels) {
    case 1: return SpeakerArr::kMono;
    case 2: return SpeakerArr::kStereo;
    case 3: return 0x7;
    case 4: return 0xF00000;
    case 5: return 0x37;
    case 6: return 0x3F;
    case 7: return 0xF7;
    case 8: return 0x63F;
    case 9: return 0x7C000F00000;
    case 10: return 0x300063F;
    case 16: return 0x3FFC000F00000;
    default: return 0;
  }
}

void IPluginVST3ProcessorBase::AddAudioBuses(SingleComponentEffect& component, ERoute dir, const IOConfig& config,
                                             int nBuses) const {
  for (int b = 0; b < nBuses; ++b) {
    std::string name;
    GetBusName(dir, b, nBuses, name);
    String128 wide;
    Utf8ToUtf16(name, wide, 128);
    const SpeakerArrangement arr = ArrangementForChannels(config.NChannels(dir, b));
    const BusType type = b == 0 ? kMain : kAux;
    const int32 flags = b == 0 ? BusInfo::kDefaultActive : 0;
    if (dir == kInput)
      component.addAudioInput(wide, arr, type, flags);
    else
      component.addAudioOutput(wide, arr, type, flags);
  }
}

void IPluginVST3ProcessorBase::CreateBuses(SingleComponentEffect& component) {
  if (NIOConfigs() > 0) {
    for (ERoute dir : {kInput, kOutput}) {
      int configIdx = 0;
      const int nBuses = MaxNBuses(dir, &configIdx);
      AddAudioBuses(component, dir, GetIOConfig(configIdx), nBuses);
    }
  }
  if (GetPluginType() == kMidiEffect && component.getBusCount(kAudio, Steinberg::Vst::kOutput) == 0)
    component.addAudioOutput(STR16("Dummy Output"), SpeakerArr::kEmpty, kMain, 0);
  if (DoesMidiIn()) component.addEventInput(STR16("MIDI Input"), 1, kMain, BusInfo::kDefaultActive);
  if (DoesMidiOut()) component.addEventOutput(STR16("MIDI Output"), 1, kMain, BusInfo::kDefaultActive);
}

tresult IPluginVST3ProcessorBase::SetBusArrangements(SingleComponentEffect& component, SpeakerArrangement* inputs,
                                                      int32 numIns, SpeakerArrangement* outputs, int32 numOuts) {
  if (mPlug.GetHost() == kHostArdour || mPlug.GetHost() == kHostMixbus) return kResultTrue;

  SetChannelConnections(kInput, 0, MaxNChannels(kInput), false);
  SetChannelConnections(kOutput, 0, MaxNChannels(kOutput), false);

  if (numIns < 0 || numOuts < 0 || numIns > MaxNBuses(kInput) || numOuts > MaxNBuses(kOutput)) return kResultFalse;
  if ((numIns > 0 && !inputs) || (numOuts > 0 && !outputs)) return kResultFalse;

  std::vector<int> inCounts, outCounts;
  for (int32 i = 0; i < numIns; ++i) inCounts.push_back(std::popcount(static_cast<uint64>(inputs[i])));
  for (int32 i = 0; i < numOuts; ++i) outCounts.push_back(std::popcount(static_cast<uint64>(outputs[i])));
  const int configIdx = GetIOConfigWithChanCounts(inCounts, outCounts);
  if (configIdx < 0) return kResultFalse;

  component.removeAudioBusses();
  const IOConfig& config = GetIOConfig(configIdx);
  for (ERoute dir : {kInput, kOutput}) AddAudioBuses(component, dir, config, config.NBuses(dir));
  return kResultTrue;
}

tresult IPluginVST3ProcessorBase::SetupProcessing(const ProcessSetup& setup) {
  if (setup.symbolicSampleSize != kSample32 && setup.symbolicSampleSize != kSample64) return kResultFalse;
  // A rate or block size no engine can run at is refused rather than turned into NaN
  // coefficients or a zero-length buffer.
  if (!(setup.sampleRate > 0.0) || !std::isfinite(setup.sampleRate) || setup.maxSamplesPerBlock < 1)
    return kResultFalse;
  SetSampleRate(setup.sampleRate);
  SetBlockSize(setup.maxSamplesPerBlock);
  SetRenderingOffline(setup.processMode == kOffline);

  const size_t queued = mMidiOutputQueue.size();
  auto roundUp = [](size_t n) { return std::max<size_t>(1, (n + kMidiQueueStep - 1) / kMidiQueueStep) * kMidiQueueStep; };
  const size_t capacity = std::max(roundUp(static_cast<size_t>(setup.maxSamplesPerBlock)), roundUp(queued));
  if (mMidiOutputQueue.capacity() < capacity) mMidiOutputQueue.reserve(capacity);

  OnReset();
  return kResultTrue;
}

void IPluginVST3ProcessorBase::PrepareProcessContext(ProcessData& data, const ProcessSetup& setup) {
  if (data.processContext) mProcessContext = *data.processContext;
  const ProcessContext& c = mProcessContext;
  mTransport.tempo = c.tempo;
  mTransport.samplePos = (c.state & ProcessContext::kProjectTimeMusicValid) ? static_cast<double>(c.projectTimeSamples) : -1.0;
  mTransport.ppqPos = c.projectTimeMusic;
  mTransport.lastBar = c.barPositionMusic;
  mTransport.cycleStart = c.cycleStartMusic;
  mTransport.cycleEnd = c.cycleEndMusic;
  mTransport.numerator = c.timeSigNumerator;
  mTransport.denominator = c.timeSigDenominator;
  mTransport.transportIsRunning = (c.state & ProcessContext::kPlaying) != 0;
  mTransport.transportLoopEnabled = (c.state & ProcessContext::kCycleActive) != 0;
  SetRenderingOffline(setup.processMode == kOffline);
}

void IPluginVST3ProcessorBase::ProcessParameterChanges(ProcessData& data) {
  IParameterChanges* changes = data.inputParameterChanges;
  if (!changes) return;
  const int32 nQueues = changes->getParameterCount();
  for (int32 i = 0; i < nQueues; ++i) {
    IParamValueQueue* queue = changes->getParameterData(i);
    if (!queue) continue;
    const int32 nPoints = queue->getPointCount();
    int32 offset = 0;
    ParamValue value = 0.0;
    if (nPoints <= 0 || queue->getPoint(nPoints - 1, offset, value) != kResultTrue) continue;
    // A NaN or infinite point is no value: the parameter keeps the one it has.
    if (!std::isfinite(value)) continue;
    const ParamID id = queue->getParameterId();
    if (id == kBypassParamId) {
      const bool bypassed = value > 0.5;
      if (bypassed != GetBypassed()) SetBypassed(bypassed);
    } else if (id < static_cast<ParamID>(mPlug.NParams())) {
      const int idx = static_cast<int>(id);
      mPlug.GetParam(idx)->SetNormalized(value);
      mPlug.OnParamChange(idx, kHost, offset);
    } else if (id >= kMidiCCParamIdBase) {
      const uint32 channel = (id - kMidiCCParamIdBase) / 130;
      const uint32 controller = (id - kMidiCCParamIdBase) % 130;
      if (channel >= 16) continue;
      MidiMessage msg;
      msg.offset = offset;
      if (controller == 128) {
        msg.status = static_cast<uint8_t>(0xD0 + channel);
        msg.data1 = To7Bit(value);
      } else if (controller == 129) {
        const double v = std::isfinite(value) ? value : 0.5;
        const int bend = std::clamp(8192 + static_cast<int>(std::trunc((2.0 * std::clamp(v, 0.0, 1.0) - 1.0) * 8192.0)), 0, 16383);
        msg.status = static_cast<uint8_t>(0xE0 + channel);
        msg.data1 = static_cast<uint8_t>(bend & 0x7F);
        msg.data2 = static_cast<uint8_t>((bend >> 7) & 0x7F);
      } else {
        msg.status = static_cast<uint8_t>(0xB0 + channel);
        msg.data1 = static_cast<uint8_t>(controller);
        msg.data2 = To7Bit(value);
      }
      mPlug.PushMidiFromProcessor(msg);
      ProcessMidiMsg(msg);
    }
  }
}

void IPluginVST3ProcessorBase::ProcessMidiIn(ProcessData& data) {
  if (!DoesMidiIn()) return;
  if (IEventList* events = data.inputEvents) {
    const int32 n = events->getEventCount();
    for (int32 i = 0; i < n; ++i) {
      Event e{};
      if (events->getEvent(i, e) != kResultOk) continue;
      MidiMessage msg;
      msg.offset = e.sampleOffset;
      switch (e.type) {
        case Event::kNoteOnEvent:
          msg.status = static_cast<uint8_t>(0x90 + (e.noteOn.channel & 0x0F));
          msg.data1 = static_cast<uint8_t>(e.noteOn.pitch & 0x7F);
          msg.data2 = To7Bit(e.noteOn.velocity);
          break;
        case Event::kNoteOffEvent:
          msg.status = static_cast<uint8_t>(0x80 + (e.noteOff.channel & 0x0F));
          msg.data1 = static_cast<uint8_t>(e.noteOff.pitch & 0x7F);
          break;
        case Event::kPolyPressureEvent:
          msg.status = static_cast<uint8_t>(0xA0 + (e.polyPressure.channel & 0x0F));
          msg.data1 = static_cast<uint8_t>(e.polyPressure.pitch & 0x7F);
          msg.data2 = To7Bit(e.polyPressure.pressure);
          break;
        default:
          continue;
      }
      ProcessMidiMsg(msg);
      mPlug.PushMidiFromProcessor(msg);
    }
  }
  MidiMessage msg;
  while (mPlug.PopMidiFromEditor(msg)) ProcessMidiMsg(msg);
}

void IPluginVST3ProcessorBase::AttachBus(ERoute direction, int first, const AudioBusBuffers& bus, int32 sampleSize,
                                         int offset, int nFrames) {
  const int nChannels = std::max<int32>(bus.numChannels, 0);
  const size_t n = std::min(static_cast<size_t>(nChannels), mOffsetPtrs32.size());
  if (sampleSize == kSample32) {
    float* const* host = bus.channelBuffers32;
    for (size_t c = 0; c < n; ++c) mOffsetPtrs32[c] = host && host[c] ? host[c] + offset : nullptr;
    AttachBuffers(direction, first, nChannels, host ? mOffsetPtrs32.data() : nullptr, nFrames);
  } else {
    double* const* host = bus.channelBuffers64;
    for (size_t c = 0; c < n; ++c) mOffsetPtrs64[c] = host && host[c] ? host[c] + offset : nullptr;
    AttachBuffers(direction, first, nChannels, host ? mOffsetPtrs64.data() : nullptr, nFrames);
  }
}

void IPluginVST3ProcessorBase::AttachBlock(ProcessData& data, const BusList& inputBuses, const BusList& outputBuses,
                                           int offset, int nFrames) {
  const int32 sampleSize = data.symbolicSampleSize;
  if (data.numInputs > 0 && data.inputs) {
    SetChannelConnections(kInput, 0, MaxNChannels(kInput), false);
    if (inputBuses.size() < 2) {
      SetChannelConnections(kInput, 0, data.inputs[0].numChannels, true);
      AttachBus(kInput, 0, data.inputs[0], sampleSize, offset, nFrames);
    } else {
      const bool sideActive = data.numInputs > 1 && inputBuses[1]->isActive();
      if (sideActive) {
        mSidechainActive = true;
        SetChannelConnections(kInput, mMaxNInChans, data.inputs[1].numChannels, true);
        AttachBus(kInput, mMaxNInChans, data.inputs[1], sampleSize, offset, nFrames);
      } else if (mSidechainActive) {
        ZeroScratchBuffers();
        mSidechainActive = false;
      }
      SetChannelConnections(kInput, 0, data.inputs[0].numChannels, true);
      AttachBus(kInput, 0, data.inputs[0], sampleSize, offset, nFrames);
    }
  }

  if (data.numOutputs > 0 && data.outputs) {
    int k = 0;
    for (int32 b = 0; b < data.numOutputs; ++b) {
      const AudioBusBuffers& bus = data.outputs[b];
      const int n = std::max<int32>(bus.numChannels, 0);
      const bool active = b < static_cast<int32>(outputBuses.size()) && outputBuses[static_cast<size_t>(b)]->isActive();
      SetChannelConnections(kOutput, k, n, active);
      SetChannelConnections(kOutput, k + n, MaxNChannels(kOutput) - (k + n), false);
      AttachBus(kOutput, k, bus, sampleSize, offset, nFrames);
      k += n;
    }
  }
}

void IPluginVST3ProcessorBase::ProcessAudio(ProcessData& data, const BusList& inputBuses, const BusList& outputBuses) {
  const int32 sampleSize = data.symbolicSampleSize;
  if (sampleSize != kSample32 && sampleSize != kSample64) return;
  const int total = std::max<int32>(data.numSamples, 0);
  // A host block longer than the size announced in setupProcessing is processed in pieces,
  // so that no scratch buffer is overrun.
  const int chunk = std::max(GetBlockSize(), 1);
  int done = 0;
  do {
    const int n = std::min(chunk, total - done);
    AttachBlock(data, inputBuses, outputBuses, done, n);
    if (GetBypassed()) {
      if (sampleSize == kSample32)
        PassThroughBuffers(0.0f, n);
      else
        PassThroughBuffers(0.0, n);
    } else {
      if (sampleSize == kSample32)
        ProcessBuffers(0.0f, n);
      else
        ProcessBuffers(0.0, n);
    }
    done += n;
  } while (done < total);
}

bool IPluginVST3ProcessorBase::SendMidiMsg(const MidiMessage& msg) {
  // The queue is sized in setupProcessing; a full queue drops the message rather than grow
  // on the audio thread.
  if (mMidiOutputQueue.size() >= mMidiOutputQueue.capacity()) return false;
  auto pos = std::upper_bound(mMidiOutputQueue.begin(), mMidiOutputQueue.end(), msg,
                              [](const MidiMessage& a, const MidiMessage& b) { return a.offset < b.offset; });
  mMidiOutputQueue.insert(pos, msg);
  return true;
}

void IPluginVST3ProcessorBase::ProcessMidiOut(ProcessData& data) {
  if (!DoesMidiOut()) return;
  if (IEventList* out = data.outputEvents) {
    for (const MidiMessage& msg : mMidiOutputQueue) {
      Event e{};
      e.busIndex = 0;
      e.sampleOffset = msg.offset;
      const uint8_t kind = msg.status & 0xF0;
      const int16 channel = static_cast<int16>(msg.status & 0x0F);
      if (kind == 0x90) {
        e.type = Event::kNoteOnEvent;
        e.noteOn = {channel, static_cast<int16>(msg.data1), 0.0f, msg.data2 / 127.0f, 0, -1};
      } else if (kind == 0x80) {
        e.type = Event::kNoteOffEvent;
        e.noteOff = {channel, static_cast<int16>(msg.data1), msg.data2 / 127.0f, -1, 0.0f};
      } else if (kind == 0xA0) {
        e.type = Event::kPolyPressureEvent;
        e.polyPressure = {channel, static_cast<int16>(msg.data1), msg.data2 / 127.0f, -1};
      } else {
        continue;
      }
      out->addEvent(e);
    }
  }
  mMidiOutputQueue.clear();
}

}  // namespace oskel
