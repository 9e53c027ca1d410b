#include "Base64.h"

#include <cmath>

namespace oskel {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int DecodeChar(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

int Base64BufferLength(int size) {
  if (size <= 0) return 1;
  return 4 * static_cast<int>(std::ceil(static_cast<double>(size) / 3.0)) + 1;
}

std::string Base64Encode(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  std::string text;
  if (!bytes || size == 0) return text;
  text.reserve((size + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    const uint32_t group = (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
    text += kAlphabet[(group >> 18) & 63];
    text += kAlphabet[(group >> 12) & 63];
    text += kAlphabet[(group >> 6) & 63];
    text += kAlphabet[group & 63];
  }
  const size_t rest = size - i;
  if (rest == 1) {
    const uint32_t group = uint32_t{bytes[i]} << 16;
    text += kAlphabet[(group >> 18) & 63];
    text += kAlphabet[(group >> 12) & 63];
    text += "==";
  } else if (rest == 2) {
    const uint32_t group = (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8);
    text += kAlphabet[(group >> 18) & 63];
    text += kAlphabet[(group >> 12) & 63];
    text += kAlphabet[(group >> 6) & 63];
    text += '=';
  }
  return text;
}

std::vector<uint8_t> Base64Decode(std::string_view text) {
  const size_t length = text.size();
  size_t padding = 0;
  if (length >= 2 && text[length - 2] == '=')
    padding = 2;
  else if (length >= 1 && text[length - 1] == '=')
    padding = 1;
  const size_t whole = (3 * length) / 4;
  std::vector<uint8_t> out(whole > padding ? whole - padding : 0, 0);

  uint32_t bits = 0;
  int nBits = 0;
  size_t written = 0;
  for (char c : text) {
    if (written >= out.size()) break;
    const int value = DecodeChar(c);
    if (value < 0) break;
    bits = ((bits << 6) | static_cast<uint32_t>(value)) & 0xFFFFFF;
    nBits += 6;
    if (nBits >= 8) {
      nBits -= 8;
      out[written++] = static_cast<uint8_t>((bits >> nBits) & 0xFF);
    }
  }
  return out;
}

}  // namespace oskel
