// Finding the editor page with a Windows module path: backslashes, and a folder named outside
// ASCII in the UTF-8 path. (The order of the candidates is checked in tests/editor.)
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "WideText.h"
#include "editor/EditorPage.h"

namespace {

namespace fs = std::filesystem;

TEST(EditorPage, FoundThroughABackslashPathWithAFolderNamedOutsideAscii) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const fs::path root = fs::path(temp) / (L"kyr-p\u00E4ge-" + std::to_wstring(GetCurrentProcessId())) / "LUMAEQ5.vst3";
  const std::string module = oskel::platform::win::ToUtf8((root / "Contents" / "x86_64-win" / "LUMAEQ5.vst3").c_str());
  ASSERT_NE(module.find('\\'), std::string::npos);
  const fs::path page = root / "Contents" / "Resources" / "web" / "index.html";
  fs::create_directories(page.parent_path());
  std::ofstream(page, std::ios::binary) << "page";
  EXPECT_EQ(oskel::ReadEditorPage(module), "page");
  fs::remove_all(root.parent_path());
}

}  // namespace
