// Opening a web link from the user-interface thread, with a stand-in for xdg-open that stays
// alive (as xdg-open does when it runs the browser itself) until the test lets it end.
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

namespace {

namespace fs = std::filesystem;

std::atomic<int> gTicks{0};
void CountTick(oskel::platform::TimerId) { gTicks.fetch_add(1); }

// Polls `done` for up to 20 s (a deadline against hanging, not a measure of speed).
bool Eventually(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(OpenUrl, TheLoopKeepsRunningWhileTheOpenerRunsAndAMissingOpenerFails) {
  const fs::path dir = fs::temp_directory_path() / ("kyr-opener-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "bin");
  const fs::path opener = dir / "bin" / "xdg-open";
  std::ofstream(opener) << "#!/bin/sh\n"
                        << "echo \"$1\" > '" << (dir / "started").string() << "'\n"
                        << "while [ ! -e '" << (dir / "release").string() << "' ]; do sleep 0.05; done\n"
                        << "echo > '" << (dir / "ended").string() << "'\n";
  chmod(opener.c_str(), 0755);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
  setenv("PATH", ((dir / "bin").string() + ":" + oldPath).c_str(), 1);

  auto& loop = oskel::platform::RunLoop::Get();
  loop.SetManual(false);
  const oskel::platform::TimerId timer = oskel::platform::SetThreadTimer(5, &CountTick);
  std::atomic<bool> returned{false}, opened{false}, afterOpen{false};
  oskel::platform::PostToUIThread([&] {
    opened = oskel::platform::OpenUrl("https://www.oskel-audio.example/manual");
    returned = true;
  });
  // A page message handled after the link, on the same thread.
  oskel::platform::PostToUIThread([&] { afterOpen = true; });

  ASSERT_TRUE(Eventually([&] { return fs::exists(dir / "started"); })) << "the opener did not start";
  const int ticksBefore = gTicks.load();
  // The opener still runs: the loop has returned from the link and goes on ticking.
  const bool flowing = Eventually([&] { return returned && afterOpen && gTicks.load() >= ticksBefore + 5; });
  const bool openerStillRunning = !fs::exists(dir / "release");
  std::ofstream(dir / "release") << "";
  ASSERT_TRUE(Eventually([&] { return returned && afterOpen; }));
  EXPECT_TRUE(flowing) << "the loop waited for the opener";
  EXPECT_TRUE(openerStillRunning);
  EXPECT_TRUE(opened);
  EXPECT_TRUE(Eventually([&] { return ReadFile(dir / "started") == "https://www.oskel-audio.example/manual\n"; }));

  // No opener at all: the link is reported as not opened.
  setenv("PATH", (dir / "empty").c_str(), 1);
  EXPECT_FALSE(oskel::platform::OpenUrl("https://www.oskel-audio.example/"));
  setenv("PATH", oldPath.c_str(), 1);
  oskel::platform::KillThreadTimer(timer);
  EXPECT_TRUE(Eventually([&] { return fs::exists(dir / "ended"); }));
  fs::remove_all(dir);
}
