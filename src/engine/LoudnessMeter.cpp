#include "LoudnessMeter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kyr {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Loudness of a channel-summed mean square; -inf for silence.
double Lufs(double energy) { return -0.691 + 10.0 * std::log10(energy); }

float Reading(double lufs) {
  return std::isfinite(lufs) && lufs > LoudnessMeter::kFloorLufs ? static_cast<float>(lufs)
                                                                  : static_cast<float>(LoudnessMeter::kFloorLufs);
}

// Weights one channel's block and returns the sum of its squares.
double WeightedSquares(BiquadSection& shelf, BiquadSection& highPass, int ch, const double* x, int n) {
  const double sb0 = shelf.b0, sb1 = shelf.b1, sb2 = shelf.b2, sa1 = shelf.a1, sa2 = shelf.a2;
  const double hb0 = highPass.b0, hb1 = highPass.b1, hb2 = highPass.b2, ha1 = highPass.a1, ha2 = highPass.a2;
  double s1 = shelf.s1[ch], s2 = shelf.s2[ch], h1 = highPass.s1[ch], h2 = highPass.s2[ch];
  double sum = 0.0;
  for (int i = 0; i < n; ++i) {
    const double u = sb0 * x[i] + s1;
    s1 = sb1 * x[i] - sa1 * u + s2;
    s2 = sb2 * x[i] - sa2 * u;
    const double y = hb0 * u + h1;
    h1 = hb1 * u - ha1 * y + h2;
    h2 = hb2 * u - ha2 * y;
    sum += y * y;
  }
  shelf.s1[ch] = s1;
  shelf.s2[ch] = s2;
  highPass.s1[ch] = h1;
  highPass.s2[ch] = h2;
  return sum;
}

}  // namespace

void DesignKWeighting(BiquadSection& shelf, BiquadSection& highPass, double fs) {
  // Analogue prototypes whose bilinear transforms at 48 kHz are the standard's two stages.
  constexpr double kShelfHz = 1681.974450955533, kShelfDb = 3.999843853973347, kShelfQ = 0.7071752369554196;
  constexpr double kHighPassHz = 38.13547087602444, kHighPassQ = 0.5003270373238773;

  double k = std::tan(kPi * kShelfHz / fs);
  const double vh = std::pow(10.0, kShelfDb / 20.0);
  const double vb = std::pow(vh, 0.4996667741545416);
  double a0 = 1.0 + k / kShelfQ + k * k;
  shelf.b0 = (vh + vb * k / kShelfQ + k * k) / a0;
  shelf.b1 = 2.0 * (k * k - vh) / a0;
  shelf.b2 = (vh - vb * k / kShelfQ + k * k) / a0;
  shelf.a1 = 2.0 * (k * k - 1.0) / a0;
  shelf.a2 = (1.0 - k / kShelfQ + k * k) / a0;

  // The high-pass keeps the numerator 1, -2, 1 as published (its gain in the pass band is
  // slightly above 1, which the -0.691 offset accounts for).
  k = std::tan(kPi * kHighPassHz / fs);
  a0 = 1.0 + k / kHighPassQ + k * k;
  highPass.b0 = 1.0;
  highPass.b1 = -2.0;
  highPass.b2 = 1.0;
  highPass.a1 = 2.0 * (k * k - 1.0) / a0;
  highPass.a2 = (1.0 - k / kHighPassQ + k * k) / a0;
}

LoudnessMeter::LoudnessMeter()
    : mBinEnergy(std::make_unique<double[]>(kBins)), mBinCount(std::make_unique<uint32_t[]>(kBins)) {
  Prepare(48000.0);
}

void LoudnessMeter::Prepare(double fs) {
  if (!(fs > 0.0) || !std::isfinite(fs)) return;
  DesignKWeighting(mShelf, mHighPass, fs);
  ClearStates(mShelf);
  ClearStates(mHighPass);
  mHopSum = 0.0;
  mHopFill = 0;
  if (fs != mFs) {
    mFs = fs;
    mHopLength = std::max(1, static_cast<int>(std::lround(0.1 * fs)));
    ClearMeasurement();
  }
}

void LoudnessMeter::ClearMeasurement() {
  mHopSum = 0.0;
  mHopFill = 0;
  std::fill(std::begin(mHops), std::end(mHops), 0.0);
  mHopNext = 0;
  mHopsDone = 0;
  if (mHighBin >= mLowBin) {
    const size_t count = static_cast<size_t>(mHighBin - mLowBin + 1);
    std::memset(mBinEnergy.get() + mLowBin, 0, count * sizeof(double));
    std::memset(mBinCount.get() + mLowBin, 0, count * sizeof(uint32_t));
  }
  mLowBin = kBins;
  mHighBin = -1;
  mGatedEnergy = 0.0;
  mGatedCount = 0;
  constexpr float floor = static_cast<float>(kFloorLufs);
  mMomentary.store(floor, std::memory_order_relaxed);
  mShortTerm.store(floor, std::memory_order_relaxed);
  mIntegrated.store(floor, std::memory_order_relaxed);
}

void LoudnessMeter::Process(const double* left, const double* right, bool stereo, int n) {
  if (mResetRequested.exchange(0, std::memory_order_relaxed) != 0) ClearMeasurement();
  if (!left || n <= 0) return;
  if (!right) stereo = false;
  int i = 0;
  while (i < n) {
    const int m = std::min(n - i, mHopLength - mHopFill);
    mHopSum += WeightedSquares(mShelf, mHighPass, 0, left + i, m);
    if (stereo) mHopSum += WeightedSquares(mShelf, mHighPass, 1, right + i, m);
    mHopFill += m;
    i += m;
    if (mHopFill == mHopLength) EndHop();
  }
}

void LoudnessMeter::EndHop() {
  double sum = mHopSum;
  if (!std::isfinite(sum)) {
    // A non-finite sample would poison every later block: the step counts as silence and
    // the weighting starts again from rest.
    sum = 0.0;
    ClearStates(mShelf);
    ClearStates(mHighPass);
  }
  mHopSum = 0.0;
  mHopFill = 0;
  mHops[mHopNext] = sum;
  mHopNext = (mHopNext + 1) % kShortTermHops;
  ++mHopsDone;
  if (mHopsDone < kBlockHops) return;

  // The newest hops, newest first, from the ring.
  auto recent = [this](int count) {
    double total = 0.0;
    for (int j = 1; j <= count; ++j) total += mHops[(mHopNext - j + kShortTermHops) % kShortTermHops];
    return total / (static_cast<double>(count) * mHopLength);
  };
  const double block = recent(kBlockHops);
  mMomentary.store(Reading(Lufs(block)), std::memory_order_relaxed);
  // Until 3 s have passed, the short-term value covers what there is.
  const int shortHops = static_cast<int>(std::min<int64_t>(mHopsDone, kShortTermHops));
  mShortTerm.store(Reading(Lufs(recent(shortHops))), std::memory_order_relaxed);
  AddBlock(block);
  mIntegrated.store(Reading(IntegratedLufs()), std::memory_order_relaxed);
}

void LoudnessMeter::AddBlock(double energy) {
  const double lufs = Lufs(energy);
  if (!(lufs > kAbsoluteGate)) return;
  const int bin = static_cast<int>(std::min<double>((lufs - kAbsoluteGate) / kBinLu, kBins - 1));
  mBinEnergy[bin] += energy;
  ++mBinCount[bin];
  mLowBin = std::min(mLowBin, bin);
  mHighBin = std::max(mHighBin, bin);
  mGatedEnergy += energy;
  ++mGatedCount;
}

double LoudnessMeter::IntegratedLufs() const {
  if (mGatedCount == 0) return kFloorLufs;
  const double relativeGate = Lufs(mGatedEnergy / static_cast<double>(mGatedCount)) - 10.0;
  // The bin holding the threshold is counted in whole.
  const int first = std::max(mLowBin, static_cast<int>(std::floor((relativeGate - kAbsoluteGate) / kBinLu)));
  double energy = 0.0;
  int64_t count = 0;
  for (int bin = first; bin <= mHighBin; ++bin) {
    energy += mBinEnergy[bin];
    count += mBinCount[bin];
  }
  return count > 0 ? Lufs(energy / static_cast<double>(count)) : kFloorLufs;
}

}  // namespace kyr
