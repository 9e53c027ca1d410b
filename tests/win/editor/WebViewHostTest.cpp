// The editor's WebView2 host driven end to end through the fake WebView2Loader.dll beside this
// test program, and its declarations against the runtime's vtable layout.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ComObject.h"
#include "FakeWebView2.h"
#include "MessageLoop.h"
#include "WebView2Api.h"
#include "WideText.h"
#include "WindowMetrics.h"
#include "editor/EditorPage.h"
#include "editor/EditorProtocol.h"
#include "editor/IWebView.h"
#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;

size_t IndexOf(const std::vector<std::string>& log, const std::string& entry) {  // the log's size when absent
  return static_cast<size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
}

// An editor as the plug-in has one (page found beside the module), recording its hooks.
class RecordingEditor : public oskel::IWebView {
 public:
  void OnWebViewReady() override { oskel::FindEditorPage(*this); }
  void OnWebContentLoaded() override { ++loaded; }
  void OnMessageFromWebView(const char* json) override { messages.emplace_back(json); }
  bool OnCanDownloadMIMEType(const char*) override { return false; }
  bool OnCanNavigateToURL(const char* url) override { return std::string(url).find("refused") == std::string::npos; }

  int loaded = 0;
  std::vector<std::string> messages;
};

UINT gDpi = 96;
UINT WINAPI DpiOfAnyWindow(HWND) { return gDpi; }
oskel::platform::win::GetDpiForWindowProc LookupDpi() { return &DpiOfAnyWindow; }

fs::path ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(path).parent_path();
}

// The shell (of this Wine prefix) opens web links with kyr_win_url_recorder.exe beside this test.
void RouteWebLinksToTheRecorder() {
  const std::wstring command = L"\"" + (ProgramFolder() / "kyr_win_url_recorder.exe").wstring() + L"\" \"%1\"";
  for (const wchar_t* key : {L"https\\shell\\open\\command", L"http\\shell\\open\\command"}) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
  }
  fs::remove(ProgramFolder() / "opened-urls.txt");
}

// The links the recorder has been handed; waits up to 10 s for the first one.
std::string OpenedUrls() {
  const fs::path file = ProgramFolder() / "opened-urls.txt";
  for (int i = 0; i < 1000 && !fs::exists(file); ++i) Sleep(10);
  Sleep(50);
  std::ifstream in(file);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One test: the environment is process-wide, so its first creation is seen once per process.
TEST(WebViewHost, EditorLifeThroughTheWebView2Runtime) {
  FakeWebView2_ClearLog();
  const int liveBefore = FakeWebView2_LiveObjects();

  // -- The first editor of the process: environment, controller, set-up, page.
  RouteWebLinksToTheRecorder();
  gDpi = 144;
  oskel::platform::win::SetDpiLookup(&LookupDpi);
  auto editor = std::make_unique<RecordingEditor>();
  editor->OpenWebView(nullptr, 0, 0, 1200, 560, 1.0f);
  FakeWebView2_RunPending();
  auto log = TakeLog();
  const auto loader = Matching(log, "Loader.");
  ASSERT_EQ(loader.size(), 1u);
  EXPECT_NE(loader[0].find(" browser= folder="), std::string::npos) << loader[0];
  const char* options = "\\Oskel\\WebViewCache options=target=131.0.2903.40 language=(none) sso=0 exclusive=0 crash=0";
  EXPECT_NE(loader[0].find(options), std::string::npos) << loader[0];
  const std::vector<std::string> setup = {
      "Environment.CreateCoreWebView2Controller", "Controller.put_IsVisible 1", "WebView.get_Settings",
      "Settings.put_IsScriptEnabled 1", "Settings.put_AreDefaultScriptDialogsEnabled 1",
      "Settings.put_IsWebMessageEnabled 1", "Settings.put_AreDefaultContextMenusEnabled 0",
      "Settings.put_AreDevToolsEnabled 0", "WebView.add_WebMessageReceived", "WebView.add_NavigationStarting",
      "WebView.add_NavigationCompleted", "WebView.add_NewWindowRequested", "WebView.add_DownloadStarting"};
  size_t at = 0;
  for (const auto& entry : setup) {
    const size_t found = IndexOf(log, entry);
    ASSERT_LT(found, log.size()) << entry;
    EXPECT_GE(found, at) << entry << " out of order";
    at = found;
  }
  const auto scripts = Matching(log, "WebView.AddScriptToExecuteOnDocumentCreated ");
  ASSERT_EQ(scripts.size(), 3u);
  for (size_t i = 0; i < 3; ++i)
    EXPECT_EQ(scripts[i], std::string("WebView.AddScriptToExecuteOnDocumentCreated ") + oskel::kInjectedScripts[i]);
  // The parent's client area cannot be read: the editor's rectangle at 144 DPI.
  EXPECT_LT(IndexOf(log, "Controller.SetBoundsAndZoomFactor 0 0 1801 841 1.000000"), log.size());
  // No page beside this program: the virtual host serves index.html from no folder.
  EXPECT_LT(IndexOf(log, "WebView.SetVirtualHostNameToFolderMapping plugin.oskel.example [] 0"), log.size());
  EXPECT_LT(IndexOf(log, "WebView.Navigate https://plugin.oskel.example/index.html"), log.size());
  EXPECT_EQ(editor->loaded, 1);
  // A new content scale refits the control with the window's DPI read again (now 96).
  gDpi = 96;
  editor->SetWebViewScale(1.0f);
  EXPECT_EQ(Matching(TakeLog(), "Controller."),
            std::vector<std::string>{"Controller.SetBoundsAndZoomFactor 0 0 1201 561 1.000000"});

  // -- Statements run in the order given; messages of the page reach the editor.
  editor->EvaluateJavaScript("SPVFD(7, 0.500000)");
  editor->EvaluateJavaScript("SAMFD(0, 5, 'AAAA')");
  FakeWebView2_PostWebMessage(L"{\"msg\":\"SPVFUI\",\"paramIdx\":3,\"value\":0.25}");
  EXPECT_EQ(Matching(TakeLog(), "WebView.ExecuteScript "),
            (std::vector<std::string>{"WebView.ExecuteScript SPVFD(7, 0.500000)",
                                      "WebView.ExecuteScript SAMFD(0, 5, 'AAAA')"}));
  EXPECT_EQ(editor->messages, std::vector<std::string>{"{\"msg\":\"SPVFUI\",\"paramIdx\":3,\"value\":0.25}"});

  // -- A link asking for a new window goes to the user's browser through the shell.
  FakeWebView2_RequestNewWindow(L"https://www.oskel-audio.example/manual");
  EXPECT_EQ(Matching(TakeLog(), "NewWindowRequested."),
            std::vector<std::string>{"NewWindowRequested.put_Handled 1"});
  EXPECT_EQ(OpenedUrls(), "https://www.oskel-audio.example/manual\n");

  // -- Downloads are taken over and cancelled; their events end with them.
  FakeWebView2_StartDownload(L"application/zip");
  FakeWebView2_EndDownload(1);
  EXPECT_EQ(Matching(TakeLog(), "Download"),
            (std::vector<std::string>{"DownloadStarting.put_Handled 1", "DownloadStarting.get_DownloadOperation",
                                      "DownloadStarting.put_Cancel 1", "DownloadStarting.get_ResultFilePath",
                                      "Download.add_BytesReceivedChanged", "Download.add_StateChanged",
                                      "Download.remove_BytesReceivedChanged 11", "Download.remove_StateChanged 12"}));

  // -- A navigation the editor refuses is cancelled before it loads anything.
  editor->LoadFile("refused.html");
  FakeWebView2_RunPending();
  EXPECT_EQ(Matching(TakeLog(), "NavigationStarting."), std::vector<std::string>{"NavigationStarting.put_Cancel 1"});
  EXPECT_EQ(editor->loaded, 1);

  // -- Closing releases the controller and web view (counted after the second editor).
  editor->CloseWebView();
  FakeWebView2_RunPending();
  EXPECT_EQ(Matching(TakeLog(), "Controller.Close").size(), 1u);
  editor->EvaluateJavaScript("SPVFD(1, 0.000000)");
  EXPECT_TRUE(Matching(TakeLog(), "WebView.ExecuteScript").empty());
  editor.reset();

  // -- A second editor, in a real window with a page beside the program: the control takes the
  // window's client area, and the page is shown as text.
  oskel::platform::win::SetDpiLookup(nullptr);
  const fs::path page = ProgramFolder() / "web" / "index.html";
  fs::create_directories(page.parent_path());
  std::ofstream(page, std::ios::binary) << "<html><body>Kyr EQ</body></html>";
  HWND parent = MakeWindow(640, 480);
  ASSERT_NE(parent, nullptr);
  RecordingEditor second;
  EXPECT_EQ(second.OpenWebView(parent, 0, 0, 1200, 560, 1.0f), parent);
  FakeWebView2_RunPending();
  second.SetWebViewBounds(0, 0, 1200, 560);
  log = TakeLog();
  EXPECT_EQ(Matching(log, "Controller.SetBoundsAndZoomFactor"),
            (std::vector<std::string>{"Controller.SetBoundsAndZoomFactor 0 0 640 480 1.000000",
                                      "Controller.SetBoundsAndZoomFactor 0 0 640 480 1.000000"}));
  EXPECT_LT(IndexOf(log, "WebView.NavigateToString <html><body>Kyr EQ</body></html>"), log.size());
  EXPECT_EQ(second.loaded, 1);
  second.CloseWebView();
  DestroyWindow(parent);
  fs::remove_all(page.parent_path());
  EXPECT_EQ(FakeWebView2_LiveObjects(), liveBefore + 1);
  EXPECT_EQ(FakeWebView2_HeldHandlers(), 0);
  EXPECT_EQ(oskel::platform::win::LiveComObjects().load(), 0);
}

// The page found through a Windows module path: backslashes, a folder named outside ASCII.
TEST(EditorPage, FoundThroughABackslashPathWithAFolderNamedOutsideAscii) {
  const fs::path root =
      fs::temp_directory_path() / (L"kyr-p\u00E4ge-" + std::to_wstring(GetCurrentProcessId())) / "LUMAEQ5.vst3";
  const std::string module = oskel::platform::win::ToUtf8((root / "Contents" / "x86_64-win" / "LUMAEQ5.vst3").c_str());
  const fs::path page = root / "Contents" / "Resources" / "web" / "index.html";
  fs::create_directories(page.parent_path());
  std::ofstream(page, std::ios::binary) << "page";
  EXPECT_EQ(oskel::ReadEditorPage(module), "page");
  fs::remove_all(root.parent_path());
}

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
  EXPECT_EQ(Slot(&oskel::platform::win::ICoreWebView2##Interface::method), slot) << #Interface "::" #method

// The hand-written WebView2 declarations against the runtime's vtable layout: every method the
// host calls or implements sits in its slot (parameter types and IIDs: WebView2ApiCheck.cpp).
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


}  // namespace
