#include "ParamDescriptions.h"

#include <nlohmann/json.hpp>

#include "EditorProtocol.h"
#include "framework/IEditorDelegate.h"

namespace oskel {

namespace {

const char* TypeName(IParam::EParamType type) {
  switch (type) {
    case IParam::kTypeBool: return "bool";
    case IParam::kTypeInt: return "int";
    case IParam::kTypeEnum: return "enum";
    case IParam::kTypeDouble: return "float";
    default: return nullptr;
  }
}

// One parameter's description as text. The reals go through "%f", which rounds them to six
// decimals before they are parsed back; the name is written as a JSON string so that a quote
// or backslash in it cannot break the document.
std::string DescriptionText(int paramIdx, const IParam& param) {
  const std::string name = nlohmann::json(std::string(param.GetName())).dump(-1, ' ', false,
                                                                             nlohmann::json::error_handler_t::replace);
  std::string text = "{";
  text += FormatStatement("\"id\":%i, ", paramIdx);
  text += FormatStatement("\"name\":%s, ", name.c_str());
  if (const char* type = TypeName(param.Type())) text += FormatStatement("\"type\":\"%s\", ", type);
  text += FormatStatement("\"min\":%f, ", param.GetMin());
  text += FormatStatement("\"max\":%f, ", param.GetMax());
  text += FormatStatement("\"default\":%f, ", param.GetDefault());
  text += FormatStatement("\"display_type\":%i, ", param.GetShape().GetDisplayType());
  text += "\"rate\":\"control\"}";
  return text.size() > kMaxScriptLength ? text.substr(0, kMaxScriptLength) : text;
}

}  // namespace

std::string BuildParamDescriptions(const IEditorDelegate& delegate) {
  nlohmann::json params = nlohmann::json::array();
  for (int i = 0; i < delegate.NParams(); ++i) {
    const IParam* param = delegate.GetParam(i);
    if (!param) continue;
    // A description that does not parse (a cut text) is left out rather than sent broken.
    nlohmann::json description = nlohmann::json::parse(DescriptionText(i, *param), nullptr, false);
    if (!description.is_discarded()) params.push_back(std::move(description));
  }
  nlohmann::json document;
  document["id"] = "params";
  document["params"] = std::move(params);
  return document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace oskel
