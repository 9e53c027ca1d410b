#include <spawn.h>
#include <sys/wait.h>

#include "platform/Platform.h"

extern char** environ;

namespace oskel::platform {

bool OpenUrl(const std::string& url, void* /*ownerWindow*/) {
  // xdg-open hands the address to the desktop's default browser. The child is not waited
  // for beyond its own start: xdg-open returns once the browser has been asked.
  char arg0[] = "xdg-open";
  std::string address = url;
  char* argv[] = {arg0, address.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) < 0) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace oskel::platform
