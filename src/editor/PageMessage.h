#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "framework/KeyPress.h"
#include "framework/MidiMessage.h"

namespace oskel {

// One message posted by the editor page (a JSON object naming itself in "msg"), checked and
// converted into the arguments of the plug-in call it asks for. Pure; any thread.
struct PageMessage {
  enum Kind {
    kSetParameter,   // "SPVFUI": paramIdx, value (normalised)
    kBeginEdit,      // "BPCFUI": paramIdx
    kEndEdit,        // "EPCFUI": paramIdx
    kArbitrary,      // "SAMFUI": msgTag, ctrlTag, optional data
    kMidi,           // "SMMFUI": midi
    kKey,            // "SKPFUI": key, keyUp
  };

  // Texts longer than this are not parsed: no message of the page comes near it.
  static constexpr size_t kMaxLength = 1 << 20;

  Kind kind = kSetParameter;
  int paramIdx = 0;
  double value = 0.0;
  int msgTag = 0;
  int ctrlTag = 0;
  bool hasData = false;
  std::vector<uint8_t> data;
  MidiMessage midi;
  KeyPress key;
  bool keyUp = false;
};

// Parses one message. Returns nothing for text that is not a JSON object, an unknown or missing
// "msg", a missing member, a member of the wrong JSON type, an integer member outside the
// signed 32-bit range, or a non-finite value. Parameter indices are not range-checked here.
std::optional<PageMessage> ParsePageMessage(std::string_view json);

}  // namespace oskel
