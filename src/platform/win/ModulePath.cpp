#include <windows.h>

#include "WideText.h"
#include "platform/Platform.h"

namespace oskel::platform {

std::string ModulePath() {
  // The module that holds this function's code: the plug-in DLL, or the executable when the
  // code is linked statically into a tool or test. The lookup leaves the module's reference
  // count as it is.
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&ModulePath), &module))
    return {};
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  // A full buffer means the name was cut: no usable path.
  if (length == 0 || length >= MAX_PATH) return {};
  return win::ToUtf8(path);
}

std::string ModuleFolder() {
  const std::string path = ModulePath();
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace oskel::platform
