#include "EnvironmentOptions.h"

#include <cwchar>

namespace oskel::platform::win {

ComRef<ICoreWebView2EnvironmentOptions> EnvironmentOptions::Make() {
  auto* options = new EnvironmentOptions();
  options->put_AllowSingleSignOnUsingOSPrimaryAccount(FALSE);
  options->put_ExclusiveUserDataFolderAccess(FALSE);
  options->put_IsCustomCrashReportingEnabled(FALSE);
  options->put_TargetCompatibleBrowserVersion(kTargetBrowserVersion);
  return ComRef<ICoreWebView2EnvironmentOptions>::Adopt(options);
}

HRESULT EnvironmentOptions::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  // IUnknown is always answered with the first interface, so the object has one identity.
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIid<ICoreWebView2EnvironmentOptions>))
    *object = static_cast<ICoreWebView2EnvironmentOptions*>(this);
  else if (IsEqualIID(iid, kIid<ICoreWebView2EnvironmentOptions2>))
    *object = static_cast<ICoreWebView2EnvironmentOptions2*>(this);
  else if (IsEqualIID(iid, kIid<ICoreWebView2EnvironmentOptions3>))
    *object = static_cast<ICoreWebView2EnvironmentOptions3*>(this);
  else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG EnvironmentOptions::Release() {
  const ULONG refs = --mRefs;
  if (refs == 0) delete this;
  return refs;
}

HRESULT EnvironmentOptions::Get(const OptionalText& text, LPWSTR* value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  if (!text.set) return S_OK;
  const size_t bytes = (text.text.size() + 1) * sizeof(wchar_t);
  auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
  if (!copy) return E_OUTOFMEMORY;
  std::wmemcpy(copy, text.text.c_str(), text.text.size() + 1);
  *value = copy;
  return S_OK;
}

HRESULT EnvironmentOptions::Put(OptionalText& text, LPCWSTR value) {
  text.set = value != nullptr;
  text.text = value ? value : L"";
  return S_OK;
}

HRESULT EnvironmentOptions::Get(BOOL flag, BOOL* value) {
  if (!value) return E_POINTER;
  *value = flag;
  return S_OK;
}

HRESULT EnvironmentOptions::get_AdditionalBrowserArguments(LPWSTR* value) {
  return Get(mAdditionalBrowserArguments, value);
}
HRESULT EnvironmentOptions::put_AdditionalBrowserArguments(LPCWSTR value) {
  return Put(mAdditionalBrowserArguments, value);
}
HRESULT EnvironmentOptions::get_Language(LPWSTR* value) { return Get(mLanguage, value); }
HRESULT EnvironmentOptions::put_Language(LPCWSTR value) { return Put(mLanguage, value); }
HRESULT EnvironmentOptions::get_TargetCompatibleBrowserVersion(LPWSTR* value) {
  return Get(mTargetCompatibleBrowserVersion, value);
}
HRESULT EnvironmentOptions::put_TargetCompatibleBrowserVersion(LPCWSTR value) {
  return Put(mTargetCompatibleBrowserVersion, value);
}
HRESULT EnvironmentOptions::get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) {
  return Get(mAllowSingleSignOn, allow);
}
HRESULT EnvironmentOptions::put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) {
  mAllowSingleSignOn = allow;
  return S_OK;
}
HRESULT EnvironmentOptions::get_ExclusiveUserDataFolderAccess(BOOL* value) {
  return Get(mExclusiveUserDataFolderAccess, value);
}
HRESULT EnvironmentOptions::put_ExclusiveUserDataFolderAccess(BOOL value) {
  mExclusiveUserDataFolderAccess = value;
  return S_OK;
}
HRESULT EnvironmentOptions::get_IsCustomCrashReportingEnabled(BOOL* value) {
  return Get(mCustomCrashReporting, value);
}
HRESULT EnvironmentOptions::put_IsCustomCrashReportingEnabled(BOOL value) {
  mCustomCrashReporting = value;
  return S_OK;
}

}  // namespace oskel::platform::win
