#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "IOConfig.h"
#include "MidiMessage.h"
#include "PluginConfig.h"
#include "TransportInfo.h"

namespace oskel {

// The audio side of the plug-in object: the channel I/O configurations it accepts, one
// channel record per possible input and output channel, the connection of the host's buffers
// to them for each block, conversion between the host's 32-bit and the plug-in's 64-bit
// samples, and the call of the plug-in's ProcessBlock (or pass-through while bypassed).
//
// Threads: buffer operations run on the audio thread inside the host's process call; the
// sample rate and block size change only on the main thread while the host is not processing.
// Invariant: ProcessBuffers/PassThroughBuffers are never given more frames than the block size
// (the VST 3 binding splits longer host blocks).
class IPluginProcessor {
 public:
  IPluginProcessor(const PluginConfig& config, EAPI api);
  virtual ~IPluginProcessor();
  IPluginProcessor(const IPluginProcessor&) = delete;
  IPluginProcessor& operator=(const IPluginProcessor&) = delete;

  // The plug-in's audio callback; audio thread, from the host's process call. Default: copies
  // each input to the output of the same index and zeroes the outputs that have no input.
  virtual void ProcessBlock(double** inputs, double** outputs, int nFrames);
  // Audio thread, before the block's ProcessBlock: events from the host and from the editor.
  virtual void ProcessMidiMsg(const MidiMessage& msg) { SendMidiMsg(msg); }
  // Main thread, while the host is not processing (processing set up, activation ended).
  virtual void OnReset() {}
  // Main thread, when the host activates or deactivates the component.
  virtual void OnActivate(bool /*active*/) {}
  // Audio thread (from ProcessMidiMsg or ProcessBlock).
  virtual bool SendMidiMsg(const MidiMessage& /*msg*/) { return false; }
  // Main thread, when the buses are published to the host.
  virtual void GetBusName(ERoute direction, int busIdx, int nBuses, std::string& name) const;

  // Main thread (from OnReset); the binding tells the host.
  virtual void SetLatency(int samples);
  void SetTailSize(int samples) { mTailSize = samples; }
  void SetBlockSize(int blockSize);
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  void SetBypassed(bool bypassed) { mBypassed.store(bypassed, std::memory_order_relaxed); }
  void SetRenderingOffline(bool offline) { mRenderingOffline = offline; }

  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  int GetTailSize() const { return mTailSize; }
  bool GetBypassed() const { return mBypassed.load(std::memory_order_relaxed); }
  bool GetRenderingOffline() const { return mRenderingOffline; }
  const TransportInfo& GetTransport() const { return mTransport; }
  int GetPluginType() const { return mPlugType; }
  bool DoesMidiIn() const { return mDoesMidiIn; }
  bool DoesMidiOut() const { return mDoesMidiOut; }

  int NIOConfigs() const { return static_cast<int>(mIOConfigs.size()); }
  const IOConfig& GetIOConfig(int idx) const { return mIOConfigs[static_cast<size_t>(idx)]; }
  int NChannelsConnected(ERoute direction) const;
  int MaxNChannels(ERoute direction) const { return static_cast<int>(mChannels[direction].size()); }
  // The largest bus count of that direction over all configurations; configIdx receives the
  // configuration that has it (the later one on a tie).
  int MaxNBuses(ERoute direction, int* configIdx = nullptr) const;
  // The largest channel count of bus busIdx over all configurations; -1 when the first
  // configuration has a wildcard bus in that direction.
  int MaxNChannelsForBus(ERoute direction, int busIdx) const;
  int GetIOConfigWithChanCounts(const std::vector<int>& inputBuses, const std::vector<int>& outputBuses) const;
  bool IsChannelConnected(ERoute direction, int chIdx) const;

  void SetChannelConnections(ERoute direction, int first, int count, bool connected);
  void AttachBuffers(ERoute direction, int first, int count, float* const* buffers, int nFrames);
  void AttachBuffers(ERoute direction, int first, int count, double* const* buffers, int nFrames);
  void PassThroughBuffers(float, int nFrames);
  void PassThroughBuffers(double, int nFrames);
  void ProcessBuffers(float, int nFrames);
  void ProcessBuffers(double, int nFrames);
  void ZeroScratchBuffers();

 protected:
  TransportInfo mTransport;
  // Creates the bypass delay line once there are input channels (called by the API binding).
  void CreateLatencyDelay();

 private:
  struct Channel {
    bool connected = false;
    double** dataSlot = nullptr;  // this channel's entry in the pointer array
    float* incomingHost = nullptr;  // host buffer of a 32-bit output
    std::vector<double> scratch;
    std::string label;
  };

  struct LatencyDelay {
    int nInputs = 0;
    int nOutputs = 0;
    int writePos = 0;
    int length = 0;
    std::vector<double> buffer;  // length x nInputs
  };

  void CopyInputsToOutputs(int nFrames);
  void ConvertOutputsToHost(int nFrames);

  int mPlugType = kEffect;
  bool mDoesMidiIn = false;
  bool mDoesMidiOut = false;
  bool mDoesMPE = false;
  int mLatency = 0;
  double mSampleRate = 48000.0;
  int mBlockSize = 0;
  int mTailSize = 0;
  std::atomic<bool> mBypassed{false};  // written on the audio thread, read by state saves
  bool mRenderingOffline = false;
  std::vector<IOConfig> mIOConfigs;
  std::vector<double*> mData[2];
  std::vector<Channel> mChannels[2];
  std::unique_ptr<LatencyDelay> mLatencyDelay;
};

}  // namespace oskel
