#include <cstring>

#include "platform/Platform.h"

namespace oskel::platform {

namespace {

constexpr int16_t kShift = 0x100;
constexpr int16_t kControl = 0x200;

// US keyboard: the punctuation keys (Windows "OEM" virtual keys), unshifted and shifted.
struct PunctuationKey {
  char plain;
  char shifted;
  int16_t vk;
};
constexpr PunctuationKey kPunctuation[] = {
    {';', ':', 0xBA}, {'=', '+', 0xBB}, {',', '<', 0xBC}, {'-', '_', 0xBD}, {'.', '>', 0xBE}, {'/', '?', 0xBF},
    {'`', '~', 0xC0}, {'[', '{', 0xDB}, {'\\', '|', 0xDC}, {']', '}', 0xDD}, {'\'', '"', 0xDE},
};
// The shifted digit row, from 0 to 9.
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

}  // namespace

// Linux has no per-thread keyboard layout that a plug-in could ask, so this is the US layout's
// answer, the same that the Windows lookup gives on a US keyboard.
int16_t KeyScan(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<int16_t>('A' + (c - 'a'));
  if (c >= 'A' && c <= 'Z') return static_cast<int16_t>(kShift | c);
  if (c >= '0' && c <= '9') return static_cast<int16_t>(c);
  if (const char* at = c ? std::strchr(kShiftedDigits, c) : nullptr)
    return static_cast<int16_t>(kShift | ('0' + (at - kShiftedDigits)));
  for (const PunctuationKey& key : kPunctuation) {
    if (c == key.plain) return key.vk;
    if (c == key.shifted) return static_cast<int16_t>(kShift | key.vk);
  }
  switch (c) {
    case ' ': return 0x20;
    case '\b': return 0x08;
    case '\t': return 0x09;
    case '\r': return 0x0D;
    case '\n': return static_cast<int16_t>(kControl | 0x0D);
    case 0x1B: return 0x1B;
    default: break;
  }
  if (c >= 1 && c <= 26) return static_cast<int16_t>(kControl | ('A' + c - 1));
  return -1;
}

// A Linux host embeds the editor through an X11 window that is not ours to send key events to;
// the browser page runs in its own window, so the key stays with the editor.
void PostKeyDown(void* /*window*/, int /*virtualKey*/) {}

}  // namespace oskel::platform
