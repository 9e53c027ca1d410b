// kyr-page-data: writes what the editor page knows of Kyr EQ, from the engine's own tables.
//   kyr-page-data page <out.json>       the page data inlined into index.html at build time:
//                                       parameter labels, steps, texts and units, and the
//                                       voicing the response curve is drawn from
//   kyr-page-data responses <out.json>  the engine's magnitude response for a set of settings
//                                       at fixed frequencies, which the page's curve must match
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "EngineResponse.h"
#include "editor/EditorProtocol.h"
#include "editor/PageRequests.h"
#include "engine/BlockOps.h"
#include "engine/EParams.h"
#include "engine/ParameterSet.h"
#include "engine/Voicing.h"

namespace {

using nlohmann::ordered_json;

template <size_t N>
ordered_json Table(const double (&table)[N]) {
  return ordered_json(std::vector<double>(std::begin(table), std::end(table)));
}

const char* Name(int idx) { return kyr::ParameterTable()[static_cast<size_t>(idx)].name; }

ordered_json Voicing(const kyr::BandVoicing& v) {
  return {{"type", v.type},          {"gainDb", v.gainDb}, {"gainDbPerWidth", v.gainDbPerWidth},
          {"gainExponent", v.gainExponent}, {"q", v.q},    {"qPerAmount", v.qPerAmount},
          {"qPerWidth", v.qPerWidth}, {"qMin", v.qMin}};
}

template <size_t N>
ordered_json Band(const kyr::BandVoicing& v, int amountIdx, int freqIdx, const double (&hz)[N]) {
  ordered_json band = Voicing(v);
  band["amount"] = Name(amountIdx);
  band["freq"] = Name(freqIdx);
  band["hz"] = Table(hz);
  return band;
}

template <size_t N>
ordered_json Listen(int freqIdx, const double (&hz)[N]) {
  return {{"freq", Name(freqIdx)}, {"hz", Table(hz)}};
}

ordered_json PageData() {
  using namespace kyr;
  ordered_json params = ordered_json::array();
  for (const ParamDef& def : ParameterTable()) {
    ordered_json p = {{"name", def.name}, {"label", def.label}, {"step", def.step}};
    p["texts"] = ordered_json::array();
    for (const char* text : def.texts) p["texts"].push_back(text);
    p["unit"] = def.unit;
    params.push_back(p);
  }
  ordered_json character = Voicing(kCharacterShelf);
  character["hz"] = kCharacterShelfHz;
  ordered_json voicing = {
      {"activeAmount", kActiveAmount},
      {"characterShelf", character},
      // In the order the engine runs them.
      {"bands", ordered_json::array({Band(kLowCutVoicing, kLowCut, kLowCutFreq, kLowCutHz),
                 Band(kLowBoostVoicing, kLowBoost, kLowBoostFreq, kLowBoostHz),
                 Band(kMidCutVoicing, kMidCut, kMidCutFreq, kMidCutHz),
                 Band(kHighBoostVoicing, kHighBoost, kHighBoostFreq, kHighBoostHz),
                 Band(kHighCutVoicing, kHighCut, kHighCutFreq, kHighCutHz),
                 Band(kMidBoostVoicing, kMidBoost, kMidBoostFreq, kMidBoostHz)})},
      {"drive", {{"perInput", kDrivePerInput}, {"offset", kDriveOffset}, {"min", kDriveMin}, {"max", kDriveMax}}},
      {"coupling", {{"baseHz", kCouplingBaseHz}, {"hzPerDrive", kCouplingHzPerDrive},
                    {"minHz", kCouplingMinHz}, {"maxHz", kCouplingMaxHz}}},
      {"lfFilterHz", Table(kLowFilterHz)},
      {"hfFilterHz", Table(kHighFilterHz)},
      {"butterworthQ", kButterworthQ},
      {"fourthOrderQ", ordered_json::array({kFourthOrderQ1, kFourthOrderQ2})},
      {"resonanceFactor", kResonanceFactor},
      {"baxLoCutHz", Table(kBaxLoCutHz)},
      {"baxHiCutHz", Table(kBaxHiCutHz)},
      {"baxLoShelfHz", Table(kBaxLoShelfHz)},
      {"baxHiShelfHz", Table(kBaxHiShelfHz)},
      {"tiltHz", kTiltHz},
      // Band Listen values 1..8, as BandListenFrequency maps them.
      {"listen", ordered_json::array({Listen(kLowBoostFreq, kListenLowBoostHz), Listen(kLowCutFreq, kListenLowCutHz),
                  Listen(kMidBoostFreq, kListenMidBoostHz), Listen(kMidCutFreq, kListenMidCutHz),
                  Listen(kHighBoostFreq, kListenHighBoostHz), Listen(kHighCutFreq, kListenHighCutHz),
                  Listen(kBaxLoShelfFreq, kListenLoShelfHz), Listen(kBaxHiShelfFreq, kListenHiShelfHz)})},
      {"listenDefaultHz", kListenDefaultHz}};
  // The message tags of the channel between plug-in and page, by the names the page uses.
  ordered_json tags = {
      {"descriptions", oskel::kMsgTagNone},       {"meters", oskel::kMsgTagMeters},
      {"setParamValue", oskel::kMsgTagSetParamValue}, {"spectrum", oskel::kMsgTagSpectrum},
      {"sampleRate", oskel::kMsgTagSampleRate},    {"levels", oskel::kMsgTagLevels},
      {"pageState", oskel::kMsgTagPageState},      {"editorScale", oskel::kMsgTagEditorScale},
      {"openUrl", oskel::kMsgTagOpenUrl},          {"resetLoudness", oskel::kMsgTagResetLoudness},
      {"storePageState", oskel::kMsgTagStorePageState}, {"editorSize", oskel::kMsgTagEditorSize}};
  ordered_json protocol = {{"tags", tags},
                           {"maxPageStateBytes", oskel::kMaxPageStateBytes},
                           {"editorScales", oskel::kEditorScales}};
  return {{"params", params}, {"voicing", voicing}, {"protocol", protocol}};
}

struct Case {
  const char* name;
  double sampleRate;
  std::vector<std::pair<int, double>> plain;  // parameter index, plain value
};

std::vector<Case> Cases() {
  using namespace kyr;
  const std::vector<std::pair<int, double>> allTube = {
      {kInput, 80}, {kLowCut, 70}, {kLowCutFreq, 1}, {kLowBoost, 80}, {kLowBoostFreq, 3},
      {kMidCut, 60}, {kMidCutFreq, 4}, {kHighBoost, 75}, {kHighBoostFreq, 6}, {kBandwidth, 40},
      {kHighCut, 50}, {kHighCutFreq, 0}, {kMidBoost, 90}, {kMidBoostFreq, 5}, {kOutput, 65}};
  std::vector<Case> cases = {
      {"Tube, flat", 48000, {}},
      {"Low Cut alone", 48000, {{kLowCut, 70}, {kLowCutFreq, 1}}},
      {"Low Boost alone", 48000, {{kLowBoost, 80}, {kLowBoostFreq, 3}}},
      {"Mid Cut alone", 48000, {{kMidCut, 60}, {kMidCutFreq, 4}}},
      {"High Boost alone, with Bandwidth", 48000, {{kHighBoost, 75}, {kHighBoostFreq, 6}, {kBandwidth, 40}}},
      {"High Cut alone", 48000, {{kHighCut, 50}, {kHighCutFreq, 0}}},
      {"Mid Boost alone", 48000, {{kMidBoost, 90}, {kMidBoostFreq, 5}}},
      {"Tube bands together", 48000, allTube},
      {"Tube bands together at 44.1 kHz", 44100, allTube},
      {"Tube bands together at 96 kHz", 96000, allTube},
      {"High Boost at 16k, 44.1 kHz", 44100, {{kHighBoost, 100}, {kHighBoostFreq, 7}, {kBandwidth, 100}}},
      {"Tube bypassed with filters", 48000, {{kBypass, 1}, {kLowBoost, 80}, {kLFFilter, 4}, {kHFFilter, 2}}},
      {"BAX, flat", 48000, {{kMode, 1}}},
      {"BAX Lo Shelf boost", 48000, {{kMode, 1}, {kBaxLoShelfL, 4}, {kBaxLoShelfFreq, 2}}},
      {"BAX Lo Shelf cut", 48000, {{kMode, 1}, {kBaxLoShelfL, -3.5}, {kBaxLoShelfFreq, 7}}},
      {"BAX Hi Shelf boost at 18k", 48000, {{kMode, 1}, {kBaxHiShelfL, 5}, {kBaxHiShelfFreq, 7}}},
      {"BAX Hi Shelf cut", 48000, {{kMode, 1}, {kBaxHiShelfL, -2}, {kBaxHiShelfFreq, 1}}},
      {"BAX Lo Cut", 48000, {{kMode, 1}, {kBaxLoCut, 7}}},
      {"BAX Hi Cut 70k", 44100, {{kMode, 1}, {kBaxHiCut, 1}}},
      {"BAX Hi Cut", 48000, {{kMode, 1}, {kBaxHiCut, 5}}},
      {"Tilt up", 48000, {{kMode, 1}, {kTilt, 2.5}}},
      {"Tilt down, with Output", 48000, {{kMode, 1}, {kTilt, -3}, {kOutput, 30}}},
      {"BAX unlinked M/S", 48000,
       {{kMode, 1}, {kBaxLink, 0}, {kBaxStereoMode, 1}, {kBaxLoShelfL, 3}, {kBaxLoShelfR, -2},
        {kBaxHiShelfL, 1.5}, {kBaxHiShelfR, 4}, {kBaxLoCut, 2}, {kBaxHiCut, 3}}},
      {"Band Listen on Mid Boost", 48000, {{kBandListen, 3}, {kMidBoostFreq, 2}}},
      {"Band Listen on Hi Shelf", 48000, {{kBandListen, 8}, {kBaxHiShelfFreq, 5}}},
  };
  // The LF and HF Filters with each slope, without and with resonance.
  static const char* const kSlopeNames[] = {
      "LF/HF Filters, 6 dB", "LF/HF Filters, 12 dB", "LF/HF Filters, 24 dB",
      "LF/HF Filters, 6 dB, resonant", "LF/HF Filters, 12 dB, resonant", "LF/HF Filters, 24 dB, resonant"};
  for (int resonant = 0; resonant < 2; ++resonant) {
    for (int slope = 0; slope < 3; ++slope) {
      const double reso = resonant ? 60.0 : 0.0;
      cases.push_back({kSlopeNames[resonant * 3 + slope], 48000,
                       {{kLFFilter, 3}, {kLFSlope, slope}, {kLFReso, reso},
                        {kHFFilter, 4}, {kHFSlope, slope}, {kHFReso, reso}}});
    }
  }
  return cases;
}

ordered_json Responses() {
  std::vector<double> hz;
  for (int i = 0; i <= 60; ++i) hz.push_back(20.0 * std::pow(1000.0, i / 60.0));
  ordered_json out = ordered_json::array();
  for (const Case& c : Cases()) {
    kyr::SettingsRecord record;
    ordered_json values = ordered_json::array();
    for (const auto& [idx, plain] : c.plain) {
      record.StoreParameter(idx, plain);
      const kyr::ParamDef& def = kyr::ParameterTable()[static_cast<size_t>(idx)];
      values.push_back({idx, (plain - def.minValue) / (def.maxValue - def.minValue)});
    }
    ordered_json db = ordered_json::array();
    for (const kyr::ResponseChain& chain : kyr::EngineResponseChains(record.Load(), c.sampleRate)) {
      std::vector<double> levels;
      for (double f : hz) levels.push_back(kyr::ChainDb(chain, f, c.sampleRate));
      db.push_back(levels);
    }
    out.push_back({{"name", c.name}, {"sampleRate", c.sampleRate}, {"values", values}, {"db", db}});
  }
  return {{"hz", hz}, {"cases", out}};
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc == 3 ? argv[1] : "";
  if (what != "page" && what != "responses") {
    std::fprintf(stderr, "usage: kyr-page-data page|responses <out.json>\n");
    return 2;
  }
  const ordered_json doc = what == "page" ? PageData() : Responses();
  std::ofstream file(argv[2], std::ios::binary);
  file << doc.dump(what == "page" ? -1 : 1) << "\n";
  file.close();
  if (!file) {
    std::fprintf(stderr, "kyr-page-data: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
