#include "EngineResponse.h"

#include <cmath>
#include <complex>
#include <memory>

#include "engine/BaxandallSection.h"
#include "engine/BandListen.h"
#include "engine/BlockOps.h"
#include "engine/ChannelKernels.h"
#include "engine/EqEngine.h"
#include "engine/FilterDesign.h"
#include "engine/FilterStages.h"
#include "engine/ProgramBank.h"
#include "engine/Voicing.h"

namespace kyr {
namespace {

BiquadSection Section(double b0, double b1, double b2, double a1, double a2) {
  BiquadSection s;
  s.b0 = b0;
  s.b1 = b1;
  s.b2 = b2;
  s.a1 = a1;
  s.a2 = a2;
  return s;
}

// y = (x + y1 - x1) * k: the coupling high-pass and the 6 dB LF Filter.
BiquadSection OnePoleHighPass(double k) { return Section(k, -k, 0.0, -k, 0.0); }
// y1 = y1 + (x - y1) * g: the 6 dB HF Filter.
BiquadSection OnePoleLowPass(double g) { return Section(g, 0.0, 0.0, g - 1.0, 0.0); }

// The LF or HF Filter stage's sections, as the filter stages design them.
void AddFilterStage(std::vector<BiquadSection>& out, bool highpass, int32_t value, int32_t slope,
                    float reso, double fs) {
  if (value <= 0) return;
  const double f = highpass ? LowFilterFrequency(value) : HighFilterFrequency(value);
  if (slope == 0) {
    const double p = std::exp(-kTwoPi * f / fs);
    out.push_back(highpass ? OnePoleHighPass(p) : OnePoleLowPass(1.0 - p));
    return;
  }
  BiquadSection first, second;
  const int sections = DesignFilterSections(first, second, highpass, slope, reso, f, fs);
  out.push_back(first);
  if (sections == 2) out.push_back(second);
}

void AddProgram(std::vector<BiquadSection>& out, const Settings& s, double fs) {
  out.push_back(OnePoleHighPass(std::exp(-kTwoPi * CouplingFrequency(DriveFromInput(s.input)) / fs)));
  // The bank itself, designed by the engine: bands that are off are the identity.
  auto eng = std::make_unique<EqEngine>();
  eng->PrepareEngine(fs);
  DesignProgramBank(*eng, s);
  DesignMidBoost(*eng, s);
  eng->mBank.ForEachSection([&out](const BiquadSection& section) { out.push_back(section); });
  out.push_back(eng->mBank.midBoost);
}

void AddBaxShelves(std::vector<BiquadSection>& out, const Settings& s, double gLo, double gHi, double fs) {
  BiquadSection lo, hi;
  DesignBaxShelf(lo, false, TableValue(kBaxLoShelfHz, s.baxLoShelfFreq), gLo, fs);
  DesignBaxShelf(hi, true, TableValue(kBaxHiShelfHz, s.baxHiShelfFreq), gHi, fs);
  out.push_back(lo);
  out.push_back(hi);
}

}  // namespace

std::vector<ResponseChain> EngineResponseChains(const Settings& s, double fs) {
  const double gainDb = static_cast<double>(s.output) * 24.0 - 12.0;
  if (s.bandListen != 0) {
    ResponseChain chain;
    chain.sections.emplace_back();
    DesignBandListen(chain.sections.back(), BandListenFrequency(s), fs);
    chain.gainDb = gainDb;
    return {chain};
  }
  const bool bypass = s.bypass != 0;
  if (IsTubeMode(s.mode)) {
    ResponseChain chain;
    AddFilterStage(chain.sections, true, s.lfFilter, s.lfSlope, s.lfReso, fs);
    if (!bypass) AddProgram(chain.sections, s, fs);
    AddFilterStage(chain.sections, false, s.hfFilter, s.hfSlope, s.hfReso, fs);
    chain.gainDb = bypass ? 0.0 : gainDb;
    return {chain};
  }
  if (bypass) return {ResponseChain{}};
  std::vector<BiquadSection> front, tail;
  const double loCut = TableValue(kBaxLoCutHz, s.baxLoCut);
  const double hiCut = TableValue(kBaxHiCutHz, s.baxHiCut);
  BiquadSection section;
  if (loCut > 0.0) {
    DesignButterworth(section, true, loCut, fs);
    front.push_back(section);
  }
  if (hiCut > 0.0) {
    DesignButterworth(section, false, hiCut, fs);
    tail.push_back(section);
  }
  if (std::fabs(s.tilt) > kActiveAmount) {
    DesignFirstOrderShelf(section, false, kTiltHz, -s.tilt, fs);
    tail.push_back(section);
    DesignFirstOrderShelf(section, true, kTiltHz, s.tilt, fs);
    tail.push_back(section);
  }
  const bool linked = s.baxLink != 0, midSide = s.baxStereoMode != 0;
  const double loA = s.baxLoShelfLeft, hiA = s.baxHiShelfLeft;
  const double loB = linked ? loA : s.baxLoShelfRight, hiB = linked ? hiA : s.baxHiShelfRight;
  std::vector<ResponseChain> chains(1);
  chains[0].sections = front;
  AddBaxShelves(chains[0].sections, s, loA, hiA, fs);
  chains[0].sections.insert(chains[0].sections.end(), tail.begin(), tail.end());
  chains[0].gainDb = gainDb;
  chains[0].label = linked ? "" : (midSide ? "M" : "L");
  if (loB != loA || hiB != hiA) {
    ResponseChain b;
    b.sections = front;
    AddBaxShelves(b.sections, s, loB, hiB, fs);
    b.sections.insert(b.sections.end(), tail.begin(), tail.end());
    b.gainDb = gainDb;
    b.label = midSide ? "S" : "R";
    chains.push_back(b);
  }
  return chains;
}

double ChainDb(const ResponseChain& chain, double hz, double fs) {
  const std::complex<double> z1 = std::polar(1.0, -kTwoPi * hz / fs);
  const std::complex<double> z2 = z1 * z1;
  double db = chain.gainDb;
  for (const BiquadSection& c : chain.sections) {
    const std::complex<double> h = (c.b0 + c.b1 * z1 + c.b2 * z2) / (1.0 + c.a1 * z1 + c.a2 * z2);
    db += 20.0 * std::log10(std::abs(h) + 1e-300);
  }
  return db;
}

}  // namespace kyr
