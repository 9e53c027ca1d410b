#include "WideText.h"

#include <windows.h>

namespace oskel::platform::win {

std::wstring ToWide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string ToUtf8(const wchar_t* utf16) {
  if (!utf16 || !*utf16) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, utf16, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16, -1, text.data(), length, nullptr, nullptr);
  text.resize(static_cast<size_t>(length - 1));  // the converted terminator
  return text;
}

}  // namespace oskel::platform::win
