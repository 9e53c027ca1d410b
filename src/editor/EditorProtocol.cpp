#include "EditorProtocol.h"

#include <cstdarg>
#include <cstdio>

#include "Base64.h"

namespace oskel {

const char* const kInjectedScripts[kNumInjectedScripts] = {
    "function IPluginSendMsg(m) {window.chrome.webview.postMessage(m)};",
    "document.addEventListener('keydown', function(e) { if(document.activeElement.type != \"text\") { "
    "IPluginSendMsg({'msg': 'SKPFUI', 'keyCode': e.keyCode, 'utf8': e.key, 'S': e.shiftKey, 'C': e.ctrlKey, "
    "'A': e.altKey, 'isUp': false}); }});",
    "document.addEventListener('keyup', function(e) { if(document.activeElement.type != \"text\") { "
    "IPluginSendMsg({'msg': 'SKPFUI', 'keyCode': e.keyCode, 'utf8': e.key, 'S': e.shiftKey, 'C': e.ctrlKey, "
    "'A': e.altKey, 'isUp': true}); }});",
};

std::string FormatStatement(const char* format, ...) {
  char buffer[kMaxScriptLength + 1];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n < 0) return {};
  return std::string(buffer, static_cast<size_t>(n < kMaxScriptLength ? n : kMaxScriptLength));
}

std::string ParameterValueStatement(int paramIdx, double normalized) {
  return FormatStatement("SPVFD(%i, %f)", paramIdx, normalized);
}

std::string ControlValueStatement(int ctrlTag, double normalized) {
  return FormatStatement("SCVFD(%i, %f)", ctrlTag, normalized);
}

std::string ControlMsgStatement(int ctrlTag, int msgTag, int dataSize, const void* data) {
  const std::string text = dataSize > 0 ? Base64Encode(data, static_cast<size_t>(dataSize)) : std::string();
  return FormatStatement("SCMFD(%i, %i, %i, '%s')", ctrlTag, msgTag, dataSize, text.c_str());
}

std::string ArbitraryMsgStatement(int msgTag, int dataSize, const void* data) {
  // An empty payload is sent as an empty text with buffer length 1 (the terminator alone).
  const bool hasData = dataSize > 0 && data;
  const std::string text = hasData ? Base64Encode(data, static_cast<size_t>(dataSize)) : std::string();
  return FormatStatement("SAMFD(%i, %i, '%s')", msgTag, hasData ? Base64BufferLength(dataSize) : 1, text.c_str());
}

std::string UncutArbitraryMsgStatement(int msgTag, int dataSize, const void* data) {
  const bool hasData = dataSize > 0 && data;
  const std::string text = hasData ? Base64Encode(data, static_cast<size_t>(dataSize)) : std::string();
  return "SAMFD(" + std::to_string(msgTag) + ", " + std::to_string(hasData ? Base64BufferLength(dataSize) : 1) +
         ", '" + text + "')";
}

std::string MidiMsgStatement(const MidiMessage& msg) {
  return FormatStatement("SMMFD(%i, %i, %i)", msg.status, msg.data1, msg.data2);
}

int VirtualKeyFromBrowserKeyCode(int keyCode) {
  switch (keyCode) {
    case 8: case 9: case 13: case 16: case 17: case 18: case 19: case 20: case 27:
      return keyCode;
    default:
      break;
  }
  if ((keyCode >= 32 && keyCode <= 40) || keyCode == 45 || keyCode == 46 || (keyCode >= 48 && keyCode <= 57) ||
      (keyCode >= 65 && keyCode <= 90) || (keyCode >= 112 && keyCode <= 123))
    return keyCode;
  if (keyCode >= 96 && keyCode <= 105) return keyCode - 48;
  return 0;
}

}  // namespace oskel
