#pragma once

#include <atomic>
#include <vector>

#include "EqEngine.h"
#include "GainMatch.h"
#include "LevelMeters.h"
#include "Meters.h"

// The whole audio path of the plug-in: the engine, the gain match and the block buffers.
// The plug-in class drives it: OnParamChange from any thread, Reset from the main thread
// while no block is processed, Process on the audio thread (never allocates, locks or
// fails), GetMeters and CopyLatestRings from the user-interface thread.
namespace kyr {

class EqProcessor {
 public:
  EqProcessor();

  // Converts and stores one parameter's plain value (index 29 goes to the gain-match
  // switch; other indices outside 0..52 and non-finite values do nothing).
  void OnParamChange(int paramIdx, double plainValue);

  // Prepares the engine and the gain match for a sample rate and sizes every
  // block-size-dependent buffer for up to maxBlockFrames frames (512 when not positive). A
  // rate that is not a positive finite number keeps the previous rate. Main thread only.
  void Reset(double sampleRate, int maxBlockFrames);

  // Processes one block. inputs/outputs: per-channel 64-bit buffers; the block is stereo when
  // at least two channels are connected on both sides, otherwise mono (channel 0). Input and
  // output may be the same memory. A block longer than the prepared size is processed in
  // pieces of the prepared size.
  void Process(double* const* inputs, double* const* outputs, int nInConnected, int nOutConnected,
               int nFrames);

  Meters& GetMeters() { return mEngine.mMeters; }
  const Meters& GetMeters() const { return mEngine.mMeters; }

  // Loudness of the output, true peak of the input and the gain match's gain (any thread).
  LevelReadings GetLevels() const { return mLevels.Read(); }
  // Restarts the loudness measurement at the next block (any thread).
  void ResetLoudness() { mLevels.RequestLoudnessReset(); }

  // The newest 2048 samples of the input-mid and output-mid history rings, oldest first.
  void CopyLatestRings(double* inputMid2048, double* outputMid2048) const;

  // The rate of the last reset. The editor reads it on its own thread while a host may reset
  // on another, so it is kept apart from the engine's copy.
  double GetSampleRate() const { return mSampleRate.load(std::memory_order_relaxed); }
  EqEngine& Engine() { return mEngine; }
  GainMatch& GetGainMatch() { return mGainMatch; }

 private:
  void ProcessPiece(const double* inL, const double* inR, double* outL, double* outR, bool stereo,
                    int n);
  void ResizeBuffers(int frames);

  EqEngine mEngine;
  GainMatch mGainMatch;
  LevelMeters mLevels;
  std::atomic<double> mSampleRate{48000.0};
  int mCapacity = 0;
  std::vector<double> mInput[2];     // copy of the block's input (in-place hosts)
  std::vector<double> mFiltered[2];  // output of the LF Filter stage
};

}  // namespace kyr
