#include "HostTestFixture.h"
#include "pluginterfaces/vst/ivstunits.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

struct Expected {
  ParamID id;
  const char* title;
  const char* units;
  int32 steps;
  const char* defaultText;
};

// What a host shows for every parameter at its default.
const Expected kParams[] = {
    {0, "Input", "%", 0, "50.0"}, {1, "Low Cut", "%", 0, "0.0"},
    {2, "Low Cut Freq", "", 3, "30"}, {3, "Low Boost", "%", 0, "0.0"},
    {4, "Low Boost Freq", "", 3, "60"}, {5, "Mid Cut", "%", 0, "0.0"},
    {6, "Mid Cut Freq", "", 5, "400"}, {7, "High Boost", "%", 0, "0.0"},
    {8, "High Boost Freq", "", 7, "10k"}, {9, "Bandwidth", "%", 0, "0.0"},
    {10, "High Cut", "%", 0, "0.0"}, {11, "High Cut Freq", "", 3, "10k"},
    {12, "Output", "%", 0, "50.0"}, {13, "Clean", "", 1, "Tube"},
    {14, "Bypass", "", 1, "off"}, {15, "Mode", "", 1, "Tube"},
    {16, "BAX Lo Cut", "", 7, "OUT"}, {17, "BAX Lo Shelf Freq", "", 8, "116"},
    {18, "BAX Lo Shelf L", "dB", 0, "0.0"}, {19, "BAX Lo Shelf R", "dB", 0, "0.0"},
    {20, "BAX Hi Shelf Freq", "", 7, "2.5k"}, {21, "BAX Hi Shelf L", "dB", 0, "0.0"},
    {22, "BAX Hi Shelf R", "dB", 0, "0.0"}, {23, "BAX Hi Cut", "", 7, "OUT"},
    {24, "BAX Dynamic", "%", 0, "0.0"}, {25, "BAX Link", "", 1, "Linked"},
    {26, "BAX Stereo Mode", "", 1, "Stereo"}, {27, "HQ Oversample", "", 1, "Off"},
    {28, "Dynamic Tube", "%", 0, "0.0"}, {29, "Auto Gain Match", "", 1, "Off"},
    {30, "LF Filter", "", 6, "OFF"}, {31, "HF Filter", "", 6, "OFF"},
    {32, "LF Slope", "", 2, "12"}, {33, "LF Reso", "%", 0, "0.0"},
    {34, "HF Slope", "", 2, "12"}, {35, "HF Reso", "%", 0, "0.0"},
    {36, "Mid Boost", "%", 0, "0.0"}, {37, "Mid Boost Freq", "", 7, "1k"},
    {38, "Band Listen", "", 8, "Off"}, {39, "Tilt", "dB", 0, "0.0"},
    {40, "Width", "%", 0, "100"}, {41, "Bass Mono", "", 4, "OFF"},
    {42, "Push-Pull", "%", 0, "0.0"}, {43, "Push-Pull Speed", "%", 0, "50.0"},
    {44, "Push-Pull Pivot", "%", 0, "0.0"}, {45, "PP Low Cut", "%", 0, "100.0"},
    {46, "PP Low Boost", "%", 0, "100.0"}, {47, "PP Mid Cut", "%", 0, "100.0"},
    {48, "PP High Boost", "%", 0, "100.0"}, {49, "PP High Cut", "%", 0, "100.0"},
    {50, "PP Mid Boost", "%", 0, "100.0"}, {51, "PP BAX Lo", "%", 0, "100.0"},
    {52, "PP BAX Hi", "%", 0, "100.0"},
};

}  // namespace

TEST_F(HostTest, PublishesFiftyThreeParametersAndTheBypassSwitch) {
  IEditController* c = host.Controller();
  ASSERT_EQ(c->getParameterCount(), 54);
  ParameterInfo first{};
  c->getParameterInfo(0, first);
  EXPECT_EQ(first.id, 65536u);
  EXPECT_EQ(kyr::tools::ToUtf8(first.title), "Bypass");
  EXPECT_EQ(first.flags, 0x10009);

  for (const Expected& e : kParams) {
    SCOPED_TRACE(e.title);
    ParameterInfo info{};
    ASSERT_EQ(c->getParameterInfo(static_cast<int32>(e.id) + 1, info), kResultOk);
    EXPECT_EQ(info.id, e.id);
    EXPECT_EQ(kyr::tools::ToUtf8(info.title), e.title);
    EXPECT_EQ(kyr::tools::ToUtf8(info.units), e.units);
    EXPECT_EQ(info.stepCount, e.steps);
    EXPECT_EQ(info.unitId, kRootUnitId);
    const bool isList = e.steps > 1 || (e.steps == 1 && (e.id == 15));
    EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate | (isList ? ParameterInfo::kIsList : 0));
    EXPECT_EQ(host.ValueText(e.id, info.defaultNormalizedValue), e.defaultText);
    EXPECT_EQ(c->getParamNormalized(e.id), info.defaultNormalizedValue);
  }
}

TEST_F(HostTest, DisplayTexts) {
  EXPECT_EQ(host.ValueText(13, 1.0), "Clean");
  EXPECT_EQ(host.ValueText(23, 0.6 / 7.0), "70k");  // the nearest step
  EXPECT_EQ(host.ValueText(44, 0.0), "-100.0");
  EXPECT_EQ(host.ValueText(39, 1.0), "3.0");
}
