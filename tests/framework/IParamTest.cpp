#include "framework/IParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using oskel::IParam;

TEST(IParam, InitDoubleKeepsMaxAtLeastOneStepAboveMin) {
  IParam p;
  p.InitDouble("Gain", 0, 0, 0, 1);
  EXPECT_EQ(p.GetMax(), 1.0);
  EXPECT_EQ(p.Type(), IParam::kTypeDouble);
}

TEST(IParam, DisplayPrecisionFollowsTheStep) {
  const struct {
    double step;
    int precision;
  } cases[] = {{0.1, 1}, {0.25, 2}, {1.0, 0}, {0.0000001, 6}, {5.0, 0}};
  for (const auto& c : cases) {
    IParam p;
    p.InitDouble("x", 0, 0, 100, c.step);
    EXPECT_EQ(p.GetDisplayPrecision(), c.precision) << "step " << c.step;
  }
}

TEST(IParam, SteppedValuesRoundHalvesAwayFromZeroThenClamp) {
  IParam p;
  p.InitDouble("x", 0, 0, 10, 0.5, "", IParam::kFlagStepped);
  EXPECT_EQ(p.Constrain(0.74), 0.5);
  EXPECT_EQ(p.Constrain(0.75), 1.0);
  EXPECT_EQ(p.Constrain(99.0), 10.0);
  EXPECT_EQ(p.Constrain(-3.0), 0.0);
}

TEST(IParam, NormalisedConversionsClampAtBothEnds) {
  IParam p;
  p.InitDouble("x", 50, 0, 100, 0.1);
  EXPECT_EQ(p.ToNormalized(150.0), 1.0);
  EXPECT_EQ(p.ToNormalized(-5.0), 0.0);
  EXPECT_EQ(p.FromNormalized(1.5), 100.0);
  EXPECT_DOUBLE_EQ(p.FromNormalized(0.25), 25.0);
  p.SetNormalized(0.625);
  EXPECT_DOUBLE_EQ(p.Value(), 62.5);
}

TEST(IParam, NonFiniteValuesNeverBecomeTheValue) {
  IParam p;
  p.InitDouble("x", 0, -12, 12, 0.1);
  EXPECT_EQ(p.Constrain(std::numeric_limits<double>::quiet_NaN()), -12.0);
  EXPECT_EQ(p.Constrain(std::numeric_limits<double>::infinity()), 12.0);
  EXPECT_EQ(p.FromNormalized(std::numeric_limits<double>::quiet_NaN()), -12.0);
  EXPECT_EQ(p.ToNormalized(std::numeric_limits<double>::quiet_NaN()), 0.0);
}

TEST(IParam, DisplayTextFormatting) {
  IParam p1;
  p1.InitDouble("x", 0, -10, 10, 0.1);
  EXPECT_EQ(p1.GetDisplay(-0.0, false), "0.0");
  EXPECT_EQ(p1.GetDisplay(2.26, false), "2.3");

  IParam negate;
  negate.InitDouble("x", 0, -10, 10, 1, "", IParam::kFlagNegateDisplay);
  EXPECT_EQ(negate.GetDisplay(3.0, false), "-3");

  IParam sign;
  sign.InitDouble("x", 0, -10, 10, 0.1, "", IParam::kFlagSignDisplay);
  EXPECT_EQ(sign.GetDisplay(2.5, false), "+2.5");
  EXPECT_EQ(sign.GetDisplay(0.0, false), "0.0");
  EXPECT_EQ(sign.GetDisplay(-2.5, false), "-2.5");

  IParam normalised;
  normalised.InitDouble("x", 0, 0, 200, 1);
  EXPECT_EQ(normalised.GetDisplay(0.5, true), "100");
}

TEST(IParam, DisplayFunctionReplacesNumbers) {
  IParam p;
  p.InitDouble("x", 0, 0, 1, 0.01, "", 0, "", IParam::ShapeLinear(), IParam::kUnitCustom,
               [](double v, std::string& text) { text = v > 0.5 ? "high" : "low"; });
  EXPECT_EQ(p.GetDisplay(0.9, false), "high");
  EXPECT_EQ(p.GetDisplay(0.1, false), "low");
}

TEST(IParam, EnumTextsLabelsAndParsing) {
  IParam p;
  p.InitEnum("Choice", 0, 3, "Hz", 0, "", {"A", "B", "C"});
  EXPECT_EQ(p.Type(), IParam::kTypeEnum);
  EXPECT_TRUE(p.GetStepped());
  EXPECT_EQ(p.StringToValue("B"), 1.0);
  EXPECT_EQ(p.StringToValue("D"), 0.0);
  for (double v : {0.0, 1.0, 2.0}) {
    p.Set(v);
    EXPECT_EQ(p.GetLabel(), "");
  }
  EXPECT_EQ(p.GetDisplay(2.0, false), "C");
  EXPECT_EQ(p.GetDisplay(2.0, false, false), "2");
}

TEST(IParam, BoolUsesItsTwoTexts) {
  IParam p;
  p.InitBool("Clean", false, "", 0, "", "Tube", "Clean");
  EXPECT_EQ(p.Type(), IParam::kTypeBool);
  EXPECT_EQ(p.GetMax(), 1.0);
  EXPECT_EQ(p.GetDisplay(0.0, false), "Tube");
  EXPECT_EQ(p.GetDisplay(1.0, false), "Clean");
  EXPECT_EQ(p.StringToValue("Clean"), 1.0);
  EXPECT_EQ(p.StringToValue("yes"), 0.0);
}

TEST(IParam, DoubleParsesTheLeadingNumber) {
  IParam p;
  p.InitDouble("Gain", 0, -24, 24, 0.1, "dB");
  EXPECT_DOUBLE_EQ(p.StringToValue("12.5dB"), 12.5);
  EXPECT_DOUBLE_EQ(p.StringToValue("100"), 24.0);
  EXPECT_DOUBLE_EQ(p.StringToValue("garbage"), 0.0);
  EXPECT_EQ(p.GetLabel(), "dB");
}

TEST(IParam, LongTextsAreCutTo31Characters) {
  IParam p;
  p.InitDouble("A name that is much longer than thirty-one characters", 0, 0, 1, 0.1);
  EXPECT_EQ(std::string(p.GetName()).size(), 31u);
}
