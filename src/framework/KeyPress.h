#pragma once

#include <cstdint>
#include <cstring>

namespace oskel {

// One key event handed from the editor view or the page to the editor delegate.
struct KeyPress {
  int32_t VK = 0;        // Windows virtual-key code, 0 when the key has none
  char utf8[5] = {};     // the key's text, at most 4 bytes and a terminator
  bool S = false;        // shift
  bool C = false;        // command / control
  bool A = false;        // alt

  KeyPress() = default;
  KeyPress(const char* text, int32_t vk, bool shift, bool ctrl, bool alt)
      : VK(vk), S(shift), C(ctrl), A(alt) {
    // Longer texts (key names such as "Enter") are cut to whole UTF-8 characters.
    size_t n = 0;
    if (text) {
      while (text[n] && n < 4) ++n;
      while (n > 0 && n < std::strlen(text) && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
      std::memcpy(utf8, text, n);
    }
    utf8[n] = 0;
  }
};

}  // namespace oskel
