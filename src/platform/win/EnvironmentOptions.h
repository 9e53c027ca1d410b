#pragma once

#include <atomic>
#include <string>

#include "ComObject.h"

namespace oskel::platform::win {

// The options handed to the browser runtime when the environment is created: one COM object
// with the three options interfaces (three vtables, one identity and one reference count).
// The runtime reads the strings through getters that hand out fresh CoTaskMemAlloc copies.
class EnvironmentOptions final : public ICoreWebView2EnvironmentOptions,
                                 public ICoreWebView2EnvironmentOptions2,
                                 public ICoreWebView2EnvironmentOptions3 {
 public:
  // The runtime version this host was written against.
  static constexpr const wchar_t* kTargetBrowserVersion = L"131.0.2903.40";

  // Single sign-on, exclusive user-data folder access and custom crash reporting off; the
  // target version above.
  static ComRef<ICoreWebView2EnvironmentOptions> Make();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++mRefs; }
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE get_AdditionalBrowserArguments(LPWSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_AdditionalBrowserArguments(LPCWSTR value) override;
  HRESULT STDMETHODCALLTYPE get_Language(LPWSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_Language(LPCWSTR value) override;
  HRESULT STDMETHODCALLTYPE get_TargetCompatibleBrowserVersion(LPWSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_TargetCompatibleBrowserVersion(LPCWSTR value) override;
  HRESULT STDMETHODCALLTYPE get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) override;
  HRESULT STDMETHODCALLTYPE put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) override;
  HRESULT STDMETHODCALLTYPE get_ExclusiveUserDataFolderAccess(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_ExclusiveUserDataFolderAccess(BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_IsCustomCrashReportingEnabled(BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_IsCustomCrashReportingEnabled(BOOL value) override;

 private:
  // An unset string (no value) is handed out as null.
  struct OptionalText {
    bool set = false;
    std::wstring text;
  };

  EnvironmentOptions() { ++LiveComObjects(); }
  ~EnvironmentOptions() { --LiveComObjects(); }
  static HRESULT Get(const OptionalText& text, LPWSTR* value);
  static HRESULT Put(OptionalText& text, LPCWSTR value);
  static HRESULT Get(BOOL flag, BOOL* value);

  std::atomic<ULONG> mRefs{1};
  OptionalText mAdditionalBrowserArguments;
  OptionalText mLanguage;
  OptionalText mTargetCompatibleBrowserVersion;
  BOOL mAllowSingleSignOn = FALSE;
  BOOL mExclusiveUserDataFolderAccess = FALSE;
  BOOL mCustomCrashReporting = FALSE;
};

}  // namespace oskel::platform::win
