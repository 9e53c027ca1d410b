#pragma once

#include "pluginterfaces/base/funknown.h"

namespace kyr {

// A private extension interface of Kyr EQ for command-line hosts and tests: the meter values of
// the last processed block, as the text of the editor's meter message (a JSON object).
// Hosts that do not know the interface never ask for it. Main thread.
class IKyrMeters : public Steinberg::FUnknown {
 public:
  // Writes the text, cut to size - 1 bytes and terminated; kResultOk, or kInvalidArgument for
  // a missing buffer.
  virtual Steinberg::tresult PLUGIN_API getMeterText(Steinberg::char8* text, Steinberg::int32 size) = 0;
  // Tells the plug-in whether this host reads the meters. The display-only measurements (true
  // peak, tube distortion and its split, the spectrum history) run only while the editor is
  // open or a host has asked for them, so a host that reports meters asks before it processes.
  // kResultOk.
  virtual Steinberg::tresult PLUGIN_API setMeterReader(Steinberg::TBool reading) = 0;
  static const Steinberg::FUID iid;
};

// The second version (the first had no setMeterReader): a host built against it finds no
// interface in an older module instead of calling past its table.
DECLARE_CLASS_IID(IKyrMeters, 0x4B79724D, 0x65746572, 0x5465787A, 0x00000002)

}  // namespace kyr
