// The module's exported entry points: GetPluginFactory, InitDll and ExitDll (and, for Linux
// hosts, ModuleEntry and ModuleExit with the same counting), plus the module globals.
#include <atomic>
#include <mutex>

#include "Factory.h"
#include "ModuleGlobals.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "platform/Platform.h"

#if defined(_WIN32)
#define KYR_EXPORT extern "C" __declspec(dllexport)
#else
#define KYR_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace oskel {

namespace {

std::mutex gModuleMutex;
int gModuleCounter = 0;
void* gModuleHandle = nullptr;
void* gInstanceHandle = nullptr;  // the framework's copy, made by the initialisation hook

bool InitModule() {
  gInstanceHandle = gModuleHandle;
  return true;
}

bool DeinitModule() { return true; }

}  // namespace

void SetModuleHandle(void* handle) { gModuleHandle = handle; }
void* GetInstanceHandle() { return gInstanceHandle; }

bool ModuleCountUp() {
  std::lock_guard<std::mutex> lock(gModuleMutex);
  if (++gModuleCounter == 1) return InitModule();
  return true;
}

bool ModuleCountDown() {
  std::lock_guard<std::mutex> lock(gModuleMutex);
  --gModuleCounter;
  if (gModuleCounter == 0) return DeinitModule();
  if (gModuleCounter < 0) {
    // Unbalanced: undo the decrement so that later balanced calls still work.
    gModuleCounter = 0;
    return false;
  }
  return true;
}

int ModuleCounter() {
  std::lock_guard<std::mutex> lock(gModuleMutex);
  return gModuleCounter;
}

}  // namespace oskel

KYR_EXPORT Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory() { return oskel::GetFactory(); }

KYR_EXPORT bool InitDll() { return oskel::ModuleCountUp(); }

KYR_EXPORT bool ExitDll() { return oskel::ModuleCountDown(); }

#if !defined(_WIN32)
KYR_EXPORT bool ModuleEntry(void* sharedLibraryHandle) {
  oskel::SetModuleHandle(sharedLibraryHandle);
  return oskel::ModuleCountUp();
}

KYR_EXPORT bool ModuleExit() { return oskel::ModuleCountDown(); }
#endif
