// Opening a web link from the run loop's thread: the loop keeps running while the opener runs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "platform/Platform.h"
#include "platform/linux/RunLoop.h"

namespace fs = std::filesystem;

namespace {

// Polls `done` for up to 20 s (a deadline against hanging, not a measure of speed).
bool Eventually(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return done();
}

}  // namespace

// An xdg-open stand-in lives (as when it runs the browser itself) until the test releases it.
TEST(OpenUrl, TheLoopKeepsRunningWhileTheOpenerRuns) {
  const fs::path dir = fs::temp_directory_path() / ("kyr-opener-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "xdg-open") << "#!/bin/sh\necho \"$1\" > '" << (dir / "started").string() << "'\n"
                                  << "while [ ! -e '" << (dir / "release").string() << "' ] && [ -d '" << dir.string()
                                  << "' ]; do sleep 0.05; done\n";
  chmod((dir / "xdg-open").c_str(), 0755);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
  setenv("PATH", (dir.string() + ":" + oldPath).c_str(), 1);

  oskel::platform::RunLoop::Get().SetManual(false);
  std::atomic<bool> returned{false}, afterOpen{false};
  oskel::platform::PostToUIThread([&] {
    oskel::platform::OpenUrl("https://www.oskel-audio.example/manual");
    returned = true;
  });
  // A page message handled after the link, on the same thread, runs while the opener still runs.
  oskel::platform::PostToUIThread([&] { afterOpen = true; });

  ASSERT_TRUE(Eventually([&] { return fs::exists(dir / "started"); })) << "the opener did not start";
  const bool flowing = Eventually([&] { return returned && afterOpen; });
  std::ofstream(dir / "release") << "";
  ASSERT_TRUE(Eventually([&] { return returned && afterOpen; }));
  setenv("PATH", oldPath.c_str(), 1);
  EXPECT_TRUE(flowing) << "the loop waited for the opener";
  std::string started;
  EXPECT_TRUE(Eventually([&] { return std::getline(std::ifstream(dir / "started"), started) &&
                                      started == "https://www.oskel-audio.example/manual"; }));
  fs::remove_all(dir);
}
