// The Windows module entry: keeps the module's instance handle and its folder. InitDll and
// ExitDll (ModuleEntry.cpp) do the module's counted initialisation.
#include <windows.h>

#include <cwchar>

#include "ModuleGlobals.h"

namespace oskel {

namespace {

constexpr size_t kModuleFolderLength = 2048;
wchar_t gModuleFolder[kModuleFolderLength] = {};

// Everything up to and including the last backslash of the module's file name; stays empty
// when the name cannot be read or holds no backslash.
void StoreModuleFolder(HINSTANCE instance) {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const wchar_t* slash = std::wcsrchr(path, L'\\');
  if (!slash) return;
  const size_t count = static_cast<size_t>(slash - path) + 1;
  std::wmemcpy(gModuleFolder, path, count);
  gModuleFolder[count] = L'\0';
}

}  // namespace

// The folder of this module, with its trailing backslash (empty before the module is attached).
const wchar_t* GetModuleFolder();
const wchar_t* GetModuleFolder() { return gModuleFolder; }

}  // namespace oskel

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    oskel::SetModuleHandle(instance);
    oskel::StoreModuleFolder(instance);
  }
  return TRUE;
}
