#include <windows.h>
#include <shellapi.h>

#include <atomic>

#include "Shell.h"
#include "WideText.h"
#include "platform/Platform.h"

namespace oskel::platform {

namespace win {
namespace {
std::atomic<ShellExecuteProc> gShellExecute{&ShellExecuteW};
}  // namespace

void SetShellExecute(ShellExecuteProc proc) { gShellExecute.store(proc ? proc : &ShellExecuteW); }
}  // namespace win

bool OpenUrl(const std::string& url, void* ownerWindow) {
  // The shell hands the address to the user's default browser in a normal window; the owner
  // window parents any message the shell shows. Results of 32 and below are the shell's error
  // codes.
  const std::wstring address = win::ToWide(url);
  const HINSTANCE result = win::gShellExecute.load()(static_cast<HWND>(ownerWindow), L"open", address.c_str(),
                                                     nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace oskel::platform
