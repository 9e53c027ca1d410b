#include <dlfcn.h>

#include "platform/Platform.h"

namespace oskel::platform {

std::string ModulePath() {
  // The shared object that holds this function is the plug-in module (or the executable
  // when the code is linked statically into a tool or test).
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModulePath), &info) == 0 || !info.dli_fname) return {};
  return info.dli_fname;
}

std::string ModuleFolder() {
  const std::string path = ModulePath();
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace oskel::platform
