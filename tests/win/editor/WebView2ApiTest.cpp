// The hand-written WebView2 declarations against the runtime's vtable layout: every method the
// browser host calls or implements, and the last method of every interface, sits in its slot.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "EnvironmentOptions.h"
#include "WebView2Api.h"

namespace {

using namespace oskel::platform::win;

// The vtable slot of a virtual method. GCC (mingw-w64 included) represents a pointer to a
// virtual member function as 1 + the method's byte offset in the vtable.
template <typename Method>
long Slot(Method method) {
  struct {
    uintptr_t ptr;
    ptrdiff_t adjust;
  } representation;
  static_assert(sizeof(Method) == sizeof(representation));
  std::memcpy(&representation, &method, sizeof(representation));
  if ((representation.ptr & 1) == 0) return -1;  // not virtual
  return static_cast<long>((representation.ptr - 1) / sizeof(void*));
}

struct Expected {
  long slot;
  long expected;
  const char* name;
};

#define KYR_SLOT(Interface, method, slot) Expected{Slot(&Interface::method), slot, #Interface "::" #method}

TEST(WebView2Api, MethodsSitInTheRuntimesSlots) {
  const Expected kSlots[] = {
      KYR_SLOT(IUnknown, AddRef, 1),
      KYR_SLOT(IUnknown, Release, 2),
      KYR_SLOT(ICoreWebView2Environment, CreateCoreWebView2Controller, 3),
      KYR_SLOT(ICoreWebView2Environment, remove_NewBrowserVersionAvailable, 7),
      KYR_SLOT(ICoreWebView2EnvironmentOptions, get_AdditionalBrowserArguments, 3),
      KYR_SLOT(ICoreWebView2EnvironmentOptions, put_AdditionalBrowserArguments, 4),
      KYR_SLOT(ICoreWebView2EnvironmentOptions, get_Language, 5),
      KYR_SLOT(ICoreWebView2EnvironmentOptions, put_Language, 6),
      KYR_SLOT(ICoreWebView2EnvironmentOptions, get_TargetCompatibleBrowserVersion, 7),
      KYR_SLOT(ICoreWebView2EnvironmentOptions, put_TargetCompatibleBrowserVersion, 8),
      KYR_SLOT(ICoreWebView2EnvironmentOptions, get_AllowSingleSignOnUsingOSPrimaryAccount, 9),
      KYR_SLOT(ICoreWebView2EnvironmentOptions, put_AllowSingleSignOnUsingOSPrimaryAccount, 10),
      KYR_SLOT(ICoreWebView2EnvironmentOptions2, get_ExclusiveUserDataFolderAccess, 3),
      KYR_SLOT(ICoreWebView2EnvironmentOptions2, put_ExclusiveUserDataFolderAccess, 4),
      KYR_SLOT(ICoreWebView2EnvironmentOptions3, get_IsCustomCrashReportingEnabled, 3),
      KYR_SLOT(ICoreWebView2EnvironmentOptions3, put_IsCustomCrashReportingEnabled, 4),
      KYR_SLOT(ICoreWebView2Controller, put_IsVisible, 4),
      KYR_SLOT(ICoreWebView2Controller, put_Bounds, 6),
      KYR_SLOT(ICoreWebView2Controller, SetBoundsAndZoomFactor, 11),
      KYR_SLOT(ICoreWebView2Controller, Close, 24),
      KYR_SLOT(ICoreWebView2Controller, get_CoreWebView2, 25),
      KYR_SLOT(ICoreWebView2Controller2, put_DefaultBackgroundColor, 27),
      KYR_SLOT(ICoreWebView2, get_Settings, 3),
      KYR_SLOT(ICoreWebView2, Navigate, 5),
      KYR_SLOT(ICoreWebView2, NavigateToString, 6),
      KYR_SLOT(ICoreWebView2, add_NavigationStarting, 7),
      KYR_SLOT(ICoreWebView2, add_NavigationCompleted, 15),
      KYR_SLOT(ICoreWebView2, AddScriptToExecuteOnDocumentCreated, 27),
      KYR_SLOT(ICoreWebView2, ExecuteScript, 29),
      KYR_SLOT(ICoreWebView2, add_WebMessageReceived, 34),
      KYR_SLOT(ICoreWebView2, add_NewWindowRequested, 44),
      KYR_SLOT(ICoreWebView2, remove_WindowCloseRequested, 60),
      KYR_SLOT(ICoreWebView2_2, get_Environment, 67),
      KYR_SLOT(ICoreWebView2_3, SetVirtualHostNameToFolderMapping, 71),
      KYR_SLOT(ICoreWebView2_3, ClearVirtualHostNameToFolderMapping, 72),
      KYR_SLOT(ICoreWebView2_4, add_DownloadStarting, 75),
      KYR_SLOT(ICoreWebView2_4, remove_DownloadStarting, 76),
      KYR_SLOT(ICoreWebView2Settings, put_IsScriptEnabled, 4),
      KYR_SLOT(ICoreWebView2Settings, put_IsWebMessageEnabled, 6),
      KYR_SLOT(ICoreWebView2Settings, put_AreDefaultScriptDialogsEnabled, 8),
      KYR_SLOT(ICoreWebView2Settings, put_AreDevToolsEnabled, 12),
      KYR_SLOT(ICoreWebView2Settings, put_AreDefaultContextMenusEnabled, 14),
      KYR_SLOT(ICoreWebView2Settings, put_IsBuiltInErrorPageEnabled, 20),
      KYR_SLOT(ICoreWebView2WebMessageReceivedEventArgs, get_WebMessageAsJson, 4),
      KYR_SLOT(ICoreWebView2WebMessageReceivedEventArgs, TryGetWebMessageAsString, 5),
      KYR_SLOT(ICoreWebView2NavigationStartingEventArgs, get_Uri, 3),
      KYR_SLOT(ICoreWebView2NavigationStartingEventArgs, put_Cancel, 8),
      KYR_SLOT(ICoreWebView2NavigationStartingEventArgs, get_NavigationId, 9),
      KYR_SLOT(ICoreWebView2NavigationCompletedEventArgs, get_IsSuccess, 3),
      KYR_SLOT(ICoreWebView2NavigationCompletedEventArgs, get_NavigationId, 5),
      KYR_SLOT(ICoreWebView2NewWindowRequestedEventArgs, get_Uri, 3),
      KYR_SLOT(ICoreWebView2NewWindowRequestedEventArgs, put_Handled, 6),
      KYR_SLOT(ICoreWebView2NewWindowRequestedEventArgs, get_WindowFeatures, 10),
      KYR_SLOT(ICoreWebView2NewWindowRequestedEventArgs2, get_Name, 11),
      KYR_SLOT(ICoreWebView2DownloadStartingEventArgs, get_DownloadOperation, 3),
      KYR_SLOT(ICoreWebView2DownloadStartingEventArgs, put_Cancel, 5),
      KYR_SLOT(ICoreWebView2DownloadStartingEventArgs, get_ResultFilePath, 6),
      KYR_SLOT(ICoreWebView2DownloadStartingEventArgs, put_ResultFilePath, 7),
      KYR_SLOT(ICoreWebView2DownloadStartingEventArgs, put_Handled, 9),
      KYR_SLOT(ICoreWebView2DownloadStartingEventArgs, GetDeferral, 10),
      KYR_SLOT(ICoreWebView2DownloadOperation, add_BytesReceivedChanged, 3),
      KYR_SLOT(ICoreWebView2DownloadOperation, remove_BytesReceivedChanged, 4),
      KYR_SLOT(ICoreWebView2DownloadOperation, add_StateChanged, 7),
      KYR_SLOT(ICoreWebView2DownloadOperation, remove_StateChanged, 8),
      KYR_SLOT(ICoreWebView2DownloadOperation, get_MimeType, 11),
      KYR_SLOT(ICoreWebView2DownloadOperation, get_TotalBytesToReceive, 12),
      KYR_SLOT(ICoreWebView2DownloadOperation, get_BytesReceived, 13),
      KYR_SLOT(ICoreWebView2DownloadOperation, get_ResultFilePath, 15),
      KYR_SLOT(ICoreWebView2DownloadOperation, get_State, 16),
      KYR_SLOT(ICoreWebView2DownloadOperation, get_CanResume, 21),
      KYR_SLOT(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, Invoke, 3),
      KYR_SLOT(ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, Invoke, 3),
      KYR_SLOT(ICoreWebView2WebMessageReceivedEventHandler, Invoke, 3),
      KYR_SLOT(ICoreWebView2NavigationStartingEventHandler, Invoke, 3),
      KYR_SLOT(ICoreWebView2NavigationCompletedEventHandler, Invoke, 3),
      KYR_SLOT(ICoreWebView2NewWindowRequestedEventHandler, Invoke, 3),
      KYR_SLOT(ICoreWebView2DownloadStartingEventHandler, Invoke, 3),
      KYR_SLOT(ICoreWebView2BytesReceivedChangedEventHandler, Invoke, 3),
      KYR_SLOT(ICoreWebView2StateChangedEventHandler, Invoke, 3),
      KYR_SLOT(ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler, Invoke, 3),
      KYR_SLOT(ICoreWebView2ExecuteScriptCompletedHandler, Invoke, 3),
  };
  for (const Expected& e : kSlots) EXPECT_EQ(e.slot, e.expected) << e.name;
}

TEST(WebView2Api, InterfaceIdsAndValueTypes) {
  // Spot checks of the IIDs' byte order (Data1 little-endian word, Data4 bytes as written).
  EXPECT_EQ(kIid<ICoreWebView2>.Data1, 0x76ECEACBu);
  EXPECT_EQ(kIid<ICoreWebView2>.Data4[7], 0x5E);
  EXPECT_EQ(kIid<ICoreWebView2_4>.Data2, 0x6DF2);
  EXPECT_EQ(kIid<ICoreWebView2EnvironmentOptions3>.Data3, 0x4A2E);
  EXPECT_EQ(sizeof(COREWEBVIEW2_COLOR), 4u);
  EXPECT_EQ(offsetof(COREWEBVIEW2_COLOR, A), 0u);
  EXPECT_EQ(offsetof(COREWEBVIEW2_COLOR, B), 3u);
  EXPECT_EQ(sizeof(EventRegistrationToken), 8u);
}

TEST(EnvironmentOptions, OneIdentityBehindThreeInterfacesAndFreshStrings) {
  auto options = EnvironmentOptions::Make();
  auto options2 = options.As<ICoreWebView2EnvironmentOptions2>();
  auto options3 = options.As<ICoreWebView2EnvironmentOptions3>();
  ASSERT_TRUE(options2);
  ASSERT_TRUE(options3);
  EXPECT_EQ(options.As<IUnknown>().Get(), options3.As<IUnknown>().Get());
  EXPECT_FALSE(options.As<ICoreWebView2Environment>());

  LPWSTR first = nullptr;
  LPWSTR second = nullptr;
  ASSERT_EQ(options->get_TargetCompatibleBrowserVersion(&first), S_OK);
  ASSERT_EQ(options->get_TargetCompatibleBrowserVersion(&second), S_OK);
  EXPECT_STREQ(first, L"131.0.2903.40");
  EXPECT_NE(first, second);  // each caller frees its own copy
  CoTaskMemFree(first);
  CoTaskMemFree(second);
  LPWSTR language = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(options->get_Language(&language), S_OK);
  EXPECT_EQ(language, nullptr);
  EXPECT_EQ(options->get_Language(nullptr), E_POINTER);

  BOOL flag = TRUE;
  options->get_AllowSingleSignOnUsingOSPrimaryAccount(&flag);
  EXPECT_FALSE(flag);
  flag = TRUE;
  options2->get_ExclusiveUserDataFolderAccess(&flag);
  EXPECT_FALSE(flag);
  flag = TRUE;
  options3->get_IsCustomCrashReportingEnabled(&flag);
  EXPECT_FALSE(flag);
}

}  // namespace
