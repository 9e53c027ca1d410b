#include "WebViewBrowser.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <vector>

extern char** environ;

namespace oskel::platform {

namespace {

// The descriptors the browser expects its pipe ends on.
constexpr int kBrowserInputFd = 3;
constexpr int kBrowserOutputFd = 4;

// A descriptor moved above the low numbers, so that placing it on 3 or 4 in the child is a
// real copy (which clears close-on-exec) and not a no-op.
int MoveHigh(int fd) {
  const int high = fcntl(fd, F_DUPFD_CLOEXEC, 10);
  close(fd);
  return high;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::atomic<int> gLaunchCount{0};

}  // namespace

int ChromiumBrowser::LaunchCount() { return gLaunchCount.load(); }

std::shared_ptr<ChromiumBrowser> ChromiumBrowser::Launch(const std::string& executable, bool headless) {
  if (executable.empty() || access(executable.c_str(), X_OK) != 0) return nullptr;
  std::shared_ptr<ChromiumBrowser> browser(new ChromiumBrowser());
  browser->mHeadless = headless;

  char profileTemplate[] = "/tmp/kyr-webview-XXXXXX";
  if (!mkdtemp(profileTemplate)) return nullptr;
  browser->mProfileDir = profileTemplate;

  int toBrowser[2] = {-1, -1};
  int fromBrowser[2] = {-1, -1};
  if (pipe2(toBrowser, O_CLOEXEC) != 0) return nullptr;
  if (pipe2(fromBrowser, O_CLOEXEC) != 0) {
    close(toBrowser[0]);
    close(toBrowser[1]);
    return nullptr;
  }
  const int childIn = MoveHigh(toBrowser[0]);
  const int childOut = MoveHigh(fromBrowser[1]);
  browser->mToBrowser = toBrowser[1];
  browser->mFromBrowser = fromBrowser[0];

  std::vector<std::string> args = {executable};
  if (headless) args.push_back("--headless");
  for (const char* arg : {"--no-sandbox", "--remote-debugging-pipe", "--disable-gpu", "--no-first-run",
                          "--no-default-browser-check", "--disable-background-networking",
                          "--disable-component-update", "--disable-sync", "--disable-quic", "--mute-audio"})
    args.push_back(arg);
  args.push_back("--user-data-dir=" + browser->mProfileDir);
  args.push_back("about:blank");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, childIn, kBrowserInputFd);
  posix_spawn_file_actions_adddup2(&actions, childOut, kBrowserOutputFd);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // A process group of its own, so that ending the browser ends its helper processes too.
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawnattr_setpgroup(&attributes, 0);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  sigaddset(&signals, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &signals);

  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, executable.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(childIn);
  close(childOut);
  if (spawned != 0) {
    browser->Shutdown();
    return nullptr;
  }
  browser->mPid = pid;
  ++gLaunchCount;
  browser->mAlive.store(true, std::memory_order_release);
  browser->mReader = std::thread([raw = browser.get()] { raw->ReaderMain(); });
  browser->mWriter = std::thread([raw = browser.get()] { raw->WriterMain(); });

  // Browser-wide settings: popups are reported (so that web links can go to the user's
  // browser) and downloads are refused.
  browser->Send("Target.setDiscoverTargets", {{"discover", true}});
  browser->Send("Browser.setDownloadBehavior", {{"behavior", "deny"}});
  return browser;
}

ChromiumBrowser::~ChromiumBrowser() { Shutdown(); }

void ChromiumBrowser::Shutdown() {
  std::lock_guard<std::mutex> shutdownLock(mShutdownMutex);
  mAlive.store(false, std::memory_order_release);
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mStopWriter = true;
    mOutbox.clear();
  }
  mWake.notify_all();
  if (mWriter.joinable()) mWriter.join();
  if (mToBrowser >= 0) close(mToBrowser);  // the browser sees its input end and quits
  mToBrowser = -1;

  if (mPid > 0) {
    // Give the browser a moment to quit on its own, then end its whole process group.
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(1500);
    bool exited = false;
    kill(-mPid, SIGTERM);
    while (!exited && Clock::now() < deadline) {
      int status = 0;
      const pid_t done = waitpid(mPid, &status, WNOHANG);
      exited = done == mPid || (done < 0 && errno == ECHILD);
      if (!exited) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(-mPid, SIGKILL);
    if (!exited) waitpid(mPid, nullptr, 0);
    mPid = -1;
  }
  if (mReader.joinable()) mReader.join();
  if (mFromBrowser >= 0) close(mFromBrowser);
  mFromBrowser = -1;
  FailPending();
  if (!mProfileDir.empty()) {
    std::error_code error;
    std::filesystem::remove_all(mProfileDir, error);
    mProfileDir.clear();
  }
}

void ChromiumBrowser::Send(const std::string& method, nlohmann::json params, const std::string& sessionId,
                           Reply reply) {
  if (!IsAlive()) {
    if (reply) reply(false, nlohmann::json());
    return;
  }
  nlohmann::json message;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    const int id = mNextId++;
    message["id"] = id;
    if (reply) mPending.emplace(id, std::move(reply));
  }
  message["method"] = method;
  message["params"] = params.is_null() ? nlohmann::json::object() : std::move(params);
  if (!sessionId.empty()) message["sessionId"] = sessionId;
  std::string text = message.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mOutbox.push_back(std::move(text));
  }
  mWake.notify_all();
}

void ChromiumBrowser::AddRoute(const std::string& key, EventRoute route) {
  std::lock_guard<std::mutex> lock(mMutex);
  mRoutes[key] = std::move(route);
}

void ChromiumBrowser::RemoveRoute(const std::string& key) {
  std::lock_guard<std::mutex> lock(mMutex);
  mRoutes.erase(key);
}

void ChromiumBrowser::WriterMain() {
  // A browser that has gone away must not end the host with SIGPIPE: the signal stays blocked
  // on this thread, which is the only one writing to the pipe.
  sigset_t pipeSignal;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);

  std::unique_lock<std::mutex> lock(mMutex);
  for (;;) {
    mWake.wait(lock, [this] { return mStopWriter || !mOutbox.empty(); });
    if (mStopWriter) return;
    std::string text = std::move(mOutbox.front());
    mOutbox.pop_front();
    lock.unlock();
    text.push_back('\0');
    const bool written = WriteAll(mToBrowser, text.data(), text.size());
    lock.lock();
    if (!written) {
      mAlive.store(false, std::memory_order_release);
      return;
    }
  }
}

void ChromiumBrowser::ReaderMain() {
  std::string buffer;
  char chunk[65536];
  for (;;) {
    const ssize_t n = read(mFromBrowser, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    buffer.append(chunk, static_cast<size_t>(n));
    size_t start = 0;
    for (size_t end; (end = buffer.find('\0', start)) != std::string::npos; start = end + 1)
      Dispatch(buffer.substr(start, end - start));
    buffer.erase(0, start);
  }
  mAlive.store(false, std::memory_order_release);
  FailPending();
}

void ChromiumBrowser::FailPending() {
  std::map<int, Reply> pending;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    pending.swap(mPending);
  }
  for (auto& [id, reply] : pending) reply(false, nlohmann::json());
}

void ChromiumBrowser::Dispatch(const std::string& text) {
  // A message of an unexpected shape is dropped; nothing of it may escape the reader thread.
  try {
    DispatchMessage(text);
  } catch (const std::exception&) {
  }
}

void ChromiumBrowser::DispatchMessage(const std::string& text) {
  const nlohmann::json message = nlohmann::json::parse(text, nullptr, false);
  if (message.is_discarded() || !message.is_object()) return;

  const auto id = message.find("id");
  if (id != message.end() && id->is_number_integer()) {
    Reply reply;
    {
      std::lock_guard<std::mutex> lock(mMutex);
      const auto it = mPending.find(id->get<int>());
      if (it == mPending.end()) return;
      reply = std::move(it->second);
      mPending.erase(it);
    }
    const auto result = message.find("result");
    if (result != message.end())
      reply(true, *result);
    else
      reply(false, message.value("error", nlohmann::json()));
    return;
  }

  const auto method = message.find("method");
  if (method == message.end() || !method->is_string()) return;
  const nlohmann::json params = message.value("params", nlohmann::json::object());
  std::string key = message.value("sessionId", std::string());
  if (key.empty() && params.contains("targetInfo") && params["targetInfo"].is_object())
    key = "opener:" + params["targetInfo"].value("openerId", std::string());
  EventRoute route;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    const auto it = mRoutes.find(key);
    if (it == mRoutes.end()) return;
    route = it->second;
  }
  route(method->get<std::string>(), params);
}

}  // namespace oskel::platform
