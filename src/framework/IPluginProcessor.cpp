#include "IPluginProcessor.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace oskel {

namespace {

// Sample conversion between the host's 32-bit and the plug-in's 64-bit buffers, four at a
// time so that the compiler turns each group into vector conversions.
template <typename From, typename To>
void ConvertSamples(const From* from, To* to, int n) {
  int s = 0;
  for (; s + 4 <= n; s += 4) {
    const To a = static_cast<To>(from[s]), b = static_cast<To>(from[s + 1]);
    const To c = static_cast<To>(from[s + 2]), d = static_cast<To>(from[s + 3]);
    to[s] = a;
    to[s + 1] = b;
    to[s + 2] = c;
    to[s + 3] = d;
  }
  for (; s < n; ++s) to[s] = static_cast<To>(from[s]);
}

}  // namespace

IPluginProcessor::IPluginProcessor(const PluginConfig& config, EAPI /*api*/)
    : mPlugType(config.plugType),
      mDoesMidiIn(config.plugDoesMidiIn),
      mDoesMidiOut(config.plugDoesMidiOut),
      mDoesMPE(config.plugDoesMPE),
      mLatency(config.latency) {
  mIOConfigs = ParseChannelIOStr(config.channelIOStr);
  int maxChannels[2] = {0, 0};
  for (const IOConfig& c : mIOConfigs)
    for (ERoute dir : {kInput, kOutput}) maxChannels[dir] = std::max(maxChannels[dir], c.totalChannels[dir]);

  for (ERoute dir : {kInput, kOutput}) {
    const size_t n = static_cast<size_t>(maxChannels[dir]);
    mData[dir].assign(n, nullptr);
    mChannels[dir].resize(n);
    for (size_t i = 0; i < n; ++i) {
      Channel& ch = mChannels[dir][i];
      ch.dataSlot = &mData[dir][i];
      ch.scratch.assign(1, 0.0);
      *ch.dataSlot = ch.scratch.data();
      char label[32];
      std::snprintf(label, sizeof label, "%s %zu", dir == kInput ? "input" : "output", i + 1);
      ch.label = label;
    }
  }
}

IPluginProcessor::~IPluginProcessor() = default;

void IPluginProcessor::CopyInputsToOutputs(int nFrames) {
  const int nIn = MaxNChannels(kInput);
  for (int i = 0; i < MaxNChannels(kOutput); ++i) {
    double* out = mData[kOutput][static_cast<size_t>(i)];
    if (i < nIn && mChannels[kInput][static_cast<size_t>(i)].connected) {
      const double* in = mData[kInput][static_cast<size_t>(i)];
      if (in != out) std::memmove(out, in, sizeof(double) * static_cast<size_t>(nFrames));
    } else {
      std::fill(out, out + nFrames, 0.0);
    }
  }
}

void IPluginProcessor::ProcessBlock(double** /*inputs*/, double** /*outputs*/, int nFrames) {
  CopyInputsToOutputs(nFrames);
}

void IPluginProcessor::GetBusName(ERoute direction, int busIdx, int nBuses, std::string& name) const {
  char buf[33];
  if (direction == kInput) {
    if (nBuses == 1)
      name = "Input";
    else if (nBuses == 2)
      name = busIdx == 0 ? "Main" : "Aux";
    else {
      std::snprintf(buf, sizeof buf, "Input %i", busIdx);
      name = buf;
    }
  } else {
    if (nBuses == 1)
      name = "Output";
    else {
      std::snprintf(buf, sizeof buf, "Output %i", busIdx);
      name = buf;
    }
  }
}

void IPluginProcessor::SetLatency(int samples) {
  mLatency = samples;
  if (mLatencyDelay) {
    mLatencyDelay->length = std::max(samples, 0);
    mLatencyDelay->writePos = 0;
    mLatencyDelay->buffer.assign(static_cast<size_t>(mLatencyDelay->length) * static_cast<size_t>(mLatencyDelay->nInputs), 0.0);
  }
}

void IPluginProcessor::CreateLatencyDelay() {
  if (MaxNChannels(kInput) < 1) return;
  mLatencyDelay = std::make_unique<LatencyDelay>();
  mLatencyDelay->nInputs = MaxNChannels(kInput);
  mLatencyDelay->nOutputs = MaxNChannels(kOutput);
  SetLatency(mLatency);
}

void IPluginProcessor::SetBlockSize(int blockSize) {
  if (blockSize == mBlockSize) return;
  // Scratch buffers always hold at least one sample so that every data slot is valid.
  const size_t n = static_cast<size_t>(std::max(blockSize, 1));
  for (ERoute dir : {kInput, kOutput}) {
    for (Channel& ch : mChannels[dir]) {
      const bool slotOnScratch = *ch.dataSlot == ch.scratch.data();
      ch.scratch.assign(n, 0.0);
      if (slotOnScratch || !ch.connected) *ch.dataSlot = ch.scratch.data();
    }
  }
  mBlockSize = blockSize;
}

int IPluginProcessor::NChannelsConnected(ERoute direction) const {
  int n = 0;
  for (const Channel& ch : mChannels[direction]) n += ch.connected ? 1 : 0;
  return n;
}

bool IPluginProcessor::IsChannelConnected(ERoute direction, int chIdx) const {
  return chIdx >= 0 && chIdx < MaxNChannels(direction) && mChannels[direction][static_cast<size_t>(chIdx)].connected;
}

int IPluginProcessor::MaxNBuses(ERoute direction, int* configIdx) const {
  int maxBuses = 0;
  int which = 0;
  for (int i = 0; i < NIOConfigs(); ++i) {
    const int n = mIOConfigs[static_cast<size_t>(i)].NBuses(direction);
    if (n >= maxBuses) {
      maxBuses = n;
      which = i;
    }
  }
  if (configIdx) *configIdx = which;
  return maxBuses;
}

int IPluginProcessor::MaxNChannelsForBus(ERoute direction, int busIdx) const {
  if (!mIOConfigs.empty() && mIOConfigs.front().ContainsWildcard(direction)) return -1;
  int maxChannels = 0;
  for (const IOConfig& c : mIOConfigs) maxChannels = std::max(maxChannels, c.NChannels(direction, busIdx));
  return maxChannels;
}

int IPluginProcessor::GetIOConfigWithChanCounts(const std::vector<int>& inputBuses,
                                                const std::vector<int>& outputBuses) const {
  for (int i = 0; i < NIOConfigs(); ++i) {
    const IOConfig& c = mIOConfigs[static_cast<size_t>(i)];
    auto matches = [&c](ERoute dir, const std::vector<int>& counts) {
      if (c.NBuses(dir) != static_cast<int>(counts.size())) return false;
      for (int b = 0; b < c.NBuses(dir); ++b)
        if (c.NChannels(dir, b) != counts[static_cast<size_t>(b)]) return false;
      return true;
    };
    if (matches(kInput, inputBuses) && matches(kOutput, outputBuses)) return i;
  }
  return -1;
}

void IPluginProcessor::SetChannelConnections(ERoute direction, int first, int count, bool connected) {
  const int end = std::min(first + count, MaxNChannels(direction));
  for (int i = std::max(first, 0); i < end; ++i) {
    Channel& ch = mChannels[direction][static_cast<size_t>(i)];
    ch.connected = connected;
    if (!connected) *ch.dataSlot = ch.scratch.data();
  }
}

void IPluginProcessor::AttachBuffers(ERoute direction, int first, int count, float* const* buffers, int nFrames) {
  const int end = std::min(first + count, MaxNChannels(direction));
  int next = 0;
  for (int i = std::max(first, 0); i < end; ++i) {
    Channel& ch = mChannels[direction][static_cast<size_t>(i)];
    if (!ch.connected) continue;
    float* host = buffers ? buffers[next] : nullptr;
    ++next;
    *ch.dataSlot = ch.scratch.data();
    if (direction == kInput) {
      // A missing host buffer reads as silence.
      if (host)
        ConvertSamples(host, ch.scratch.data(), nFrames);
      else
        std::fill(ch.scratch.begin(), ch.scratch.begin() + nFrames, 0.0);
    } else {
      ch.incomingHost = host;
    }
  }
}

void IPluginProcessor::AttachBuffers(ERoute direction, int first, int count, double* const* buffers, int nFrames) {
  const int end = std::min(first + count, MaxNChannels(direction));
  int next = 0;
  for (int i = std::max(first, 0); i < end; ++i) {
    Channel& ch = mChannels[direction][static_cast<size_t>(i)];
    if (!ch.connected) continue;
    double* host = buffers ? buffers[next] : nullptr;
    ++next;
    ch.incomingHost = nullptr;
    if (host) {
      *ch.dataSlot = host;
    } else {
      // A missing host buffer: inputs read silence, outputs go to the scratch buffer.
      *ch.dataSlot = ch.scratch.data();
      if (direction == kInput) std::fill(ch.scratch.begin(), ch.scratch.begin() + nFrames, 0.0);
    }
  }
}

void IPluginProcessor::ConvertOutputsToHost(int nFrames) {
  for (Channel& ch : mChannels[kOutput]) {
    if (!ch.connected || !ch.incomingHost) continue;
    const double* src = *ch.dataSlot;
    ConvertSamples(src, ch.incomingHost, nFrames);
  }
}

void IPluginProcessor::ProcessBuffers(float, int nFrames) {
  ProcessBlock(mData[kInput].data(), mData[kOutput].data(), nFrames);
  ConvertOutputsToHost(nFrames);
}

void IPluginProcessor::ProcessBuffers(double, int nFrames) {
  ProcessBlock(mData[kInput].data(), mData[kOutput].data(), nFrames);
}

void IPluginProcessor::PassThroughBuffers(double, int nFrames) {
  LatencyDelay* d = mLatencyDelay.get();
  if (mLatency > 0 && d && d->length > 0) {
    const int nCh = std::min({d->nInputs, d->nOutputs, MaxNChannels(kInput), MaxNChannels(kOutput)});
    for (int s = 0; s < nFrames; ++s) {
      for (int ch = 0; ch < nCh; ++ch) {
        double& stored = d->buffer[static_cast<size_t>(d->writePos) * static_cast<size_t>(d->nInputs) + static_cast<size_t>(ch)];
        // Read the input before writing the output: they may be the same host buffer.
        const double in = mData[kInput][static_cast<size_t>(ch)][s];
        mData[kOutput][static_cast<size_t>(ch)][s] = stored;
        stored = in;
      }
      d->writePos = (d->writePos + 1) % d->length;
    }
    return;
  }
  CopyInputsToOutputs(nFrames);
}

void IPluginProcessor::PassThroughBuffers(float, int nFrames) {
  PassThroughBuffers(0.0, nFrames);
  ConvertOutputsToHost(nFrames);
}

void IPluginProcessor::ZeroScratchBuffers() {
  for (ERoute dir : {kInput, kOutput})
    for (Channel& ch : mChannels[dir]) std::fill(ch.scratch.begin(), ch.scratch.end(), 0.0);
}

}  // namespace oskel
