#pragma once

#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

namespace oskel::platform {

// The process's browser runtime on Linux: one Chromium process driven over the DevTools
// protocol through a pair of pipes (--remote-debugging-pipe: the browser reads commands on its
// descriptor 3 and writes answers and events on its descriptor 4, each message a JSON text
// ended by a NUL byte).
//
// Send() may be called from any thread; it only queues the message for the writer thread, so
// no caller ever waits on the browser. Answers and events are handled on the reader thread:
// an answer goes to the callback given with its command, an event to the route registered for
// its session (or, for Target events about a page opened by another, for the opener's
// "opener:<target id>" route). Callbacks and routes must not block.
class ChromiumBrowser {
 public:
  using Reply = std::function<void(bool ok, const nlohmann::json& result)>;
  using EventRoute = std::function<void(const std::string& method, const nlohmann::json& params)>;

  // Starts the browser. Null when the executable is missing or cannot be started.
  static std::shared_ptr<ChromiumBrowser> Launch(const std::string& executable, bool headless);
  ~ChromiumBrowser();
  ChromiumBrowser(const ChromiumBrowser&) = delete;
  ChromiumBrowser& operator=(const ChromiumBrowser&) = delete;

  // Queues one command; `reply` (optional) is called once, with ok = false when the browser
  // answers with an error or has gone away.
  void Send(const std::string& method, nlohmann::json params, const std::string& sessionId = {},
            Reply reply = nullptr);
  void AddRoute(const std::string& key, EventRoute route);
  void RemoveRoute(const std::string& key);

  // Number of browsers started by this process (tests check that editors share one).
  static int LaunchCount();

  bool IsAlive() const { return mAlive.load(std::memory_order_acquire); }
  bool IsHeadless() const { return mHeadless; }

  // Ends the browser process (its whole process group), joins the threads and removes the
  // temporary profile folder. Safe to call more than once; the destructor calls it.
  void Shutdown();

 private:
  ChromiumBrowser() = default;
  void ReaderMain();
  void WriterMain();
  void Dispatch(const std::string& text);
  void DispatchMessage(const std::string& text);
  void FailPending();

  pid_t mPid = -1;
  int mToBrowser = -1;
  int mFromBrowser = -1;
  bool mHeadless = true;
  std::string mProfileDir;
  std::atomic<bool> mAlive{false};

  std::mutex mMutex;
  std::condition_variable mWake;
  std::deque<std::string> mOutbox;
  bool mStopWriter = false;
  int mNextId = 1;
  std::map<int, Reply> mPending;
  std::map<std::string, EventRoute> mRoutes;

  std::thread mReader;
  std::thread mWriter;
  std::mutex mShutdownMutex;
};

}  // namespace oskel::platform
