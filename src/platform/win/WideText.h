#pragma once

#include <string>

// UTF-8 (the framework's text) to and from UTF-16 (the text of Win32 and of the browser).
// Invalid sequences become U+FFFD; a null pointer is the empty text.
namespace oskel::platform::win {

std::wstring ToWide(const std::string& utf8);
std::string ToUtf8(const wchar_t* utf16);

}  // namespace oskel::platform::win
