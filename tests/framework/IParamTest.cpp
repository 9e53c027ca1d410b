#include "framework/IParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>

using oskel::IParam;

// Stepped values round halves away from zero, then clamp; conversions clamp at both ends; a
// non-finite value never becomes the value.
TEST(IParam, ConversionsRoundClampAndRefuseNonFiniteValues) {
  IParam stepped, wide, gain;
  stepped.InitDouble("x", 0, 0, 10, 0.5, "", IParam::kFlagStepped);
  wide.InitDouble("x", 50, 0, 100, 0.1);
  gain.InitDouble("x", 0, -12, 12, 0.1);
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const struct {
    double got, expected;
  } cases[] = {{stepped.Constrain(0.74), 0.5}, {stepped.Constrain(0.75), 1.0},  {stepped.Constrain(99.0), 10.0},
               {stepped.Constrain(-3.0), 0.0}, {wide.ToNormalized(150.0), 1.0}, {wide.ToNormalized(-5.0), 0.0},
               {wide.FromNormalized(1.5), 100.0}, {wide.FromNormalized(0.25), 25.0}, {gain.Constrain(nan), -12.0},
               {gain.Constrain(inf), 12.0},    {gain.FromNormalized(nan), -12.0}, {gain.ToNormalized(nan), 0.0}};
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_DOUBLE_EQ(cases[i].got, cases[i].expected) << "case " << i;
  wide.SetNormalized(0.625);
  EXPECT_DOUBLE_EQ(wide.Value(), 62.5);
}

// Display texts and parsing of the kinds of parameter the plug-in builds, one row per case.
TEST(IParam, DisplayTextsAndParsing) {
  IParam plain, wide, choice, onOff, gain;
  plain.InitDouble("x", 0, -10, 10, 0.1);
  wide.InitDouble("x", 0, 0, 200, 1);
  choice.InitEnum("Choice", 0, 3, "Hz", 0, "", {"A", "B", "C"});
  onOff.InitBool("Clean", false, "", 0, "", "Tube", "Clean");
  gain.InitDouble("Gain", 0, -24, 24, 0.1, "dB");
  const struct {
    IParam* p;
    double value;
    bool normalized;
    const char* text;
  } shown[] = {{&plain, -0.0, false, "0.0"}, {&plain, 2.26, false, "2.3"}, {&wide, 0.5, true, "100"},
               {&choice, 2.0, false, "C"},   {&onOff, 0.0, false, "Tube"}, {&onOff, 1.0, false, "Clean"}};
  for (const auto& c : shown) EXPECT_EQ(c.p->GetDisplay(c.value, c.normalized), c.text) << c.text;
  EXPECT_EQ(choice.GetDisplay(2.0, false, false), "2");
  const struct {
    IParam* p;
    const char* text;
    double value;
  } parsed[] = {{&choice, "B", 1.0},        {&choice, "D", 0.0},   {&onOff, "Clean", 1.0}, {&onOff, "yes", 0.0},
                {&gain, "12.5dB", 12.5},    {&gain, "100", 24.0},  {&gain, "garbage", 0.0}};
  for (const auto& c : parsed) EXPECT_DOUBLE_EQ(c.p->StringToValue(c.text), c.value) << c.text;
  EXPECT_TRUE(choice.GetStepped());
  // A choice's unit goes with its texts, not beside them; a double shows its label.
  for (double v : {0.0, 1.0, 2.0}) {
    choice.Set(v);
    EXPECT_EQ(choice.GetLabel(), "");
  }
  EXPECT_EQ(gain.GetLabel(), "dB");
}
