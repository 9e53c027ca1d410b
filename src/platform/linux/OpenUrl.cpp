#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/Platform.h"

extern char** environ;

namespace oskel::platform {

namespace {

// Openers started by this process that have not been reaped yet.
std::mutex gOpenersMutex;
std::vector<pid_t> gOpeners;

// Collects the openers that have ended, without waiting for the others.
void ReapFinishedOpenersLocked() {
  gOpeners.erase(std::remove_if(gOpeners.begin(), gOpeners.end(),
                                [](pid_t pid) {
                                  int status = 0;
                                  return waitpid(pid, &status, WNOHANG) != 0;
                                }),
                 gOpeners.end());
}

}  // namespace

bool OpenUrl(const std::string& url, void* /*ownerWindow*/) {
  // xdg-open hands the address to the desktop's default browser. Without a desktop it may run
  // the browser itself and last until the user closes it, so it is never waited for: this runs
  // on the user-interface thread, which carries every editor's meters and page messages. An
  // opener is reaped by a later call once it has ended. Only a failed start is reported.
  char arg0[] = "xdg-open";
  std::string address = url;
  char* argv[] = {arg0, address.data(), nullptr};
  std::lock_guard<std::mutex> lock(gOpenersMutex);
  ReapFinishedOpenersLocked();
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
  gOpeners.push_back(pid);
  return true;
}

}  // namespace oskel::platform
