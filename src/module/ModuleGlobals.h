#pragma once

namespace oskel {

// Module-wide state kept by the entry points.
void SetModuleHandle(void* handle);
// The framework's copy of the module instance handle (set by the module initialisation hook).
void* GetInstanceHandle();
// InitDll / ExitDll counting: only the first InitDll and the last ExitDll run the module's
// initialisation and de-initialisation hooks. An unbalanced ExitDll returns false.
bool ModuleCountUp();
bool ModuleCountDown();
int ModuleCounter();

}  // namespace oskel
