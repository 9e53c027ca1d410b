#include "WebViewEnvironment.h"

#include <shlobj.h>

#include "EnvironmentOptions.h"
#include "WideText.h"
#include "platform/Platform.h"

namespace oskel::platform::win {

namespace {

// Released never: the runtime's browser process serves every editor until the process ends.
ComRef<ICoreWebView2Environment>& SharedEnvironment() {
  static auto* shared = new ComRef<ICoreWebView2Environment>();
  return *shared;
}

}  // namespace

CreateCoreWebView2EnvironmentWithOptionsProc LoaderEntry() {
  const std::wstring path = ToWide(ModuleFolder()) + L"WebView2Loader.dll";
  HMODULE loader = GetModuleHandleW(path.c_str());
  // Loaded once and kept: the environment it creates lives as long as the process.
  if (!loader) loader = LoadLibraryW(path.c_str());
  if (!loader) return nullptr;
  return reinterpret_cast<CreateCoreWebView2EnvironmentWithOptionsProc>(
      reinterpret_cast<void*>(GetProcAddress(loader, "CreateCoreWebView2EnvironmentWithOptions")));
}

std::wstring WebViewCacheFolder() {
  wchar_t roaming[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, roaming)) || !roaming[0])
    return {};
  return std::wstring(roaming) + L"\\Oskel\\WebViewCache";
}

bool RequestEnvironment(EnvironmentReady ready) {
  if (ComRef<ICoreWebView2Environment>& shared = SharedEnvironment()) {
    ready(shared.Get());
    return true;
  }
  const CreateCoreWebView2EnvironmentWithOptionsProc create = LoaderEntry();
  if (!create) return false;

  auto completed = EnvironmentCompleted::Make([ready](HRESULT result, ICoreWebView2Environment* environment) {
    if (FAILED(result) || !environment) {
      ready(nullptr);
      return S_OK;
    }
    // Two editors opened before the first environment arrived each asked for one; the later
    // one becomes the shared environment.
    SharedEnvironment() = ComRef<ICoreWebView2Environment>::Share(environment);
    ready(environment);
    return S_OK;
  });
  const std::wstring cacheFolder = WebViewCacheFolder();
  // Without a roaming folder the runtime's own default folder is used rather than a relative
  // path, which would land beside the host's executable.
  const wchar_t* userDataFolder = cacheFolder.empty() ? nullptr : cacheFolder.c_str();
  const ComRef<ICoreWebView2EnvironmentOptions> options = EnvironmentOptions::Make();
  if (SUCCEEDED(create(nullptr, userDataFolder, options.Get(), completed.Get()))) return true;
  return SUCCEEDED(create(nullptr, userDataFolder, nullptr, completed.Get()));
}

}  // namespace oskel::platform::win
