#include "LevelMeters.h"

#include <algorithm>
#include <cmath>

#include "Metering.h"

namespace kyr {

void LevelMeters::Prepare(double fs) {
  mLoudness.Prepare(fs);
  for (auto& h : mInputHistory) std::fill(std::begin(h), std::end(h), 0.0);
  mInputTruePeak.store(-120.0f, std::memory_order_relaxed);
}

void LevelMeters::Process(const double* inL, const double* inR, const double* outL, const double* outR, bool stereo,
                          int n, bool display, double gainMatchDb) {
  mLoudness.Process(outL, outR, stereo, n);
  mGainMatchDb.store(std::isfinite(gainMatchDb) ? static_cast<float>(gainMatchDb) : 0.0f, std::memory_order_relaxed);
  if (!inL || n <= 0) return;
  if (!display) {
    KeepTruePeakHistory(mInputHistory[0], inL, n);
    if (stereo) KeepTruePeakHistory(mInputHistory[1], inR, n);
    return;
  }
  double peak = TruePeakOfBlock(mInputHistory[0], inL, n);
  if (stereo) peak = std::max(peak, TruePeakOfBlock(mInputHistory[1], inR, n));
  double tp = peak > 1e-12 ? 20.0 * std::log10(peak) : -120.0;
  if (!std::isfinite(tp) || tp < -120.0) tp = -120.0;
  mInputTruePeak.store(static_cast<float>(tp), std::memory_order_relaxed);
}

LevelReadings LevelMeters::Read() const {
  constexpr auto relaxed = std::memory_order_relaxed;
  return {mLoudness.Momentary(), mLoudness.ShortTerm(), mLoudness.Integrated(), mInputTruePeak.load(relaxed),
          mGainMatchDb.load(relaxed)};
}

}  // namespace kyr
