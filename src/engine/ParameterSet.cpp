#include "ParameterSet.h"

namespace kyr {

namespace {

ParamDef Percent(const char* name, double defaultValue, double minValue = 0.0) {
  return {name, ParamDef::kDouble, defaultValue, minValue, 100.0, 0.1, "%", {}, ""};
}

ParamDef Decibel(const char* name, double limit) {
  return {name, ParamDef::kDouble, 0.0, -limit, limit, 0.1, "dB", {}, ""};
}

ParamDef Choice(const char* name, int defaultValue, std::vector<const char*> texts, const char* unit = "") {
  const double last = static_cast<double>(texts.size()) - 1.0;
  return {name, ParamDef::kEnum, static_cast<double>(defaultValue), 0.0, last, 1.0, "", std::move(texts), unit};
}

ParamDef Hertz(const char* name, int defaultValue, std::vector<const char*> texts) {
  return Choice(name, defaultValue, std::move(texts), "Hz");
}

ParamDef Switch(const char* name, bool defaultValue, const char* offText, const char* onText) {
  return {name, ParamDef::kBool, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, "", {offText, onText}, ""};
}

std::array<ParamDef, kNumParams> MakeTable() {
  std::array<ParamDef, kNumParams> t{};
  t[kInput] = Percent("Input", 50);
  t[kLowCut] = Percent("Low Cut", 0);
  t[kLowCutFreq] = Hertz("Low Cut Freq", 0, {"30", "40", "100", "400"});
  t[kLowBoost] = Percent("Low Boost", 0);
  t[kLowBoostFreq] = Hertz("Low Boost Freq", 2, {"20", "40", "60", "140"});
  t[kMidCut] = Percent("Mid Cut", 0);
  t[kMidCutFreq] = Hertz("Mid Cut Freq", 2, {"200", "300", "400", "500", "600", "700"});
  t[kHighBoost] = Percent("High Boost", 0);
  t[kHighBoostFreq] = Hertz("High Boost Freq", 5, {"2k", "3k", "4k", "5k", "8k", "10k", "12k", "16k"});
  t[kBandwidth] = Percent("Bandwidth", 0);
  t[kHighCut] = Percent("High Cut", 0);
  t[kHighCutFreq] = Hertz("High Cut Freq", 2, {"1.7k", "4k", "10k", "28k"});
  t[kOutput] = Percent("Output", 50);
  t[kClean] = Switch("Clean", false, "Tube", "Clean");
  t[kBypass] = Switch("Bypass", false, "off", "on");
  t[kMode] = Choice("Mode", 0, {"Tube", "BAX"});
  t[kBaxLoCut] = Hertz("BAX Lo Cut", 0, {"OUT", "12", "18", "24", "30", "36", "43", "54"});
  t[kBaxLoShelfFreq] = Hertz("BAX Lo Shelf Freq", 4, {"43", "74", "84", "98", "116", "131", "166", "230", "361"});
  t[kBaxLoShelfL] = Decibel("BAX Lo Shelf L", 5);
  t[kBaxLoShelfR] = Decibel("BAX Lo Shelf R", 5);
  t[kBaxHiShelfFreq] = Hertz("BAX Hi Shelf Freq", 3, {"1.6k", "1.8k", "2.1k", "2.5k", "3.4k", "4.8k", "7.1k", "18k"});
  t[kBaxHiShelfL] = Decibel("BAX Hi Shelf L", 5);
  t[kBaxHiShelfR] = Decibel("BAX Hi Shelf R", 5);
  t[kBaxHiCut] = Hertz("BAX Hi Cut", 0, {"OUT", "70k", "28k", "18k", "12.6k", "11.1k", "9k", "7.5k"});
  t[kBaxDynamic] = Percent("BAX Dynamic", 0);
  t[kBaxLink] = Switch("BAX Link", true, "Dual-Mono", "Linked");
  t[kBaxStereoMode] = Switch("BAX Stereo Mode", false, "Stereo", "M/S");
  t[kHQOversample] = Switch("HQ Oversample", false, "Off", "HQ");
  t[kDynamicTube] = Percent("Dynamic Tube", 0);
  t[kAutoGainMatch] = Switch("Auto Gain Match", false, "Off", "Match");
  t[kLFFilter] = Hertz("LF Filter", 0, {"OFF", "16", "22", "30", "40", "55", "80"});
  t[kHFFilter] = Hertz("HF Filter", 0, {"OFF", "22k", "18k", "15k", "12k", "10k", "8k"});
  t[kLFSlope] = Choice("LF Slope", 1, {"6", "12", "24"}, "dB/oct");
  t[kLFReso] = Percent("LF Reso", 0);
  t[kHFSlope] = Choice("HF Slope", 1, {"6", "12", "24"}, "dB/oct");
  t[kHFReso] = Percent("HF Reso", 0);
  t[kMidBoost] = Percent("Mid Boost", 0);
  t[kMidBoostFreq] = Hertz("Mid Boost Freq", 4, {"200", "350", "500", "700", "1k", "1.5k", "2k", "3k"});
  t[kBandListen] = Choice("Band Listen", 0, {"Off", "Low Boost", "Low Cut", "Mid Boost", "Mid Cut", "High Boost",
                                             "High Cut", "Lo Shelf", "Hi Shelf"});
  t[kTilt] = Decibel("Tilt", 3);
  t[kWidth] = {"Width", ParamDef::kDouble, 100.0, 0.0, 200.0, 1.0, "%", {}, ""};
  t[kBassMono] = Hertz("Bass Mono", 0, {"OFF", "60", "90", "120", "150"});
  t[kPushPull] = Percent("Push-Pull", 0);
  t[kPushPullSpeed] = Percent("Push-Pull Speed", 50);
  t[kPushPullPivot] = Percent("Push-Pull Pivot", 0, -100.0);
  t[kPPLowCut] = Percent("PP Low Cut", 100);
  t[kPPLowBoost] = Percent("PP Low Boost", 100);
  t[kPPMidCut] = Percent("PP Mid Cut", 100);
  t[kPPHighBoost] = Percent("PP High Boost", 100);
  t[kPPHighCut] = Percent("PP High Cut", 100);
  t[kPPMidBoost] = Percent("PP Mid Boost", 100);
  t[kPPBaxLo] = Percent("PP BAX Lo", 100);
  t[kPPBaxHi] = Percent("PP BAX Hi", 100);
  return t;
}

}  // namespace

const std::array<ParamDef, kNumParams>& ParameterTable() {
  static const std::array<ParamDef, kNumParams> table = MakeTable();
  return table;
}

}  // namespace kyr
