#include "PageMessage.h"

#include <cmath>
#include <cstring>
#include <limits>

#include <nlohmann/json.hpp>

#include "Base64.h"
#include "EditorProtocol.h"

namespace oskel {

namespace {

using Json = nlohmann::json;

// A JSON number as a signed 32-bit integer; reals are truncated toward zero. Numbers that do
// not fit are refused instead of wrapping.
bool ReadInt(const Json& object, const char* name, int& out) {
  const auto it = object.find(name);
  if (it == object.end()) return false;
  double value = 0.0;
  if (it->is_number_integer())
    value = static_cast<double>(it->get<int64_t>());
  else if (it->is_number_unsigned())
    value = static_cast<double>(it->get<uint64_t>());
  else if (it->is_number_float())
    value = std::trunc(it->get<double>());
  else
    return false;
  if (!(value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())) return false;
  out = static_cast<int>(value);
  return true;
}

bool ReadDouble(const Json& object, const char* name, double& out) {
  const auto it = object.find(name);
  if (it == object.end() || !it->is_number()) return false;
  out = it->get<double>();
  return std::isfinite(out);
}

bool ReadBool(const Json& object, const char* name, bool& out) {
  const auto it = object.find(name);
  if (it == object.end() || !it->is_boolean()) return false;
  out = it->get<bool>();
  return true;
}

bool ReadKey(const Json& object, PageMessage& message) {
  int keyCode = 0;
  bool shift = false, ctrl = false, alt = false;
  const auto text = object.find("utf8");
  if (!ReadInt(object, "keyCode", keyCode) || text == object.end() || !text->is_string() ||
      !ReadBool(object, "S", shift) || !ReadBool(object, "C", ctrl) || !ReadBool(object, "A", alt) ||
      !ReadBool(object, "isUp", message.keyUp))
    return false;
  const std::string& utf8 = text->get_ref<const std::string&>();
  message.key = KeyPress(utf8.c_str(), VirtualKeyFromBrowserKeyCode(keyCode), shift, ctrl, alt);
  return true;
}

bool ReadMidi(const Json& object, PageMessage& message) {
  int status = 0, data1 = 0, data2 = 0;
  if (!ReadInt(object, "statusByte", status) || !ReadInt(object, "dataByte1", data1) ||
      !ReadInt(object, "dataByte2", data2))
    return false;
  message.midi.offset = 0;
  message.midi.status = static_cast<uint8_t>(status & 0xFF);
  message.midi.data1 = static_cast<uint8_t>(data1 & 0xFF);
  message.midi.data2 = static_cast<uint8_t>(data2 & 0xFF);
  return true;
}

bool ReadArbitrary(const Json& object, PageMessage& message) {
  if (!ReadInt(object, "msgTag", message.msgTag) || !ReadInt(object, "ctrlTag", message.ctrlTag)) return false;
  const auto data = object.find("data");
  if (data != object.end() && data->is_string()) {
    message.hasData = true;
    message.data = Base64Decode(data->get_ref<const std::string&>());
  }
  return true;
}

}  // namespace

std::optional<PageMessage> ParsePageMessage(std::string_view json) {
  if (json.size() > PageMessage::kMaxLength) return std::nullopt;
  const Json object = Json::parse(json.begin(), json.end(), nullptr, false);
  if (object.is_discarded() || !object.is_object()) return std::nullopt;
  const auto name = object.find("msg");
  if (name == object.end() || !name->is_string()) return std::nullopt;
  const std::string& msg = name->get_ref<const std::string&>();

  PageMessage message;
  bool ok = false;
  if (msg == "SPVFUI") {
    message.kind = PageMessage::kSetParameter;
    ok = ReadDouble(object, "value", message.value) && ReadInt(object, "paramIdx", message.paramIdx);
  } else if (msg == "BPCFUI" || msg == "EPCFUI") {
    message.kind = msg[0] == 'B' ? PageMessage::kBeginEdit : PageMessage::kEndEdit;
    ok = ReadInt(object, "paramIdx", message.paramIdx);
  } else if (msg == "SAMFUI") {
    message.kind = PageMessage::kArbitrary;
    ok = ReadArbitrary(object, message);
  } else if (msg == "SMMFUI") {
    message.kind = PageMessage::kMidi;
    ok = ReadMidi(object, message);
  } else if (msg == "SKPFUI") {
    message.kind = PageMessage::kKey;
    ok = ReadKey(object, message);
  }
  if (!ok) return std::nullopt;
  return message;
}

}  // namespace oskel
