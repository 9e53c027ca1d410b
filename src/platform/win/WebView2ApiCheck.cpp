// Compile-time check of the hand-written WebView2 declarations (WebView2Api.h) against the
// runtime's published interface tables, typed here a second time from those tables rather than
// from the declarations. The host's fake runtime is compiled from the same declarations as the
// host, so a wrong parameter type that keeps the slot (RECT* for RECT, float for double, bool
// for BOOL, INT32* for INT64*) or a wrong interface ID would pass every test on both sides:
// here it stops the build. Every method the host calls or implements is listed with its exact
// member-function type (declaring interface, parameters, calling convention), and every IID the
// host uses is spelled out.
#include <cstddef>
#include <type_traits>

#include "WebView2Api.h"

namespace oskel::platform::win {
namespace {

// ---- Member-function types -----------------------------------------------------------------
// The method must be declared by `Interface` itself (not inherited) with exactly these
// parameters, returning HRESULT with the COM calling convention.
#define KYR_CHECK_METHOD(Interface, method, ...)                                                         \
  static_assert(std::is_same_v<decltype(&Interface::method), HRESULT (STDMETHODCALLTYPE Interface::*)(__VA_ARGS__)>, \
                #Interface "::" #method " does not match the runtime's interface table")

// Environment (the host calls).
KYR_CHECK_METHOD(ICoreWebView2Environment, CreateCoreWebView2Controller, HWND,
                 ICoreWebView2CreateCoreWebView2ControllerCompletedHandler*);

// Environment options (the host implements all three interfaces; the runtime calls them).
KYR_CHECK_METHOD(ICoreWebView2EnvironmentOptions, get_AdditionalBrowserArguments, LPWSTR*);
KYR_CHECK_METHOD(ICoreWebView2EnvironmentOptions, put_AdditionalBrowserArguments, LPCWSTR);
KYR_CHECK_METHOD(ICoreWebView2EnvironmentOptions, get_Language, LPWSTR*);
KYR_CHECK_METHOD(ICoreWebView2EnvironmentOptions, put_Language, LPCWSTR);
KYR_CHECK_METHOD(ICoreWebView2EnvironmentOptions, get_TargetCompatibleBrowserVersion, LPWSTR*);
KYR_CHECK_METHOD(ICoreWebView2EnvironmentOptions, put_TargetCompatibleBrowserVersion, LPCWSTR);
KYR_CHECK_METHOD(ICoreWebView2EnvironmentOptions, get_AllowSingleSignOnUsingOSPrimaryAccount, BOOL*);
KYR_CHECK_METHOD(ICoreWebView2EnvironmentOptions, put_AllowSingleSignOnUsingOSPrimaryAccount, BOOL);
KYR_CHECK_METHOD(ICoreWebView2EnvironmentOptions2, get_ExclusiveUserDataFolderAccess, BOOL*);
KYR_CHECK_METHOD(ICoreWebView2EnvironmentOptions2, put_ExclusiveUserDataFolderAccess, BOOL);
KYR_CHECK_METHOD(ICoreWebView2EnvironmentOptions3, get_IsCustomCrashReportingEnabled, BOOL*);
KYR_CHECK_METHOD(ICoreWebView2EnvironmentOptions3, put_IsCustomCrashReportingEnabled, BOOL);

// Controller.
KYR_CHECK_METHOD(ICoreWebView2Controller, put_IsVisible, BOOL);
KYR_CHECK_METHOD(ICoreWebView2Controller, get_Bounds, RECT*);
KYR_CHECK_METHOD(ICoreWebView2Controller, put_Bounds, RECT);
KYR_CHECK_METHOD(ICoreWebView2Controller, get_ZoomFactor, double*);
KYR_CHECK_METHOD(ICoreWebView2Controller, put_ZoomFactor, double);
KYR_CHECK_METHOD(ICoreWebView2Controller, SetBoundsAndZoomFactor, RECT, double);
KYR_CHECK_METHOD(ICoreWebView2Controller, Close);
KYR_CHECK_METHOD(ICoreWebView2Controller, get_CoreWebView2, ICoreWebView2**);
KYR_CHECK_METHOD(ICoreWebView2Controller2, put_DefaultBackgroundColor, COREWEBVIEW2_COLOR);

// Web view and its revisions.
KYR_CHECK_METHOD(ICoreWebView2, get_Settings, ICoreWebView2Settings**);
KYR_CHECK_METHOD(ICoreWebView2, Navigate, LPCWSTR);
KYR_CHECK_METHOD(ICoreWebView2, NavigateToString, LPCWSTR);
KYR_CHECK_METHOD(ICoreWebView2, add_NavigationStarting, ICoreWebView2NavigationStartingEventHandler*,
                 EventRegistrationToken*);
KYR_CHECK_METHOD(ICoreWebView2, add_NavigationCompleted, ICoreWebView2NavigationCompletedEventHandler*,
                 EventRegistrationToken*);
KYR_CHECK_METHOD(ICoreWebView2, AddScriptToExecuteOnDocumentCreated, LPCWSTR,
                 ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler*);
KYR_CHECK_METHOD(ICoreWebView2, ExecuteScript, LPCWSTR, ICoreWebView2ExecuteScriptCompletedHandler*);
KYR_CHECK_METHOD(ICoreWebView2, add_WebMessageReceived, ICoreWebView2WebMessageReceivedEventHandler*,
                 EventRegistrationToken*);
KYR_CHECK_METHOD(ICoreWebView2, add_NewWindowRequested, ICoreWebView2NewWindowRequestedEventHandler*,
                 EventRegistrationToken*);
KYR_CHECK_METHOD(ICoreWebView2_3, SetVirtualHostNameToFolderMapping, LPCWSTR, LPCWSTR,
                 COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND);
KYR_CHECK_METHOD(ICoreWebView2_4, add_DownloadStarting, ICoreWebView2DownloadStartingEventHandler*,
                 EventRegistrationToken*);

// Settings.
KYR_CHECK_METHOD(ICoreWebView2Settings, put_IsScriptEnabled, BOOL);
KYR_CHECK_METHOD(ICoreWebView2Settings, put_IsWebMessageEnabled, BOOL);
KYR_CHECK_METHOD(ICoreWebView2Settings, put_AreDefaultScriptDialogsEnabled, BOOL);
KYR_CHECK_METHOD(ICoreWebView2Settings, put_AreDevToolsEnabled, BOOL);
KYR_CHECK_METHOD(ICoreWebView2Settings, put_AreDefaultContextMenusEnabled, BOOL);

// Event arguments.
KYR_CHECK_METHOD(ICoreWebView2WebMessageReceivedEventArgs, get_WebMessageAsJson, LPWSTR*);
KYR_CHECK_METHOD(ICoreWebView2WebMessageReceivedEventArgs, TryGetWebMessageAsString, LPWSTR*);
KYR_CHECK_METHOD(ICoreWebView2NavigationStartingEventArgs, get_Uri, LPWSTR*);
KYR_CHECK_METHOD(ICoreWebView2NavigationStartingEventArgs, put_Cancel, BOOL);
KYR_CHECK_METHOD(ICoreWebView2NavigationCompletedEventArgs, get_IsSuccess, BOOL*);
KYR_CHECK_METHOD(ICoreWebView2NavigationCompletedEventArgs, get_WebErrorStatus, COREWEBVIEW2_WEB_ERROR_STATUS*);
KYR_CHECK_METHOD(ICoreWebView2NavigationCompletedEventArgs, get_NavigationId, UINT64*);
KYR_CHECK_METHOD(ICoreWebView2NewWindowRequestedEventArgs, get_Uri, LPWSTR*);
KYR_CHECK_METHOD(ICoreWebView2NewWindowRequestedEventArgs, put_Handled, BOOL);
KYR_CHECK_METHOD(ICoreWebView2NewWindowRequestedEventArgs2, get_Name, LPWSTR*);
KYR_CHECK_METHOD(ICoreWebView2DownloadStartingEventArgs, get_DownloadOperation, ICoreWebView2DownloadOperation**);
KYR_CHECK_METHOD(ICoreWebView2DownloadStartingEventArgs, put_Cancel, BOOL);
KYR_CHECK_METHOD(ICoreWebView2DownloadStartingEventArgs, get_ResultFilePath, LPWSTR*);
KYR_CHECK_METHOD(ICoreWebView2DownloadStartingEventArgs, put_ResultFilePath, LPCWSTR);
KYR_CHECK_METHOD(ICoreWebView2DownloadStartingEventArgs, put_Handled, BOOL);

// Download operation.
KYR_CHECK_METHOD(ICoreWebView2DownloadOperation, add_BytesReceivedChanged,
                 ICoreWebView2BytesReceivedChangedEventHandler*, EventRegistrationToken*);
KYR_CHECK_METHOD(ICoreWebView2DownloadOperation, remove_BytesReceivedChanged, EventRegistrationToken);
KYR_CHECK_METHOD(ICoreWebView2DownloadOperation, add_StateChanged, ICoreWebView2StateChangedEventHandler*,
                 EventRegistrationToken*);
KYR_CHECK_METHOD(ICoreWebView2DownloadOperation, remove_StateChanged, EventRegistrationToken);
KYR_CHECK_METHOD(ICoreWebView2DownloadOperation, get_MimeType, LPWSTR*);
KYR_CHECK_METHOD(ICoreWebView2DownloadOperation, get_TotalBytesToReceive, INT64*);
KYR_CHECK_METHOD(ICoreWebView2DownloadOperation, get_BytesReceived, INT64*);
KYR_CHECK_METHOD(ICoreWebView2DownloadOperation, get_ResultFilePath, LPWSTR*);
KYR_CHECK_METHOD(ICoreWebView2DownloadOperation, get_State, COREWEBVIEW2_DOWNLOAD_STATE*);

// Handlers (the host implements Invoke; the runtime calls it).
KYR_CHECK_METHOD(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, Invoke, HRESULT,
                 ICoreWebView2Environment*);
KYR_CHECK_METHOD(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, Invoke, HRESULT,
                 ICoreWebView2Controller*);
KYR_CHECK_METHOD(ICoreWebView2WebMessageReceivedEventHandler, Invoke, ICoreWebView2*,
                 ICoreWebView2WebMessageReceivedEventArgs*);
KYR_CHECK_METHOD(ICoreWebView2NavigationStartingEventHandler, Invoke, ICoreWebView2*,
                 ICoreWebView2NavigationStartingEventArgs*);
KYR_CHECK_METHOD(ICoreWebView2NavigationCompletedEventHandler, Invoke, ICoreWebView2*,
                 ICoreWebView2NavigationCompletedEventArgs*);
KYR_CHECK_METHOD(ICoreWebView2NewWindowRequestedEventHandler, Invoke, ICoreWebView2*,
                 ICoreWebView2NewWindowRequestedEventArgs*);
KYR_CHECK_METHOD(ICoreWebView2DownloadStartingEventHandler, Invoke, ICoreWebView2*,
                 ICoreWebView2DownloadStartingEventArgs*);
KYR_CHECK_METHOD(ICoreWebView2BytesReceivedChangedEventHandler, Invoke, ICoreWebView2DownloadOperation*, IUnknown*);
KYR_CHECK_METHOD(ICoreWebView2StateChangedEventHandler, Invoke, ICoreWebView2DownloadOperation*, IUnknown*);
KYR_CHECK_METHOD(ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler, Invoke, HRESULT, LPCWSTR);
KYR_CHECK_METHOD(ICoreWebView2ExecuteScriptCompletedHandler, Invoke, HRESULT, LPCWSTR);

#undef KYR_CHECK_METHOD

// The loader's entry: extern "C", __stdcall where that differs (x86).
static_assert(std::is_same_v<CreateCoreWebView2EnvironmentWithOptionsProc,
                             HRESULT(STDAPICALLTYPE*)(PCWSTR, PCWSTR, ICoreWebView2EnvironmentOptions*,
                                                      ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler*)>,
              "CreateCoreWebView2EnvironmentWithOptions does not match the loader's export");

// ---- Bases ---------------------------------------------------------------------------------
// The revisions extend their predecessor; the options revisions and every handler stand alone
// on IUnknown (one object implementing all three options interfaces has three vtables).
static_assert(std::is_base_of_v<ICoreWebView2Controller, ICoreWebView2Controller2>);
static_assert(std::is_base_of_v<ICoreWebView2, ICoreWebView2_2>);
static_assert(std::is_base_of_v<ICoreWebView2_2, ICoreWebView2_3>);
static_assert(std::is_base_of_v<ICoreWebView2_3, ICoreWebView2_4>);
static_assert(std::is_base_of_v<ICoreWebView2NewWindowRequestedEventArgs, ICoreWebView2NewWindowRequestedEventArgs2>);
static_assert(!std::is_base_of_v<ICoreWebView2EnvironmentOptions, ICoreWebView2EnvironmentOptions2>);
static_assert(!std::is_base_of_v<ICoreWebView2EnvironmentOptions, ICoreWebView2EnvironmentOptions3>);
static_assert(std::is_base_of_v<IUnknown, ICoreWebView2EnvironmentOptions2>);
static_assert(std::is_base_of_v<IUnknown, ICoreWebView2EnvironmentOptions3>);

// ---- Value types ---------------------------------------------------------------------------
static_assert(sizeof(COREWEBVIEW2_COLOR) == 4 && offsetof(COREWEBVIEW2_COLOR, A) == 0 &&
              offsetof(COREWEBVIEW2_COLOR, R) == 1 && offsetof(COREWEBVIEW2_COLOR, G) == 2 &&
              offsetof(COREWEBVIEW2_COLOR, B) == 3);
static_assert(sizeof(EventRegistrationToken) == 8);
static_assert(sizeof(COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND) == 4 && COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND_DENY == 0);
static_assert(sizeof(COREWEBVIEW2_DOWNLOAD_STATE) == 4 && COREWEBVIEW2_DOWNLOAD_STATE_IN_PROGRESS == 0 &&
              COREWEBVIEW2_DOWNLOAD_STATE_INTERRUPTED == 1 && COREWEBVIEW2_DOWNLOAD_STATE_COMPLETED == 2);
static_assert(sizeof(COREWEBVIEW2_WEB_ERROR_STATUS) == 4);

// ---- Interface IDs -------------------------------------------------------------------------
constexpr int HexDigit(char c) {
  return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Reads `count` hex digits of `text` from `at`, skipping dashes.
constexpr unsigned long long Hex(const char* text, int& at, int count) {
  unsigned long long value = 0;
  while (count > 0) {
    if (text[at] == '-') {
      ++at;
      continue;
    }
    const int digit = HexDigit(text[at++]);
    if (digit < 0) return ~0ull;
    value = value * 16 + static_cast<unsigned>(digit);
    --count;
  }
  return value;
}

// True when `iid` is the GUID written as XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX.
constexpr bool IidIs(const IID& iid, const char* text) {
  int at = 0;
  if (iid.Data1 != Hex(text, at, 8) || iid.Data2 != Hex(text, at, 4) || iid.Data3 != Hex(text, at, 4)) return false;
  for (int i = 0; i < 8; ++i)
    if (iid.Data4[i] != Hex(text, at, 2)) return false;
  return text[at] == '\0';
}

#define KYR_CHECK_IID(Interface, text) \
  static_assert(IidIs(kIid<Interface>, text), #Interface "'s interface ID does not match the runtime's")

KYR_CHECK_IID(ICoreWebView2Environment, "B96D755E-0319-4E92-A296-23436F46A1FC");
KYR_CHECK_IID(ICoreWebView2EnvironmentOptions, "2FDE08A8-1E9A-4766-8C05-95A9CEB9D1C5");
KYR_CHECK_IID(ICoreWebView2EnvironmentOptions2, "FF85C98A-1BA7-4A6B-90C8-2B752C89E9E2");
KYR_CHECK_IID(ICoreWebView2EnvironmentOptions3, "4A5C436E-A9E3-4A2E-89C3-910D3513F5CC");
KYR_CHECK_IID(ICoreWebView2Controller, "4D00C0D1-9434-4EB6-8078-8697A560334F");
KYR_CHECK_IID(ICoreWebView2Controller2, "C979903E-D4CA-4228-92EB-47EE3FA96EAB");
KYR_CHECK_IID(ICoreWebView2, "76ECEACB-0462-4D94-AC83-423A6793775E");
KYR_CHECK_IID(ICoreWebView2_2, "9E8F0CF8-E670-4B5E-B2BC-73E061E3184C");
KYR_CHECK_IID(ICoreWebView2_3, "A0D6DF20-3B92-416D-AA0C-437A9C727857");
KYR_CHECK_IID(ICoreWebView2_4, "20D02D59-6DF2-42DC-BD06-F98A694B1302");
KYR_CHECK_IID(ICoreWebView2Settings, "E562E4F0-D7FA-43AC-8D71-C05150499F00");
KYR_CHECK_IID(ICoreWebView2WebMessageReceivedEventArgs, "0F99A40C-E962-4207-9E92-E3D542EFF849");
KYR_CHECK_IID(ICoreWebView2NavigationStartingEventArgs, "5B495469-E119-438A-9B18-7604F25F2E49");
KYR_CHECK_IID(ICoreWebView2NavigationCompletedEventArgs, "30D68B7D-20D9-4752-A9CA-EC8448FBB5C1");
KYR_CHECK_IID(ICoreWebView2NewWindowRequestedEventArgs, "34ACB11C-FC37-4418-9132-F9C21D1EAFB9");
KYR_CHECK_IID(ICoreWebView2NewWindowRequestedEventArgs2, "BBC7BAED-74C6-4C92-B63A-7F5AEAE03DE3");
KYR_CHECK_IID(ICoreWebView2DownloadStartingEventArgs, "E99BBE21-43E9-4544-A732-282764EAFA60");
KYR_CHECK_IID(ICoreWebView2DownloadOperation, "3D6B6CF2-AFE1-44C7-A995-C65117714336");
KYR_CHECK_IID(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, "4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14D");
KYR_CHECK_IID(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, "6C4819F3-C9B7-4260-8127-C9F5BDE7F68C");
KYR_CHECK_IID(ICoreWebView2WebMessageReceivedEventHandler, "57213F19-00E6-49FA-8E07-898EA01ECBD2");
KYR_CHECK_IID(ICoreWebView2NavigationStartingEventHandler, "9ADBE429-F36D-432B-9DDC-F8881FBD76E3");
KYR_CHECK_IID(ICoreWebView2NavigationCompletedEventHandler, "D33A35BF-1C49-4F98-93AB-006E0533FE1C");
KYR_CHECK_IID(ICoreWebView2NewWindowRequestedEventHandler, "D4C185FE-C81C-4989-97AF-2D3FA7AB5651");
KYR_CHECK_IID(ICoreWebView2DownloadStartingEventHandler, "EFEDC989-C396-41CA-83F7-07F845A55724");
KYR_CHECK_IID(ICoreWebView2BytesReceivedChangedEventHandler, "828E8AB6-D94C-4264-9CEF-5217170D6251");
KYR_CHECK_IID(ICoreWebView2StateChangedEventHandler, "81336594-7EDE-4BA9-BF71-ACF0A95B58DD");
KYR_CHECK_IID(ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler, "B99369F3-9B11-47B5-BC6F-8E7895FCEA17");
KYR_CHECK_IID(ICoreWebView2ExecuteScriptCompletedHandler, "49511172-CC67-4BCA-9923-137112F4C4CC");

#undef KYR_CHECK_IID

}  // namespace
}  // namespace oskel::platform::win
