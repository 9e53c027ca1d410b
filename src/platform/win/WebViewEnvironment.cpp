#include "WebViewEnvironment.h"

#include <shlobj.h>

#include <cwctype>

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

std::wstring SystemUserFolder(UserFolder folder) {
  wchar_t path[MAX_PATH + 1] = {};
  if (folder == UserFolder::kTemporary) {
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH) return {};
  } else {
    const int csidl = folder == UserFolder::kRoamingAppData ? CSIDL_APPDATA : CSIDL_LOCAL_APPDATA;
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  }
  std::wstring text(path);
  while (!text.empty() && (text.back() == L'\\' || text.back() == L'/')) text.pop_back();
  return text;
}

UserFolderLookup gUserFolderLookup = &SystemUserFolder;

bool IsAbsoluteFolder(const std::wstring& folder) {
  const bool drive = folder.size() >= 3 && iswalpha(folder[0]) && folder[1] == L':' &&
                     (folder[2] == L'\\' || folder[2] == L'/');
  const bool share = folder.size() >= 3 && folder[0] == L'\\' && folder[1] == L'\\';
  return drive || share;
}

// The runtime holds this module's handlers and options object (and calls them) for as long as
// it likes, also after a host has released every instance and unloaded the module: once the
// first environment is requested, the module stays loaded until the process ends, as the
// environment itself does.
void PinThisModule() {
  static bool pinned = false;
  if (pinned) return;
  HMODULE module = nullptr;
  pinned = GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                              reinterpret_cast<LPCWSTR>(&PinThisModule), &module) != FALSE;
}

}  // namespace

CreateCoreWebView2EnvironmentWithOptionsProc LoaderEntry() { return LoaderEntryIn(ToWide(ModuleFolder())); }

CreateCoreWebView2EnvironmentWithOptionsProc LoaderEntryIn(const std::wstring& folder) {
  if (!IsAbsoluteFolder(folder)) return nullptr;
  const std::wstring path = folder + L"WebView2Loader.dll";
  HMODULE loader = GetModuleHandleW(path.c_str());
  // Loaded once and kept: the environment it creates lives as long as the process.
  if (!loader) loader = LoadLibraryW(path.c_str());
  if (!loader) return nullptr;
  return reinterpret_cast<CreateCoreWebView2EnvironmentWithOptionsProc>(
      reinterpret_cast<void*>(GetProcAddress(loader, "CreateCoreWebView2EnvironmentWithOptions")));
}

void SetUserFolderLookup(UserFolderLookup lookup) { gUserFolderLookup = lookup ? lookup : &SystemUserFolder; }

std::wstring WebViewCacheFolder() {
  for (const UserFolder folder : {UserFolder::kRoamingAppData, UserFolder::kLocalAppData, UserFolder::kTemporary}) {
    const std::wstring base = gUserFolderLookup(folder);
    if (!base.empty()) return base + L"\\Oskel\\WebViewCache";
  }
  return {};
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
  PinThisModule();
  const std::wstring cacheFolder = WebViewCacheFolder();
  // With no folder known at all, the runtime's own default is the only choice left.
  const wchar_t* userDataFolder = cacheFolder.empty() ? nullptr : cacheFolder.c_str();
  const ComRef<ICoreWebView2EnvironmentOptions> options = EnvironmentOptions::Make();
  if (SUCCEEDED(create(nullptr, userDataFolder, options.Get(), completed.Get()))) return true;
  return SUCCEEDED(create(nullptr, userDataFolder, nullptr, completed.Get()));
}

}  // namespace oskel::platform::win
