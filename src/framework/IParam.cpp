#include "IParam.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace oskel {

namespace {

// Text fields hold at most 31 characters and a terminator.
std::string FieldText(const char* text) {
  std::string s = text ? text : "";
  if (s.size() > IParam::kMaxTextLen - 1) s.resize(IParam::kMaxTextLen - 1);
  return s;
}

}  // namespace

double IParam::ShapeLinear::FromNormalized(double normalized, const IParam& param) const {
  return param.GetMin() + normalized * (param.GetMax() - param.GetMin());
}

double IParam::ShapeLinear::ToNormalized(double plain, const IParam& param) const {
  return (plain - param.GetMin()) / (param.GetMax() - param.GetMin());
}

IParam::IParam() : mShape(std::make_unique<ShapeLinear>()) {}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal,
                        double step, const char* label, int flags, const char* group,
                        const Shape& shape, int unit, DisplayFunc displayFunc) {
  if (mType == kTypeNone) mType = kTypeDouble;
  mName = FieldText(name);
  mLabel = FieldText(label);
  mGroup = FieldText(group);
  mMin = minVal;
  mMax = std::max(minVal + step, maxVal);
  mStep = step;
  mDefault = defaultVal;
  mUnit = unit;
  mFlags = flags;
  mDisplayFunc = std::move(displayFunc);
  Set(Constrain(defaultVal));

  mDisplayPrecision = 0;
  double s = step;
  while (s != std::floor(s) && mDisplayPrecision < 6) {
    ++mDisplayPrecision;
    s *= 10.0;
  }

  mShape.reset(shape.Clone());
  mShape->Init(*this);
}

void IParam::InitEnum(const char* name, int defaultVal, int count, const char* label, int flags,
                      const char* group, const std::vector<const char*>& texts) {
  if (mType == kTypeNone) mType = kTypeEnum;
  InitDouble(name, defaultVal, 0.0, count - 1, 1.0, label, flags | kFlagStepped, group,
             ShapeLinear(), kUnitCustom);
  if (!texts.empty()) {
    for (int i = 0; i < count && i < static_cast<int>(texts.size()); ++i)
      SetDisplayText(i, texts[static_cast<size_t>(i)]);
  }
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, int flags,
                      const char* group, const char* offText, const char* onText) {
  if (mType == kTypeNone) mType = kTypeBool;
  InitEnum(name, defaultVal ? 1 : 0, 2, label, flags | kFlagStepped, group);
  SetDisplayText(0, offText);
  SetDisplayText(1, onText);
}

void IParam::SetDisplayText(double value, const char* text) {
  mDisplayTexts.push_back({value, FieldText(text)});
}

double IParam::Constrain(double value) const {
  if (mFlags & kFlagStepped) value = std::round(value / mStep) * mStep;
  // NaN compares false everywhere; clamp it to the minimum so it never becomes a value.
  if (!(value >= mMin)) return mMin;
  return std::min(value, mMax);
}

double IParam::ToNormalized(double plain) const {
  const double n = mShape->ToNormalized(Constrain(plain), *this);
  if (!(n >= 0.0)) return 0.0;
  return std::min(n, 1.0);
}

double IParam::FromNormalized(double normalized) const {
  return Constrain(mShape->FromNormalized(normalized, *this));
}

const char* IParam::GetDisplayText(double value) const {
  for (const DisplayText& entry : mDisplayTexts)
    if (entry.value == value) return entry.text.c_str();
  return nullptr;
}

std::string IParam::GetDisplay(double value, bool normalized, bool withDisplayTexts) const {
  if (normalized) value = FromNormalized(value);
  if (mDisplayFunc) {
    std::string text;
    mDisplayFunc(value, text);
    return FieldText(text.c_str());
  }
  if (withDisplayTexts) {
    const char* text = GetDisplayText(value);
    if (text && *text) return text;
  }
  if (mFlags & kFlagNegateDisplay) value = -value;
  if (value == 0.0) value = 0.0;  // never show a negative zero

  char buf[64];
  if (mDisplayPrecision == 0) {
    const double rounded = std::round(value);
    if (std::fabs(rounded) < 2147483647.0)
      std::snprintf(buf, sizeof buf, "%d", static_cast<int>(rounded));
    else
      std::snprintf(buf, sizeof buf, "%.0f", rounded);
  } else if ((mFlags & kFlagSignDisplay) && value != 0.0) {
    char fmt[16];
    std::snprintf(fmt, sizeof fmt, "%%+.%df", mDisplayPrecision);
    std::snprintf(buf, sizeof buf, fmt, value);
  } else {
    std::snprintf(buf, sizeof buf, "%.*f", mDisplayPrecision, value);
  }
  return FieldText(buf);
}

double IParam::StringToValue(const char* text) const {
  if (!text) text = "";
  for (const DisplayText& entry : mDisplayTexts)
    if (entry.text == text) return entry.value;
  if (mType == kTypeBool || mType == kTypeEnum) return 0.0;
  double v = std::strtod(text, nullptr);
  if (mFlags & kFlagNegateDisplay) v = -v;
  return Constrain(v);
}

bool IParam::StringToValue(const char* text, double& value) const {
  if (!text) return false;
  for (const DisplayText& entry : mDisplayTexts)
    if (entry.text == text) {
      value = entry.value;
      return true;
    }
  char* end = nullptr;
  const double number = std::strtod(text, &end);
  if (end == text || !std::isfinite(number)) return false;
  value = StringToValue(text);
  return true;
}

std::string IParam::GetLabel() const {
  const char* text = GetDisplayText(std::trunc(Value()));
  if (text && *text) return "";
  return mLabel;
}

}  // namespace oskel
