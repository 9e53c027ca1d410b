// Finding the editor page beside the module, with Windows paths.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "WideText.h"
#include "editor/EditorPage.h"

namespace {

namespace fs = std::filesystem;

class EditorPageTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeBundle(L"kyr-page-"); }
  void MakeBundle(const std::wstring& prefix) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    root = fs::path(temp) / (prefix + std::to_wstring(GetCurrentProcessId())) / "LUMAEQ5.vst3";
    moduleDir = root / "Contents" / "x86_64-win";
    fs::create_directories(moduleDir);
  }
  void TearDown() override { fs::remove_all(root.parent_path()); }

  static void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
  }
  // The module path as the platform layer gives it: UTF-8 with backslashes.
  std::string ModulePath() const { return oskel::platform::win::ToUtf8((moduleDir / "LUMAEQ5.vst3").c_str()); }

  fs::path root;
  fs::path moduleDir;
};

TEST_F(EditorPageTest, CandidatesInOrderAndEmptyFilesSkipped) {
  const fs::path bundlePage = root / "Contents" / "Resources" / "web" / "index.html";
  const fs::path besidePage = moduleDir / "Resources" / "web" / "index.html";
  const fs::path webPage = moduleDir / "web" / "index.html";
  ASSERT_NE(ModulePath().find('\\'), std::string::npos);

  EXPECT_EQ(oskel::ReadEditorPage(ModulePath()), "");
  Write(webPage, "third");
  EXPECT_EQ(oskel::ReadEditorPage(ModulePath()), "third");
  Write(besidePage, "second");
  EXPECT_EQ(oskel::ReadEditorPage(ModulePath()), "second");
  Write(bundlePage, "first");
  EXPECT_EQ(oskel::ReadEditorPage(ModulePath()), "first");
  // A page of 0 bytes counts as missing: the next candidate is taken.
  Write(bundlePage, "");
  EXPECT_EQ(oskel::ReadEditorPage(ModulePath()), "second");
  Write(besidePage, "");
  EXPECT_EQ(oskel::ReadEditorPage(ModulePath()), "third");
  Write(webPage, "");
  EXPECT_EQ(oskel::ReadEditorPage(ModulePath()), "");
}

// The module path is UTF-8; a folder named outside ASCII must still be found.
TEST_F(EditorPageTest, FindsThePageInAFolderNamedOutsideAscii) {
  fs::remove_all(root.parent_path());
  MakeBundle(L"kyr-p\u00E4ge-");
  Write(root / "Contents" / "Resources" / "web" / "index.html", "first");
  EXPECT_EQ(oskel::ReadEditorPage(ModulePath()), "first");
}

}  // namespace
