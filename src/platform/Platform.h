#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The operating-system services the plug-in uses, behind one small interface.
// Each operating system has its implementation in src/platform/<os>/, one file per service.
namespace oskel::platform {

// ---- Thread timers -------------------------------------------------------------------------
// A periodic timer whose ticks arrive on the user-interface thread, one at a time and never
// concurrently with any other tick or posted task. On Windows this is a window-less thread
// timer of the creating thread; on Linux every tick is delivered by the process-wide run loop.
using TimerId = uintptr_t;
using TimerProc = void (*)(TimerId id);

// Returns 0 when the system refuses the timer.
TimerId SetThreadTimer(uint32_t periodMs, TimerProc proc);
void KillThreadTimer(TimerId id);

// Runs `task` on the user-interface thread (the thread that delivers the timer ticks).
void PostToUIThread(std::function<void()> task);

// ---- Locks ---------------------------------------------------------------------------------
// Process-wide re-entrant lock (a critical section on Windows): its owner may take it again.
class RecursiveLock {
 public:
  RecursiveLock();
  ~RecursiveLock();
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;
  void Lock();
  void Unlock();

 private:
  alignas(16) unsigned char mStorage[64];
};

class ScopedLock {
 public:
  explicit ScopedLock(RecursiveLock& lock) : mLock(lock) { mLock.Lock(); }
  ~ScopedLock() { mLock.Unlock(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  RecursiveLock& mLock;
};

// ---- Module --------------------------------------------------------------------------------
// Full path (UTF-8) of the module file that contains this code; empty when it cannot be read.
std::string ModulePath();
// Folder part of ModulePath(), with the trailing separator; empty when there is none.
std::string ModuleFolder();

// ---- Shell ---------------------------------------------------------------------------------
// Opens a web address in the user's default browser. Returns false when that fails.
// `ownerWindow` (a native window, may be null) owns whatever the shell shows meanwhile.
bool OpenUrl(const std::string& url, void* ownerWindow = nullptr);

}  // namespace oskel::platform

#include <memory>

// ---- Web view ------------------------------------------------------------------------------
// The embedded browser that shows the editor page. One browser runtime per process (started
// by the first editor and kept until the process ends); one page per open editor.
namespace oskel::platform {

// A rectangle in physical pixels of the parent window.
struct WebViewRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Events of one page. Every call arrives on the user-interface thread, one at a time, and none
// arrives (or is still running) once WebView::Close() has returned.
class WebViewListener {
 public:
  virtual ~WebViewListener() = default;
  // The page exists (ok) or could not be created (the editor then stays empty).
  virtual void OnWebViewCreated(bool ok) = 0;
  // A navigation of the page is about to start; false cancels it.
  virtual bool OnNavigationStarting(const std::string& url) = 0;
  // A navigation has finished; success is false for a failed one.
  virtual void OnNavigationCompleted(bool success) = 0;
  // The page posted a message: the JSON text of the posted object.
  virtual void OnWebMessage(const std::string& json) = 0;
  // The page asks for a new window; true when the request was handled (no window opens).
  virtual bool OnNewWindowRequested(const std::string& url) = 0;

  // Downloads, where the browser reports them (WebView2 on Windows). A download that no
  // listener accepts is cancelled.
  // A download of `mimeType` is about to start; false cancels it.
  virtual bool OnDownloadStarting(const std::string& /*mimeType*/) { return false; }
  // The browser proposes `proposedPath` for the file; the answer replaces it unless empty.
  virtual std::string OnDownloadPath(const std::string& /*proposedPath*/) { return {}; }
  virtual void OnDownloadProgress(int64_t /*bytesReceived*/, int64_t /*totalBytes*/) {}
  // The download has ended: completed, or interrupted (failed or cancelled).
  virtual void OnDownloadFinished(const std::string& /*path*/, bool /*completed*/) {}
};

// One page. Thread-safe: operations may come from any thread; they are queued to the browser
// and carried out in the order given. Operations before OnWebViewCreated(true) are dropped.
class WebView {
 public:
  virtual ~WebView() = default;
  // Registers a script that runs at the creation of every document, before the page's own.
  virtual void AddDocumentScript(const std::string& script) = 0;
  // Shows `html` as the page's document (served from the virtual host's root).
  virtual void NavigateToString(const std::string& html) = 0;
  // Serves the files of `folder` under https://<kWebViewVirtualHost>/ (folder "" serves none).
  virtual void MapVirtualHostToFolder(const std::string& folder) = 0;
  virtual void Navigate(const std::string& url) = 0;
  // Runs a statement in the current document; the result is not used.
  virtual void ExecuteScript(const std::string& script) = 0;
  virtual void SetBounds(const WebViewRect& bounds) = 0;
  // The host's content scale, where the page itself has to render at it (on Linux the bounds
  // are the page's size in CSS pixels and the scale becomes its device pixel ratio). WebView2
  // follows the window's DPI by itself.
  virtual void SetDeviceScale(float /*scale*/) {}
  // Tools and tests: sends one browser command (DevTools method and JSON parameters) to the page
  // and waits up to timeoutMs for its JSON result. False on error or timeout. Never call it on
  // the user-interface thread while that thread is needed for the answer.
  virtual bool CallDevTools(const std::string& method, const std::string& paramsJson, std::string& resultJson,
                            int timeoutMs) = 0;
  // Closes the page; afterwards no listener call is made or in progress.
  virtual void Close() = 0;
};

// The host name whose secure address (https://) serves the editor's documents.
extern const char* const kWebViewVirtualHost;

// Starts creating a page in `parentWindow` with the initial bounds; the result comes through
// the listener's OnWebViewCreated. Returns null when no browser runtime can be started.
std::shared_ptr<WebView> CreateWebView(void* parentWindow, const WebViewRect& bounds, WebViewListener* listener,
                                       bool devTools);

// The client rectangle of a native window; false when it cannot be read.
bool GetWindowClientRect(void* window, WebViewRect& rect);
// The window's display scale (DPI / 96); 1.0 when it cannot be read.
float GetWindowScale(void* window);

// ---- Keyboard ------------------------------------------------------------------------------
// The virtual key and shift state that produce character `c` on the keyboard layout in use, as
// one 16-bit value (low byte the Windows virtual-key code, high byte 1 shift, 2 control, 4 alt);
// -1 when no key produces it.
int16_t KeyScan(char c);
// Hands a key-down of `virtualKey` to the host's window, so that it sees keys the editor does
// not use (the space bar that starts the host's transport).
void PostKeyDown(void* window, int virtualKey);

}  // namespace oskel::platform
