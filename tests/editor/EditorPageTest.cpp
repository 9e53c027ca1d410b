#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "editor/EditorPage.h"

namespace fs = std::filesystem;

// Bundle resources first, then beside the module, then its web folder; empty files are passed over.
TEST(EditorPage, ReadsTheFirstNonEmptyPageInBundleBesideAndWebOrder) {
  const fs::path root = fs::temp_directory_path() / ("kyr-page-" + std::to_string(getpid()));
  const std::string module = (root / "Contents" / "x86_64-linux" / "LUMAEQ5.so").string();
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
