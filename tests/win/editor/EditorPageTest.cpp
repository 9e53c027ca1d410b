// Finding the editor page beside the module with Windows paths: backslashes, and a folder named
// outside ASCII in the UTF-8 module path.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "WideText.h"
#include "editor/EditorPage.h"

namespace {

namespace fs = std::filesystem;

TEST(EditorPage, CandidatesInOrderAndEmptyFilesSkipped) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const fs::path root = fs::path(temp) / (L"kyr-p\u00E4ge-" + std::to_wstring(GetCurrentProcessId())) / "LUMAEQ5.vst3";
  const fs::path moduleDir = root / "Contents" / "x86_64-win";
  const std::string module = oskel::platform::win::ToUtf8((moduleDir / "LUMAEQ5.vst3").c_str());
  ASSERT_NE(module.find('\\'), std::string::npos);
  const fs::path pages[] = {root / "Contents" / "Resources" / "web" / "index.html",
                            moduleDir / "Resources" / "web" / "index.html", moduleDir / "web" / "index.html"};
  const std::string texts[] = {"first", "second", "third", ""};
  const auto write = [](const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
  };
  EXPECT_EQ(oskel::ReadEditorPage(module), "");
  for (int i = 2; i >= 0; --i) {
    write(pages[i], texts[i]);
    EXPECT_EQ(oskel::ReadEditorPage(module), texts[i]);
  }
  // A page of 0 bytes counts as missing: the next candidate is taken.
  for (int i = 0; i < 3; ++i) {
    write(pages[i], "");
    EXPECT_EQ(oskel::ReadEditorPage(module), texts[i + 1]);
  }
  fs::remove_all(root.parent_path());
}

}  // namespace
