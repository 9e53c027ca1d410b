#pragma once

#include <string>

#include "framework/MidiMessage.h"

// The texts of the channel between the plug-in and its editor page: the statements the plug-in
// runs in the page (calls of the page's global functions SPVFD, SCVFD, SCMFD, SAMFD, SMMFD),
// the scripts injected into every document, and the message tags both sides agree on.
// Pure functions; any thread.
namespace oskel {

// Every outgoing statement is formatted into at most this many bytes; longer ones are cut.
constexpr int kMaxScriptLength = 8192;

// Arbitrary-message tags.
enum EMsgTag : int {
  kMsgTagNone = -1,         // plug-in to page: parameter descriptions
  kMsgTagMeters = 0,        // plug-in to page: meter message
  kMsgTagSetParamValue = 1, // page to plug-in: set a parameter from a plain value
  kMsgTagSpectrum = 3,      // plug-in to page: spectrum picture
  kMsgTagSampleRate = 4,    // plug-in to page: the engine's sample rate, {"t":"rate","fs":...}
  kMsgTagLevels = 5,        // plug-in to page: loudness, input true peak, gain-match gain
  kMsgTagPageState = 6,     // plug-in to page: the page's stored state text, verbatim
  kMsgTagEditorScale = 7,   // plug-in to page: the editor's scale, {"t":"size","scale":S}
  kMsgTagOpenUrl = 10,      // page to plug-in: open a web address
  kMsgTagResetLoudness = 11,   // page to plug-in: restart the loudness measurement
  kMsgTagStorePageState = 12,  // page to plug-in: keep this state text for the page
  kMsgTagEditorSize = 13,      // page to plug-in: {"scale":S}, resize the editor
};

// The longest page state text the plug-in keeps (bytes); a longer one is ignored.
constexpr int kMaxPageStateBytes = 65536;

// printf-style formatting cut to kMaxScriptLength bytes.
std::string FormatStatement(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "SPVFD(%i, %f)": a parameter's normalised value.
std::string ParameterValueStatement(int paramIdx, double normalized);
// "SCVFD(%i, %f)": a control's value.
std::string ControlValueStatement(int ctrlTag, double normalized);
// "SCMFD(%i, %i, %i, '%s')": control tag, message tag, payload size, base64 payload.
std::string ControlMsgStatement(int ctrlTag, int msgTag, int dataSize, const void* data);
// "SAMFD(%i, %i, '%s')": message tag, base64 buffer length, base64 payload.
std::string ArbitraryMsgStatement(int msgTag, int dataSize, const void* data);
// The same statement without the length limit, for payloads that are larger by design (the
// page's state text): cutting them would hand the page a broken text.
std::string UncutArbitraryMsgStatement(int msgTag, int dataSize, const void* data);
// "SMMFD(%i, %i, %i)": status byte and the two data bytes.
std::string MidiMsgStatement(const MidiMessage& msg);

// Scripts registered to run at the creation of every document, in this order.
constexpr int kNumInjectedScripts = 3;
extern const char* const kInjectedScripts[kNumInjectedScripts];

// The virtual-key code of a browser key code sent in an "SKPFUI" message (0 for keys that
// have none): letters, digits, function keys and the editing keys keep their code, the
// keypad digits become the main digits.
int VirtualKeyFromBrowserKeyCode(int keyCode);

}  // namespace oskel
