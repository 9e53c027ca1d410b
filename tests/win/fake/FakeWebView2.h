#pragma once

// A stand-in for WebView2Loader.dll and the browser runtime behind it, built beside the test
// program: its COM objects log the host's calls as text, run completions and navigations only
// when the test asks (as the runtime does from its message loop), and raise page events.
#include <wchar.h>

#if defined(KYR_FAKE_WEBVIEW2_BUILD)
#define KYR_FAKE_API extern "C" __declspec(dllexport)
#else
#define KYR_FAKE_API extern "C" __declspec(dllimport)
#endif

// Clears the call log and any pending callback (objects stay alive).
KYR_FAKE_API void FakeWebView2_ClearLog();

// What real runtimes do and the default fake does not; FakeWebView2_SetModes takes a set of them.
enum FakeWebView2Mode {
  // Completions and navigations run only when this thread's message loop delivers them.
  kFakeCompleteOnMessageLoop = 1,
  // A handler is invoked holding only its registration's reference (which removing itself drops).
  kFakeNoReferenceDuringInvoke = 2,
  // An older runtime: it never asks the options object for its second or third interface.
  kFakeOptionsFirstRevisionOnly = 4,
};
KYR_FAKE_API void FakeWebView2_SetModes(int modes);
// The next `count` requests of an environment or a controller fail at once, or their
// completions report a failure (no object).
KYR_FAKE_API void FakeWebView2_FailEnvironmentRequests(int count);
KYR_FAKE_API void FakeWebView2_FailEnvironmentCallbacks(int count);
KYR_FAKE_API void FakeWebView2_FailControllerRequests(int count);
KYR_FAKE_API void FakeWebView2_FailControllerCallbacks(int count);
// Runs the pending completions and navigations (and those they cause); returns how many.
KYR_FAKE_API int FakeWebView2_RunPending();
KYR_FAKE_API int FakeWebView2_LogSize();
KYR_FAKE_API const char* FakeWebView2_LogEntry(int index);
// Fake runtime objects alive, and references the fake holds on the host's handler objects.
KYR_FAKE_API int FakeWebView2_LiveObjects();
KYR_FAKE_API int FakeWebView2_HeldHandlers();
// Page events of the newest web view.
KYR_FAKE_API void FakeWebView2_PostWebMessage(const wchar_t* json);
KYR_FAKE_API void FakeWebView2_RequestNewWindow(const wchar_t* uri);
KYR_FAKE_API void FakeWebView2_StartDownload(const wchar_t* mimeType);
// Ends the download in progress: 1 interrupted, 2 completed.
KYR_FAKE_API void FakeWebView2_EndDownload(int state);

#if !defined(KYR_FAKE_WEBVIEW2_BUILD)
#include <string>
#include <vector>
// The call log as the tests read it: taken whole (and cleared), or the entries that start with `prefix`.
inline std::vector<std::string> TakeLog() {
  std::vector<std::string> log;
  for (int i = 0; i < FakeWebView2_LogSize(); ++i) log.emplace_back(FakeWebView2_LogEntry(i));
  FakeWebView2_ClearLog();
  return log;
}
inline std::vector<std::string> Matching(const std::vector<std::string>& log, const std::string& prefix) {
  std::vector<std::string> found;
  for (const auto& entry : log)
    if (entry.rfind(prefix, 0) == 0) found.push_back(entry);
  return found;
}
#endif
