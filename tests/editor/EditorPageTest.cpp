#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "editor/EditorPage.h"

namespace fs = std::filesystem;

// The page is read from the bundle's resources, else beside the module, else from its web
// folder; empty files and folders named like the page are passed over.
TEST(EditorPage, ReadsTheFirstNonEmptyPageInBundleBesideAndWebOrder) {
  const fs::path root = fs::temp_directory_path() / ("kyr-page-" + std::to_string(getpid()));
  const std::string module = (root / "Contents" / "x86_64-linux" / "LUMAEQ5.so").string();
  fs::remove_all(root);
  fs::create_directories(root / "Contents" / "Resources" / "web" / "index.html");  // a folder, not a file
  EXPECT_EQ(oskel::ReadEditorPage(module), "");
  EXPECT_EQ(oskel::ReadEditorPage(""), "");
  fs::remove_all(root);
  const struct {
    const char* file;
    const char* text;  // also the page read after writing it
  } writes[] = {{"Contents/Resources/web/index.html", ""},
                {"Contents/x86_64-linux/web/index.html", "web"},
                {"Contents/x86_64-linux/Resources/web/index.html", "beside"},
                {"Contents/Resources/web/index.html", "bundle"}};
  for (const auto& write : writes) {
    fs::create_directories((root / write.file).parent_path());
    std::ofstream(root / write.file, std::ios::binary) << write.text;
    EXPECT_EQ(oskel::ReadEditorPage(module), write.text) << write.file;
  }
  fs::remove_all(root);
}
