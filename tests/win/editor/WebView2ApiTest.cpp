// The hand-written WebView2 declarations against the runtime's vtable layout: every method the
// host calls or implements sits in its slot (parameter types and IIDs: WebView2ApiCheck.cpp).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "EnvironmentOptions.h"
#include "WebView2Api.h"

namespace {

using namespace oskel::platform::win;

// The vtable slot of a virtual method: GCC (mingw-w64 included) represents a pointer to a
// virtual member function as 1 + the method's byte offset in the vtable.
template <typename Method>
long Slot(Method method) {
  uintptr_t ptr;
  std::memcpy(&ptr, &method, sizeof(ptr));
  return (ptr & 1) ? static_cast<long>((ptr - 1) / sizeof(void*)) : -1;
}

// Interfaces are named without their ICoreWebView2 prefix (the web view itself by none).
#define KYR_SLOT(Interface, method, slot) \
  EXPECT_EQ(Slot(&ICoreWebView2##Interface::method), slot) << "ICoreWebView2" #Interface "::" #method

TEST(WebView2Api, MethodsSitInTheRuntimesSlots) {
  KYR_SLOT(Environment, CreateCoreWebView2Controller, 3);
  KYR_SLOT(EnvironmentOptions, get_AdditionalBrowserArguments, 3);
  KYR_SLOT(EnvironmentOptions, put_AdditionalBrowserArguments, 4); KYR_SLOT(EnvironmentOptions, get_Language, 5);
  KYR_SLOT(EnvironmentOptions, put_Language, 6); KYR_SLOT(EnvironmentOptions, get_TargetCompatibleBrowserVersion, 7);
  KYR_SLOT(EnvironmentOptions, put_TargetCompatibleBrowserVersion, 8);
  KYR_SLOT(EnvironmentOptions, get_AllowSingleSignOnUsingOSPrimaryAccount, 9);
  KYR_SLOT(EnvironmentOptions, put_AllowSingleSignOnUsingOSPrimaryAccount, 10);
  KYR_SLOT(EnvironmentOptions2, get_ExclusiveUserDataFolderAccess, 3);
  KYR_SLOT(EnvironmentOptions2, put_ExclusiveUserDataFolderAccess, 4);
  KYR_SLOT(EnvironmentOptions3, get_IsCustomCrashReportingEnabled, 3);
  KYR_SLOT(EnvironmentOptions3, put_IsCustomCrashReportingEnabled, 4); KYR_SLOT(Controller, put_IsVisible, 4);
  KYR_SLOT(Controller, put_Bounds, 6); KYR_SLOT(Controller, SetBoundsAndZoomFactor, 11);
  KYR_SLOT(Controller, Close, 24); KYR_SLOT(Controller, get_CoreWebView2, 25); KYR_SLOT(, get_Settings, 3);
  KYR_SLOT(, Navigate, 5); KYR_SLOT(, NavigateToString, 6); KYR_SLOT(, add_NavigationStarting, 7);
  KYR_SLOT(, add_NavigationCompleted, 15); KYR_SLOT(, AddScriptToExecuteOnDocumentCreated, 27);
  KYR_SLOT(, ExecuteScript, 29); KYR_SLOT(, add_WebMessageReceived, 34); KYR_SLOT(, add_NewWindowRequested, 44);
  KYR_SLOT(_3, SetVirtualHostNameToFolderMapping, 71); KYR_SLOT(_4, add_DownloadStarting, 75);
  KYR_SLOT(Settings, put_IsScriptEnabled, 4); KYR_SLOT(Settings, put_IsWebMessageEnabled, 6);
  KYR_SLOT(Settings, put_AreDefaultScriptDialogsEnabled, 8); KYR_SLOT(Settings, put_AreDevToolsEnabled, 12);
  KYR_SLOT(Settings, put_AreDefaultContextMenusEnabled, 14);
  KYR_SLOT(WebMessageReceivedEventArgs, get_WebMessageAsJson, 4); KYR_SLOT(NavigationStartingEventArgs, get_Uri, 3);
  KYR_SLOT(NavigationStartingEventArgs, put_Cancel, 8); KYR_SLOT(NavigationCompletedEventArgs, get_IsSuccess, 3);
  KYR_SLOT(NewWindowRequestedEventArgs, get_Uri, 3); KYR_SLOT(NewWindowRequestedEventArgs, put_Handled, 6);
  KYR_SLOT(DownloadStartingEventArgs, get_DownloadOperation, 3); KYR_SLOT(DownloadStartingEventArgs, put_Cancel, 5);
  KYR_SLOT(DownloadStartingEventArgs, get_ResultFilePath, 6);
  KYR_SLOT(DownloadStartingEventArgs, put_ResultFilePath, 7); KYR_SLOT(DownloadStartingEventArgs, put_Handled, 9);
  KYR_SLOT(DownloadOperation, add_BytesReceivedChanged, 3); KYR_SLOT(DownloadOperation, remove_BytesReceivedChanged, 4);
  KYR_SLOT(DownloadOperation, add_StateChanged, 7); KYR_SLOT(DownloadOperation, remove_StateChanged, 8);
  KYR_SLOT(DownloadOperation, get_MimeType, 11); KYR_SLOT(DownloadOperation, get_TotalBytesToReceive, 12);
  KYR_SLOT(DownloadOperation, get_BytesReceived, 13); KYR_SLOT(DownloadOperation, get_ResultFilePath, 15);
  KYR_SLOT(DownloadOperation, get_State, 16);
}

// The options' values and identity are read by the fake runtime; here what it does not try.
TEST(EnvironmentOptions, HandsOutFreshStringsAndRefusesOtherInterfaces) {
  auto options = EnvironmentOptions::Make();
  EXPECT_FALSE(options.As<ICoreWebView2Environment>());
  LPWSTR first = nullptr;
  LPWSTR second = nullptr;
  ASSERT_EQ(options->get_TargetCompatibleBrowserVersion(&first), S_OK);
  ASSERT_EQ(options->get_TargetCompatibleBrowserVersion(&second), S_OK);
  EXPECT_NE(first, second);  // each caller frees its own copy
  CoTaskMemFree(first);
  CoTaskMemFree(second);
}

}  // namespace
