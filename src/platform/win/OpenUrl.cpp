#include <windows.h>
#include <shellapi.h>

#include "WideText.h"
#include "platform/Platform.h"

namespace oskel::platform {

bool OpenUrl(const std::string& url) {
  // The shell hands the address to the user's default browser in a normal window. Results of
  // 32 and below are the shell's error codes.
  const std::wstring address = win::ToWide(url);
  const HINSTANCE result = ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace oskel::platform
