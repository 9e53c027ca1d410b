// The WebView2 host under what real runtimes do, one process per case (the environment is
// process-wide), each ending with both sides' reference counts; freed memory is scribbled over.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ComObject.h"
#include "FakeWebView2.h"
#include "MessageLoop.h"
#include "WebViewEnvironment.h"
#include "platform/Platform.h"

namespace {

using namespace oskel::platform;

class Listener : public WebViewListener {
 public:
  void OnWebViewCreated(bool ok) override { ++(ok ? created : failed); }
  bool OnNavigationStarting(const std::string&) override { return true; }
  void OnNavigationCompleted(bool success) override { loaded += success ? 1 : 0; }
  void OnWebMessage(const std::string&) override {}
  bool OnNewWindowRequested(const std::string&) override { return false; }
  void OnDownloadFinished(const std::string& path, bool completed) override { finished.emplace_back(path, completed); }

  int created = 0, failed = 0, loaded = 0;
  std::vector<std::pair<std::string, bool>> finished;
};

// Opens a page; `ready`: runs the pending work and expects the web view.
std::shared_ptr<WebView> Open(Listener& listener, bool ready = false) {
  auto page = CreateWebView(nullptr, WebViewRect{0, 0, 1200, 560}, &listener, false);
  if (ready) {
    FakeWebView2_RunPending();
    EXPECT_EQ(listener.created, 1);
  }
  return page;
}

// Closes the page, lets the runtime deliver what it has, and expects both sides to have let go of
// each other, leaving `runtimeObjects` runtime objects (1: the shared environment).
void Close(std::shared_ptr<WebView>& page, int runtimeObjects, bool throughLoop = false) {
  if (page) page->Close();
  page.reset();
  if (throughLoop)
    ASSERT_TRUE(PumpUntil([] { return FakeWebView2_HeldHandlers() == 0; }));
  else
    FakeWebView2_RunPending();
  EXPECT_EQ(FakeWebView2_HeldHandlers(), 0);
  EXPECT_EQ(win::LiveComObjects().load(), 0);
  EXPECT_EQ(FakeWebView2_LiveObjects(), runtimeObjects);
}

TEST(RuntimeModes, CompletionsArriveOnlyThroughTheMessageLoop) {
  FakeWebView2_SetModes(kFakeCompleteOnMessageLoop);
  Listener listener;
  auto page = Open(listener);
  ASSERT_TRUE(page);
  // Nothing completes inside the request, nor without the loop.
  FakeWebView2_RunPending();
  EXPECT_EQ(listener.created + listener.failed, 0);
  ASSERT_TRUE(PumpUntil([&] { return listener.created == 1; }));
  page->ExecuteScript("SPVFD(0, 0.500000)");
  page->Navigate("https://plugin.oskel.example/index.html");
  ASSERT_TRUE(PumpUntil([&] { return listener.loaded == 1; }));
  Close(page, 1, true);

  // A controller that arrives after its editor has closed is closed and released.
  TakeLog();
  Listener closing;
  page = Open(closing);
  Close(page, 1, true);
  EXPECT_EQ(Matching(TakeLog(), "Controller."), std::vector<std::string>{"Controller.Close"});
  EXPECT_EQ(closing.created + closing.failed, 0);
}

TEST(RuntimeModes, HandlerRemovingItselfWhileItRunsKeepsItselfAlive) {
  FakeWebView2_SetModes(kFakeNoReferenceDuringInvoke);
  Listener listener;
  auto page = Open(listener, true);
  FakeWebView2_StartDownload(L"application/zip");
  // The state handler's registration is the runtime's only reference; it drops it, then reports.
  FakeWebView2_EndDownload(2);
  EXPECT_EQ(listener.finished, (std::vector<std::pair<std::string, bool>>{{"C:\\downloads\\file.bin", true}}));
  Close(page, 1);
}

TEST(RuntimeModes, EditorClosedWhileTheEnvironmentIsPending) {
  Listener listener;
  auto page = Open(listener);
  Close(page, 1);
  // The environment still becomes the shared one; no controller is asked for.
  EXPECT_TRUE(Matching(TakeLog(), "Environment.").empty());
  EXPECT_EQ(listener.created + listener.failed, 0);

  Listener next;
  page = Open(next, true);
  EXPECT_TRUE(Matching(TakeLog(), "Loader.").empty());
  Close(page, 1);
}

TEST(RuntimeModes, RuntimeWithoutTheLaterOptionsInterfaces) {
  FakeWebView2_SetModes(kFakeOptionsFirstRevisionOnly);
  Listener listener;
  auto page = Open(listener, true);
  Close(page, 1);
}

TEST(RuntimeModes, CreationErrorsFollowTheRetryRules) {
  const struct {
    const char* name;
    std::function<void()> arrange;
    bool pageMade;            // a request could be made
    size_t loaderCalls;       // requests to the loader
    const char* lastOptions;  // what the last of them carried
    int created, failed, runtimeObjects;  // runtime objects: after the page is closed
  } cases[] = {
      {"both requests refused", [] { FakeWebView2_FailEnvironmentRequests(2); }, false, 2, "options=none", 0, 0, 0},
      {"environment callback fails", [] { FakeWebView2_FailEnvironmentCallbacks(1); }, true, 1, "options=target=", 0, 1,
       0},
      // A failed callback leaves no shared environment: the next editor asks again.
      {"first request refused, retried without options", [] { FakeWebView2_FailEnvironmentRequests(1); }, true, 2,
       "options=none", 1, 0, 1},
      {"controller request refused", [] { FakeWebView2_FailControllerRequests(1); }, true, 0, "", 0, 1, 1},
      {"controller callback fails", [] { FakeWebView2_FailControllerCallbacks(1); }, true, 0, "", 0, 1, 1},
      {"then a page is made", [] {}, true, 0, "", 1, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.arrange();
    Listener listener;
    auto page = Open(listener);
    EXPECT_EQ(page != nullptr, c.pageMade);
    FakeWebView2_RunPending();
    const auto loader = Matching(TakeLog(), "Loader.");
    ASSERT_EQ(loader.size(), c.loaderCalls);
    if (!loader.empty()) {
      EXPECT_NE(loader.back().find(c.lastOptions), std::string::npos) << loader.back();
    }
    EXPECT_EQ(listener.created, c.created);
    EXPECT_EQ(listener.failed, c.failed);
    Close(page, c.runtimeObjects);
  }
}

// The user-data folder each lookup leads to (the requests are refused: no environment comes to be).
TEST(RuntimeModes, UserDataFolderFallsBackToLocalThenTemporary) {
  static const wchar_t* const* folders;  // roaming, local, temporary
  win::SetUserFolderLookup([](win::UserFolder folder) { return std::wstring(folders[static_cast<int>(folder)]); });
  const struct {
    const wchar_t* folders[3];
    const char* expected;
  } cases[] = {
      {{L"C:\\Roaming", L"C:\\Local", L"C:\\Temp"}, "folder=C:\\Roaming\\Oskel\\WebViewCache options="},
      {{L"", L"C:\\Local", L"C:\\Temp"}, "folder=C:\\Local\\Oskel\\WebViewCache options="},
      {{L"", L"", L"C:\\Temp"}, "folder=C:\\Temp\\Oskel\\WebViewCache options="},
  };
  for (const auto& c : cases) {
    folders = c.folders;
    FakeWebView2_FailEnvironmentRequests(2);
    Listener listener;
    EXPECT_EQ(Open(listener), nullptr);
    const auto loader = Matching(TakeLog(), "Loader.");
    ASSERT_EQ(loader.size(), 2u);
    for (const auto& entry : loader) EXPECT_NE(entry.find(c.expected), std::string::npos) << entry;
  }
  win::SetUserFolderLookup(nullptr);
  std::shared_ptr<WebView> none;
  Close(none, 0);
}

TEST(RuntimeModes, LoaderIsLoadedOnlyFromAnAbsoluteFolder) {
  // Loaded in this process, the fake would be found by a bare name.
  ASSERT_NE(GetModuleHandleW(L"WebView2Loader.dll"), nullptr);
  for (const wchar_t* refused : {L"", L"web\\", L".\\", L"\\", L"C:"}) EXPECT_EQ(win::LoaderEntryIn(refused), nullptr);
  EXPECT_EQ(win::LoaderEntryIn(L"C:\\no-such-folder\\"), nullptr);
}

}  // namespace
