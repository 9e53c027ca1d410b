#include "IPluginVST3Parameter.h"

#include <cmath>

#include "StringConvert.h"

namespace oskel {

using namespace Steinberg;
using namespace Steinberg::Vst;

IPluginVST3Parameter::IPluginVST3Parameter(IParam* param, ParamID id, UnitID unitId) : mParam(param) {
  info.id = id;
  Utf8ToUtf16(param->GetName(), info.title, 128);
  info.shortTitle[0] = 0;
  Utf8ToUtf16(param->GetLabel(), info.units, 128);
  info.stepCount = param->Type() == IParam::kTypeDouble ? 0 : static_cast<int32>(std::trunc(param->GetRange()));
  info.defaultNormalizedValue = param->GetDefaultNormalized();
  info.unitId = unitId;
  info.flags = param->GetCanAutomate() ? ParameterInfo::kCanAutomate : 0;
  if (param->Type() == IParam::kTypeEnum) info.flags |= ParameterInfo::kIsList;
  precision = param->GetDisplayPrecision();
  valueNormalized = info.defaultNormalizedValue;
}

void IPluginVST3Parameter::toString(ParamValue normalized, String128 text) const {
  Utf8ToUtf16(mParam->GetDisplay(normalized, true), text, 128);
}

bool IPluginVST3Parameter::fromString(const TChar* text, ParamValue& normalized) const {
  if (!text) return false;
  const std::string narrow = Utf16ToUtf8(text, 128);
  double plain = 0.0;
  if (!mParam->StringToValue(narrow.c_str(), plain)) return false;
  normalized = mParam->ToNormalized(plain);
  return true;
}

ParamValue IPluginVST3Parameter::toPlain(ParamValue normalized) const { return mParam->FromNormalized(normalized); }

ParamValue IPluginVST3Parameter::toNormalized(ParamValue plain) const { return mParam->ToNormalized(plain); }

IPluginVST3BypassParameter::IPluginVST3BypassParameter()
    : StringListParameter(STR16("Bypass"), kBypassParamId, nullptr,
                          ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass | ParameterInfo::kIsList) {
  // appendString copies the text before it grows its list; with room made first, running out
  // of memory can only fail the copy, which then leaks nothing.
  strings.reserve(2);
  appendString(STR16("off"));
  appendString(STR16("on"));
}

}  // namespace oskel
