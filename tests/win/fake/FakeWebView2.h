#pragma once

// A stand-in for Microsoft's WebView2Loader.dll and the browser runtime behind it, built as
// WebView2Loader.dll beside the test program. Its COM objects record every call the browser
// host makes (in order, as text), run completion callbacks and navigations only when the test
// asks (as the runtime does from its message loop), and raise page events on request.
#include <wchar.h>

#if defined(KYR_FAKE_WEBVIEW2_BUILD)
#define KYR_FAKE_API extern "C" __declspec(dllexport)
#else
#define KYR_FAKE_API extern "C" __declspec(dllimport)
#endif

// Clears the call log and any pending callback (objects stay alive).
KYR_FAKE_API void FakeWebView2_ClearLog();
// The next `count` environment requests fail at once.
KYR_FAKE_API void FakeWebView2_FailEnvironmentRequests(int count);
// The next navigation of a page completes without success.
KYR_FAKE_API void FakeWebView2_FailNextNavigation();
// Runs every pending completion callback and navigation (and those they cause); returns how many.
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
