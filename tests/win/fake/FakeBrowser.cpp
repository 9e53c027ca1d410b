// The fake runtime's loader entry and environment, and the test's control functions.
#include <vector>

#include "FakeRuntime.h"
#include "FakeWebView2.h"

namespace fake {

int gLiveObjects = 0;
int gHeldHandlers = 0;
int gModes = 0;

namespace {

std::vector<std::string> gLog;
std::vector<std::function<void()>> gPending;
// Calls waiting for the thread's message loop (kFakeCompleteOnMessageLoop), oldest first.
std::vector<std::function<void()>> gPosted;
int gEnvironmentFailures = 0;
int gEnvironmentCallbackFailures = 0;
int gControllerFailures = 0;
int gControllerCallbackFailures = 0;

constexpr UINT kRunPostedMessage = WM_APP + 17;

LRESULT CALLBACK PostedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kRunPostedMessage) return DefWindowProcW(window, message, wParam, lParam);
  if (!gPosted.empty()) {
    std::function<void()> call = std::move(gPosted.front());
    gPosted.erase(gPosted.begin());
    call();
  }
  return 0;
}

// A message-only window of the thread that made the first request: its messages run the posted calls.
HWND PostedWindow() {
  static HWND window = [] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &PostedWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KyrFakeWebView2Loop";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
  }();
  return window;
}

std::string BoolText(BOOL value) { return value ? "1" : "0"; }

// What the runtime reads from the host's options object, through each of its interfaces.
std::string DescribeOptions(ICoreWebView2EnvironmentOptions* options) {
  if (!options) return "none";
  LPWSTR version = nullptr;
  LPWSTR again = nullptr;
  LPWSTR language = nullptr;
  BOOL sso = TRUE;
  options->get_TargetCompatibleBrowserVersion(&version);
  options->get_TargetCompatibleBrowserVersion(&again);
  options->get_Language(&language);
  options->get_AllowSingleSignOnUsingOSPrimaryAccount(&sso);
  // Every string handed out is a copy of its own, which the runtime frees.
  std::string text = "target=" + Narrow(version) + (again == version ? " (one copy handed out twice)" : "") +
                     " language=" + (language ? Narrow(language) : "(none)") + " sso=" + BoolText(sso);
  CoTaskMemFree(version);
  if (again != version) CoTaskMemFree(again);
  CoTaskMemFree(language);
  if (gModes & kFakeOptionsFirstRevisionOnly) return text;
  ICoreWebView2EnvironmentOptions2* options2 = nullptr;
  ICoreWebView2EnvironmentOptions3* options3 = nullptr;
  if (SUCCEEDED(options->QueryInterface(kIid<ICoreWebView2EnvironmentOptions2>, reinterpret_cast<void**>(&options2)))) {
    BOOL exclusive = TRUE;
    options2->get_ExclusiveUserDataFolderAccess(&exclusive);
    text += " exclusive=" + BoolText(exclusive);
    options2->Release();
  }
  if (SUCCEEDED(options->QueryInterface(kIid<ICoreWebView2EnvironmentOptions3>, reinterpret_cast<void**>(&options3)))) {
    BOOL crash = TRUE;
    options3->get_IsCustomCrashReportingEnabled(&crash);
    text += " crash=" + BoolText(crash);
    options3->Release();
  }
  return text;
}

class FakeEnvironment final : public Object<ICoreWebView2Environment> {
 public:
  HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
      HWND, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) override {
    Log("Environment.CreateCoreWebView2Controller");
    if (gControllerFailures > 0 && gControllerFailures--) return E_FAIL;
    CompleteLater(handler, [](ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* completed) {
      const bool fail = gControllerCallbackFailures > 0 && gControllerCallbackFailures--;
      ICoreWebView2Controller* controller = fail ? nullptr : NewController();
      completed->Invoke(fail ? HRESULT_FROM_WIN32(ERROR_INVALID_STATE) : S_OK, controller);
      if (controller) controller->Release();
    });
    return S_OK;
  }
  FAKE_NOTIMPL(CreateWebResourceResponse, IStream*, int, LPCWSTR, LPCWSTR, ICoreWebView2WebResourceResponse**)
  FAKE_NOTIMPL(get_BrowserVersionString, LPWSTR*) FAKE_NOTIMPL_EVENT(NewBrowserVersionAvailable)
};

}  // namespace

void Log(const std::string& entry) { gLog.push_back(entry); }

std::string Narrow(const wchar_t* text) {
  std::string narrow;
  for (; text && *text; ++text) narrow += static_cast<char>(*text);
  return narrow;
}

LPWSTR TaskString(const wchar_t* text) {
  const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
  auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
  memcpy(copy, text, bytes);
  return copy;
}

void Defer(std::function<void()> call) {
  if (gModes & kFakeCompleteOnMessageLoop) {
    gPosted.push_back(std::move(call));
    PostMessageW(PostedWindow(), kRunPostedMessage, 0, 0);
    return;
  }
  gPending.push_back(std::move(call));
}

}  // namespace fake

using namespace fake;

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE CreateCoreWebView2EnvironmentWithOptions(
    PCWSTR browserFolder, PCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
  Log("Loader.CreateCoreWebView2EnvironmentWithOptions browser=" + Narrow(browserFolder) +
      " folder=" + Narrow(userDataFolder) + " options=" + DescribeOptions(options));
  if (gEnvironmentFailures > 0 && gEnvironmentFailures--) return E_FAIL;
  // The runtime keeps the options object until the environment exists.
  auto heldOptions = std::make_shared<Held<ICoreWebView2EnvironmentOptions>>(options);
  CompleteLater(handler, [heldOptions](ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* completed) {
    heldOptions->Reset();
    const bool fail = gEnvironmentCallbackFailures > 0 && gEnvironmentCallbackFailures--;
    ICoreWebView2Environment* environment = fail ? nullptr : new FakeEnvironment();
    completed->Invoke(fail ? HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) : S_OK, environment);
    if (environment) environment->Release();
  });
  return S_OK;
}

KYR_FAKE_API void FakeWebView2_ClearLog() { gLog.clear(); }
KYR_FAKE_API void FakeWebView2_FailEnvironmentRequests(int count) { gEnvironmentFailures = count; }
KYR_FAKE_API void FakeWebView2_SetModes(int modes) { gModes = modes; }
KYR_FAKE_API void FakeWebView2_FailEnvironmentCallbacks(int count) { gEnvironmentCallbackFailures = count; }
KYR_FAKE_API void FakeWebView2_FailControllerRequests(int count) { gControllerFailures = count; }
KYR_FAKE_API void FakeWebView2_FailControllerCallbacks(int count) { gControllerCallbackFailures = count; }
KYR_FAKE_API int FakeWebView2_RunPending() {
  int count = 0;
  while (!gPending.empty()) {
    std::vector<std::function<void()>> calls;
    calls.swap(gPending);
    for (auto& call : calls) call();
    count += static_cast<int>(calls.size());
  }
  return count;
}
KYR_FAKE_API int FakeWebView2_LogSize() { return static_cast<int>(gLog.size()); }
KYR_FAKE_API const char* FakeWebView2_LogEntry(int index) {
  return gLog.at(static_cast<size_t>(index)).c_str();
}
KYR_FAKE_API int FakeWebView2_LiveObjects() { return gLiveObjects; }
KYR_FAKE_API int FakeWebView2_HeldHandlers() { return gHeldHandlers; }
