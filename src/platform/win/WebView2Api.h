#pragma once

// The COM interfaces of Microsoft Edge WebView2 that the editor's browser host uses, declared
// by hand (the WebView2 SDK is not available to this build). Only the ABI matters: every
// interface lists all of its methods, used or not, in the runtime's vtable order, because the
// runtime calls (and is called) by slot number. A test under tests/win/editor checks the slot
// of every method the host calls or implements.
//
// Conventions of the runtime: strings handed out through LPWSTR* are allocated with
// CoTaskMemAlloc and freed by the receiver with CoTaskMemFree; LPCWSTR arguments are borrowed
// for the duration of the call; interface out-parameters arrive with a reference the receiver
// releases. Enums are 32 bits wide; RECT, COREWEBVIEW2_COLOR and EventRegistrationToken are
// passed by value.
#include <windows.h>
#include <eventtoken.h>
#include <objidl.h>
#include <oaidl.h>

#include <cstdint>

namespace oskel::platform::win {

// ---- Interface IDs ---------------------------------------------------------------------------
template <typename Interface>
inline constexpr IID kIid{};

#define KYR_WEBVIEW2_IID(Interface, d1, d2, d3, b0, b1, b2, b3, b4, b5, b6, b7) \
  struct Interface;                                                               \
  template <>                                                                     \
  inline constexpr IID kIid<Interface> = {d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}};

KYR_WEBVIEW2_IID(ICoreWebView2Environment, 0xB96D755E, 0x0319, 0x4E92, 0xA2, 0x96, 0x23, 0x43, 0x6F, 0x46, 0xA1, 0xFC)
KYR_WEBVIEW2_IID(ICoreWebView2EnvironmentOptions, 0x2FDE08A8, 0x1E9A, 0x4766, 0x8C, 0x05, 0x95, 0xA9, 0xCE, 0xB9, 0xD1, 0xC5)
KYR_WEBVIEW2_IID(ICoreWebView2EnvironmentOptions2, 0xFF85C98A, 0x1BA7, 0x4A6B, 0x90, 0xC8, 0x2B, 0x75, 0x2C, 0x89, 0xE9, 0xE2)
KYR_WEBVIEW2_IID(ICoreWebView2EnvironmentOptions3, 0x4A5C436E, 0xA9E3, 0x4A2E, 0x89, 0xC3, 0x91, 0x0D, 0x35, 0x13, 0xF5, 0xCC)
KYR_WEBVIEW2_IID(ICoreWebView2Controller, 0x4D00C0D1, 0x9434, 0x4EB6, 0x80, 0x78, 0x86, 0x97, 0xA5, 0x60, 0x33, 0x4F)
KYR_WEBVIEW2_IID(ICoreWebView2Controller2, 0xC979903E, 0xD4CA, 0x4228, 0x92, 0xEB, 0x47, 0xEE, 0x3F, 0xA9, 0x6E, 0xAB)
KYR_WEBVIEW2_IID(ICoreWebView2, 0x76ECEACB, 0x0462, 0x4D94, 0xAC, 0x83, 0x42, 0x3A, 0x67, 0x93, 0x77, 0x5E)
KYR_WEBVIEW2_IID(ICoreWebView2_2, 0x9E8F0CF8, 0xE670, 0x4B5E, 0xB2, 0xBC, 0x73, 0xE0, 0x61, 0xE3, 0x18, 0x4C)
KYR_WEBVIEW2_IID(ICoreWebView2_3, 0xA0D6DF20, 0x3B92, 0x416D, 0xAA, 0x0C, 0x43, 0x7A, 0x9C, 0x72, 0x78, 0x57)
KYR_WEBVIEW2_IID(ICoreWebView2_4, 0x20D02D59, 0x6DF2, 0x42DC, 0xBD, 0x06, 0xF9, 0x8A, 0x69, 0x4B, 0x13, 0x02)
KYR_WEBVIEW2_IID(ICoreWebView2Settings, 0xE562E4F0, 0xD7FA, 0x43AC, 0x8D, 0x71, 0xC0, 0x51, 0x50, 0x49, 0x9F, 0x00)
KYR_WEBVIEW2_IID(ICoreWebView2WebMessageReceivedEventArgs, 0x0F99A40C, 0xE962, 0x4207, 0x9E, 0x92, 0xE3, 0xD5, 0x42, 0xEF, 0xF8, 0x49)
KYR_WEBVIEW2_IID(ICoreWebView2NavigationStartingEventArgs, 0x5B495469, 0xE119, 0x438A, 0x9B, 0x18, 0x76, 0x04, 0xF2, 0x5F, 0x2E, 0x49)
KYR_WEBVIEW2_IID(ICoreWebView2NavigationCompletedEventArgs, 0x30D68B7D, 0x20D9, 0x4752, 0xA9, 0xCA, 0xEC, 0x84, 0x48, 0xFB, 0xB5, 0xC1)
KYR_WEBVIEW2_IID(ICoreWebView2NewWindowRequestedEventArgs, 0x34ACB11C, 0xFC37, 0x4418, 0x91, 0x32, 0xF9, 0xC2, 0x1D, 0x1E, 0xAF, 0xB9)
KYR_WEBVIEW2_IID(ICoreWebView2NewWindowRequestedEventArgs2, 0xBBC7BAED, 0x74C6, 0x4C92, 0xB6, 0x3A, 0x7F, 0x5A, 0xEA, 0xE0, 0x3D, 0xE3)
KYR_WEBVIEW2_IID(ICoreWebView2DownloadStartingEventArgs, 0xE99BBE21, 0x43E9, 0x4544, 0xA7, 0x32, 0x28, 0x27, 0x64, 0xEA, 0xFA, 0x60)
KYR_WEBVIEW2_IID(ICoreWebView2DownloadOperation, 0x3D6B6CF2, 0xAFE1, 0x44C7, 0xA9, 0x95, 0xC6, 0x51, 0x17, 0x71, 0x43, 0x36)
KYR_WEBVIEW2_IID(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, 0x4E8A3389, 0xC9D8, 0x4BD2, 0xB6, 0xB5, 0x12, 0x4F, 0xEE, 0x6C, 0xC1, 0x4D)
KYR_WEBVIEW2_IID(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, 0x6C4819F3, 0xC9B7, 0x4260, 0x81, 0x27, 0xC9, 0xF5, 0xBD, 0xE7, 0xF6, 0x8C)
KYR_WEBVIEW2_IID(ICoreWebView2WebMessageReceivedEventHandler, 0x57213F19, 0x00E6, 0x49FA, 0x8E, 0x07, 0x89, 0x8E, 0xA0, 0x1E, 0xCB, 0xD2)
KYR_WEBVIEW2_IID(ICoreWebView2NavigationStartingEventHandler, 0x9ADBE429, 0xF36D, 0x432B, 0x9D, 0xDC, 0xF8, 0x88, 0x1F, 0xBD, 0x76, 0xE3)
KYR_WEBVIEW2_IID(ICoreWebView2NavigationCompletedEventHandler, 0xD33A35BF, 0x1C49, 0x4F98, 0x93, 0xAB, 0x00, 0x6E, 0x05, 0x33, 0xFE, 0x1C)
KYR_WEBVIEW2_IID(ICoreWebView2NewWindowRequestedEventHandler, 0xD4C185FE, 0xC81C, 0x4989, 0x97, 0xAF, 0x2D, 0x3F, 0xA7, 0xAB, 0x56, 0x51)
KYR_WEBVIEW2_IID(ICoreWebView2DownloadStartingEventHandler, 0xEFEDC989, 0xC396, 0x41CA, 0x83, 0xF7, 0x07, 0xF8, 0x45, 0xA5, 0x57, 0x24)
KYR_WEBVIEW2_IID(ICoreWebView2BytesReceivedChangedEventHandler, 0x828E8AB6, 0xD94C, 0x4264, 0x9C, 0xEF, 0x52, 0x17, 0x17, 0x0D, 0x62, 0x51)
KYR_WEBVIEW2_IID(ICoreWebView2StateChangedEventHandler, 0x81336594, 0x7EDE, 0x4BA9, 0xBF, 0x71, 0xAC, 0xF0, 0xA9, 0x5B, 0x58, 0xDD)
KYR_WEBVIEW2_IID(ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler, 0xB99369F3, 0x9B11, 0x47B5, 0xBC, 0x6F, 0x8E, 0x78, 0x95, 0xFC, 0xEA, 0x17)
KYR_WEBVIEW2_IID(ICoreWebView2ExecuteScriptCompletedHandler, 0x49511172, 0xCC67, 0x4BCA, 0x99, 0x23, 0x13, 0x71, 0x12, 0xF4, 0xC4, 0xCC)

#undef KYR_WEBVIEW2_IID

// Interfaces that only appear as parameter types of methods the host never calls.
struct ICoreWebView2WebResourceResponse;
struct ICoreWebView2NewBrowserVersionAvailableEventHandler;
struct ICoreWebView2ZoomFactorChangedEventHandler;
struct ICoreWebView2MoveFocusRequestedEventHandler;
struct ICoreWebView2FocusChangedEventHandler;
struct ICoreWebView2AcceleratorKeyPressedEventHandler;
struct ICoreWebView2ContentLoadingEventHandler;
struct ICoreWebView2SourceChangedEventHandler;
struct ICoreWebView2HistoryChangedEventHandler;
struct ICoreWebView2ScriptDialogOpeningEventHandler;
struct ICoreWebView2PermissionRequestedEventHandler;
struct ICoreWebView2ProcessFailedEventHandler;
struct ICoreWebView2CapturePreviewCompletedHandler;
struct ICoreWebView2CallDevToolsProtocolMethodCompletedHandler;
struct ICoreWebView2DevToolsProtocolEventReceiver;
struct ICoreWebView2DocumentTitleChangedEventHandler;
struct ICoreWebView2ContainsFullScreenElementChangedEventHandler;
struct ICoreWebView2WebResourceRequestedEventHandler;
struct ICoreWebView2WindowCloseRequestedEventHandler;
struct ICoreWebView2WebResourceResponseReceivedEventHandler;
struct ICoreWebView2WebResourceRequest;
struct ICoreWebView2DOMContentLoadedEventHandler;
struct ICoreWebView2CookieManager;
struct ICoreWebView2TrySuspendCompletedHandler;
struct ICoreWebView2FrameCreatedEventHandler;
struct ICoreWebView2HttpRequestHeaders;
struct ICoreWebView2Deferral;
struct ICoreWebView2WindowFeatures;
struct ICoreWebView2EstimatedEndTimeChangedEventHandler;

// ---- Value types -----------------------------------------------------------------------------
enum COREWEBVIEW2_MOVE_FOCUS_REASON : int32_t {};
enum COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT : int32_t {};
enum COREWEBVIEW2_WEB_RESOURCE_CONTEXT : int32_t {};
enum COREWEBVIEW2_WEB_ERROR_STATUS : int32_t {};
enum COREWEBVIEW2_DOWNLOAD_INTERRUPT_REASON : int32_t {};

enum COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND : int32_t {
  COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND_DENY = 0,
  COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND_ALLOW = 1,
  COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND_DENY_CORS = 2,
};

enum COREWEBVIEW2_DOWNLOAD_STATE : int32_t {
  COREWEBVIEW2_DOWNLOAD_STATE_IN_PROGRESS = 0,
  COREWEBVIEW2_DOWNLOAD_STATE_INTERRUPTED = 1,
  COREWEBVIEW2_DOWNLOAD_STATE_COMPLETED = 2,
};

struct COREWEBVIEW2_COLOR {
  BYTE A;
  BYTE R;
  BYTE G;
  BYTE B;
};

static_assert(sizeof(COREWEBVIEW2_DOWNLOAD_STATE) == 4 && sizeof(COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND) == 4);
static_assert(sizeof(COREWEBVIEW2_COLOR) == 4 && sizeof(EventRegistrationToken) == 8);

// ---- Callbacks the host implements (one Invoke each) -----------------------------------------
struct ICoreWebView2Controller;
struct ICoreWebView2;
struct ICoreWebView2WebMessageReceivedEventArgs;
struct ICoreWebView2NavigationStartingEventArgs;
struct ICoreWebView2NavigationCompletedEventArgs;
struct ICoreWebView2NewWindowRequestedEventArgs;
struct ICoreWebView2DownloadStartingEventArgs;
struct ICoreWebView2DownloadOperation;

struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode, ICoreWebView2Environment* result) = 0;
};
struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode, ICoreWebView2Controller* result) = 0;
};
struct ICoreWebView2WebMessageReceivedEventHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, ICoreWebView2WebMessageReceivedEventArgs* args) = 0;
};
struct ICoreWebView2NavigationStartingEventHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args) = 0;
};
struct ICoreWebView2NavigationCompletedEventHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, ICoreWebView2NavigationCompletedEventArgs* args) = 0;
};
struct ICoreWebView2NewWindowRequestedEventHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, ICoreWebView2NewWindowRequestedEventArgs* args) = 0;
};
struct ICoreWebView2DownloadStartingEventHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender, ICoreWebView2DownloadStartingEventArgs* args) = 0;
};
struct ICoreWebView2BytesReceivedChangedEventHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2DownloadOperation* sender, IUnknown* args) = 0;
};
struct ICoreWebView2StateChangedEventHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2DownloadOperation* sender, IUnknown* args) = 0;
};
struct ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode, LPCWSTR id) = 0;
};
struct ICoreWebView2ExecuteScriptCompletedHandler : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode, LPCWSTR resultObjectAsJson) = 0;
};

// ---- Environment and its options -------------------------------------------------------------
struct ICoreWebView2Environment : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
      HWND parentWindow, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateWebResourceResponse(IStream* content, int statusCode, LPCWSTR reasonPhrase,
                                                              LPCWSTR headers,
                                                              ICoreWebView2WebResourceResponse** response) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BrowserVersionString(LPWSTR* versionInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_NewBrowserVersionAvailable(
      ICoreWebView2NewBrowserVersionAvailableEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_NewBrowserVersionAvailable(EventRegistrationToken token) = 0;
};

struct ICoreWebView2EnvironmentOptions : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_AdditionalBrowserArguments(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AdditionalBrowserArguments(LPCWSTR value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Language(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Language(LPCWSTR value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_TargetCompatibleBrowserVersion(LPWSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_TargetCompatibleBrowserVersion(LPCWSTR value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) = 0;
};

// Options2 and Options3 derive from IUnknown, not from Options: an object that offers all three
// has three vtables behind one identity.
struct ICoreWebView2EnvironmentOptions2 : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_ExclusiveUserDataFolderAccess(BOOL* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ExclusiveUserDataFolderAccess(BOOL value) = 0;
};

struct ICoreWebView2EnvironmentOptions3 : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_IsCustomCrashReportingEnabled(BOOL* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsCustomCrashReportingEnabled(BOOL value) = 0;
};

// ---- Controller ------------------------------------------------------------------------------
struct ICoreWebView2Controller : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_IsVisible(BOOL* isVisible) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsVisible(BOOL isVisible) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Bounds(RECT* bounds) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Bounds(RECT bounds) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ZoomFactor(double* zoomFactor) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ZoomFactor(double zoomFactor) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_ZoomFactorChanged(ICoreWebView2ZoomFactorChangedEventHandler* eventHandler,
                                                          EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_ZoomFactorChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetBoundsAndZoomFactor(RECT bounds, double zoomFactor) = 0;
  virtual HRESULT STDMETHODCALLTYPE MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON reason) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_MoveFocusRequested(ICoreWebView2MoveFocusRequestedEventHandler* eventHandler,
                                                           EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_MoveFocusRequested(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_GotFocus(ICoreWebView2FocusChangedEventHandler* eventHandler,
                                                 EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_GotFocus(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_LostFocus(ICoreWebView2FocusChangedEventHandler* eventHandler,
                                                  EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_LostFocus(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_AcceleratorKeyPressed(
      ICoreWebView2AcceleratorKeyPressedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_AcceleratorKeyPressed(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ParentWindow(HWND* parentWindow) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ParentWindow(HWND parentWindow) = 0;
  virtual HRESULT STDMETHODCALLTYPE NotifyParentWindowPositionChanged() = 0;
  virtual HRESULT STDMETHODCALLTYPE Close() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** coreWebView2) = 0;
};

struct ICoreWebView2Controller2 : ICoreWebView2Controller {
  virtual HRESULT STDMETHODCALLTYPE get_DefaultBackgroundColor(COREWEBVIEW2_COLOR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_DefaultBackgroundColor(COREWEBVIEW2_COLOR value) = 0;
};

// ---- Settings --------------------------------------------------------------------------------
struct ICoreWebView2Settings : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_IsScriptEnabled(BOOL* isScriptEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsScriptEnabled(BOOL isScriptEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsWebMessageEnabled(BOOL* isWebMessageEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsWebMessageEnabled(BOOL isWebMessageEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AreDefaultScriptDialogsEnabled(BOOL* areDefaultScriptDialogsEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AreDefaultScriptDialogsEnabled(BOOL areDefaultScriptDialogsEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsStatusBarEnabled(BOOL* isStatusBarEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsStatusBarEnabled(BOOL isStatusBarEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AreDevToolsEnabled(BOOL* areDevToolsEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AreDevToolsEnabled(BOOL areDevToolsEnabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AreDefaultContextMenusEnabled(BOOL* enabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AreDefaultContextMenusEnabled(BOOL enabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AreHostObjectsAllowed(BOOL* allowed) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_AreHostObjectsAllowed(BOOL allowed) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsZoomControlEnabled(BOOL* enabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsZoomControlEnabled(BOOL enabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsBuiltInErrorPageEnabled(BOOL* enabled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_IsBuiltInErrorPageEnabled(BOOL enabled) = 0;
};

// ---- Web view --------------------------------------------------------------------------------
struct ICoreWebView2 : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** settings) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Source(LPWSTR* uri) = 0;
  virtual HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) = 0;
  virtual HRESULT STDMETHODCALLTYPE NavigateToString(LPCWSTR htmlContent) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* eventHandler,
                                                           EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_NavigationStarting(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_ContentLoading(ICoreWebView2ContentLoadingEventHandler* eventHandler,
                                                       EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_ContentLoading(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_SourceChanged(ICoreWebView2SourceChangedEventHandler* eventHandler,
                                                      EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_SourceChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_HistoryChanged(ICoreWebView2HistoryChangedEventHandler* eventHandler,
                                                       EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_HistoryChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_NavigationCompleted(ICoreWebView2NavigationCompletedEventHandler* eventHandler,
                                                            EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_NavigationCompleted(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_FrameNavigationStarting(
      ICoreWebView2NavigationStartingEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_FrameNavigationStarting(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_FrameNavigationCompleted(
      ICoreWebView2NavigationCompletedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_FrameNavigationCompleted(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_ScriptDialogOpening(ICoreWebView2ScriptDialogOpeningEventHandler* eventHandler,
                                                            EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_ScriptDialogOpening(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_PermissionRequested(ICoreWebView2PermissionRequestedEventHandler* eventHandler,
                                                            EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_PermissionRequested(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_ProcessFailed(ICoreWebView2ProcessFailedEventHandler* eventHandler,
                                                      EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_ProcessFailed(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddScriptToExecuteOnDocumentCreated(
      LPCWSTR javaScript, ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveScriptToExecuteOnDocumentCreated(LPCWSTR id) = 0;
  virtual HRESULT STDMETHODCALLTYPE ExecuteScript(LPCWSTR javaScript,
                                                  ICoreWebView2ExecuteScriptCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT imageFormat,
                                                   IStream* imageStream,
                                                   ICoreWebView2CapturePreviewCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE Reload() = 0;
  virtual HRESULT STDMETHODCALLTYPE PostWebMessageAsJson(LPCWSTR webMessageAsJson) = 0;
  virtual HRESULT STDMETHODCALLTYPE PostWebMessageAsString(LPCWSTR webMessageAsString) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_WebMessageReceived(ICoreWebView2WebMessageReceivedEventHandler* handler,
                                                           EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_WebMessageReceived(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE CallDevToolsProtocolMethod(
      LPCWSTR methodName, LPCWSTR parametersAsJson, ICoreWebView2CallDevToolsProtocolMethodCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BrowserProcessId(UINT32* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CanGoBack(BOOL* canGoBack) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CanGoForward(BOOL* canGoForward) = 0;
  virtual HRESULT STDMETHODCALLTYPE GoBack() = 0;
  virtual HRESULT STDMETHODCALLTYPE GoForward() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDevToolsProtocolEventReceiver(
      LPCWSTR eventName, ICoreWebView2DevToolsProtocolEventReceiver** receiver) = 0;
  virtual HRESULT STDMETHODCALLTYPE Stop() = 0;
  virtual HRESULT STDMETHODCALLTYPE add_NewWindowRequested(ICoreWebView2NewWindowRequestedEventHandler* eventHandler,
                                                           EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_NewWindowRequested(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_DocumentTitleChanged(
      ICoreWebView2DocumentTitleChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_DocumentTitleChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DocumentTitle(LPWSTR* title) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddHostObjectToScript(LPCWSTR name, VARIANT* object) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveHostObjectFromScript(LPCWSTR name) = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenDevToolsWindow() = 0;
  virtual HRESULT STDMETHODCALLTYPE add_ContainsFullScreenElementChanged(
      ICoreWebView2ContainsFullScreenElementChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_ContainsFullScreenElementChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ContainsFullScreenElement(BOOL* containsFullScreenElement) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_WebResourceRequested(
      ICoreWebView2WebResourceRequestedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_WebResourceRequested(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddWebResourceRequestedFilter(
      const LPCWSTR uri, const COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveWebResourceRequestedFilter(
      const LPCWSTR uri, const COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_WindowCloseRequested(
      ICoreWebView2WindowCloseRequestedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_WindowCloseRequested(EventRegistrationToken token) = 0;
};

struct ICoreWebView2_2 : ICoreWebView2 {
  virtual HRESULT STDMETHODCALLTYPE add_WebResourceResponseReceived(
      ICoreWebView2WebResourceResponseReceivedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_WebResourceResponseReceived(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE NavigateWithWebResourceRequest(ICoreWebView2WebResourceRequest* request) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_DOMContentLoaded(ICoreWebView2DOMContentLoadedEventHandler* eventHandler,
                                                         EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_DOMContentLoaded(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CookieManager(ICoreWebView2CookieManager** cookieManager) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Environment(ICoreWebView2Environment** environment) = 0;
};

struct ICoreWebView2_3 : ICoreWebView2_2 {
  virtual HRESULT STDMETHODCALLTYPE TrySuspend(ICoreWebView2TrySuspendCompletedHandler* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE Resume() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsSuspended(BOOL* isSuspended) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetVirtualHostNameToFolderMapping(
      LPCWSTR hostName, LPCWSTR folderPath, COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND accessKind) = 0;
  virtual HRESULT STDMETHODCALLTYPE ClearVirtualHostNameToFolderMapping(LPCWSTR hostName) = 0;
};

struct ICoreWebView2_4 : ICoreWebView2_3 {
  virtual HRESULT STDMETHODCALLTYPE add_FrameCreated(ICoreWebView2FrameCreatedEventHandler* eventHandler,
                                                     EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_FrameCreated(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_DownloadStarting(ICoreWebView2DownloadStartingEventHandler* eventHandler,
                                                         EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_DownloadStarting(EventRegistrationToken token) = 0;
};

// ---- Event arguments and the download operation ----------------------------------------------
struct ICoreWebView2WebMessageReceivedEventArgs : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Source(LPWSTR* source) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_WebMessageAsJson(LPWSTR* webMessageAsJson) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryGetWebMessageAsString(LPWSTR* webMessageAsString) = 0;
};

struct ICoreWebView2NavigationStartingEventArgs : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* isUserInitiated) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsRedirected(BOOL* isRedirected) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_RequestHeaders(ICoreWebView2HttpRequestHeaders** requestHeaders) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Cancel(BOOL* cancel) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Cancel(BOOL cancel) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_NavigationId(UINT64* navigationId) = 0;
};

struct ICoreWebView2NavigationCompletedEventArgs : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_IsSuccess(BOOL* isSuccess) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_WebErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* webErrorStatus) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_NavigationId(UINT64* navigationId) = 0;
};

struct ICoreWebView2NewWindowRequestedEventArgs : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_NewWindow(ICoreWebView2* newWindow) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_NewWindow(ICoreWebView2** newWindow) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Handled(BOOL handled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Handled(BOOL* handled) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* isUserInitiated) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** deferral) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_WindowFeatures(ICoreWebView2WindowFeatures** value) = 0;
};

struct ICoreWebView2NewWindowRequestedEventArgs2 : ICoreWebView2NewWindowRequestedEventArgs {
  virtual HRESULT STDMETHODCALLTYPE get_Name(LPWSTR* value) = 0;
};

struct ICoreWebView2DownloadStartingEventArgs : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE get_DownloadOperation(ICoreWebView2DownloadOperation** downloadOperation) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Cancel(BOOL* cancel) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Cancel(BOOL cancel) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ResultFilePath(LPWSTR* resultFilePath) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ResultFilePath(LPCWSTR resultFilePath) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Handled(BOOL* handled) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Handled(BOOL handled) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** deferral) = 0;
};

struct ICoreWebView2DownloadOperation : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE add_BytesReceivedChanged(ICoreWebView2BytesReceivedChangedEventHandler* eventHandler,
                                                             EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_BytesReceivedChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_EstimatedEndTimeChanged(
      ICoreWebView2EstimatedEndTimeChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_EstimatedEndTimeChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE add_StateChanged(ICoreWebView2StateChangedEventHandler* eventHandler,
                                                     EventRegistrationToken* token) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove_StateChanged(EventRegistrationToken token) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ContentDisposition(LPWSTR* contentDisposition) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MimeType(LPWSTR* mimeType) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_TotalBytesToReceive(INT64* totalBytesToReceive) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BytesReceived(INT64* bytesReceived) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_EstimatedEndTime(LPWSTR* estimatedEndTime) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ResultFilePath(LPWSTR* resultFilePath) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_State(COREWEBVIEW2_DOWNLOAD_STATE* downloadState) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_InterruptReason(COREWEBVIEW2_DOWNLOAD_INTERRUPT_REASON* interruptReason) = 0;
  virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
  virtual HRESULT STDMETHODCALLTYPE Pause() = 0;
  virtual HRESULT STDMETHODCALLTYPE Resume() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CanResume(BOOL* canResume) = 0;
};

// ---- Loader ----------------------------------------------------------------------------------
// WebView2Loader.dll's entry, looked up by its undecorated name.
using CreateCoreWebView2EnvironmentWithOptionsProc = HRESULT(STDAPICALLTYPE*)(
    PCWSTR browserExecutableFolder, PCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler);

}  // namespace oskel::platform::win
