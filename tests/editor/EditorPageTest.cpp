#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "editor/EditorPage.h"

namespace fs = std::filesystem;

namespace {

class EditorPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mRoot = fs::temp_directory_path() / ("kyr-page-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(mRoot);
    fs::create_directories(mRoot / "Contents" / "x86_64-linux");
  }
  void TearDown() override { fs::remove_all(mRoot); }
  void Write(const fs::path& relative, const std::string& text) {
    fs::create_directories((mRoot / relative).parent_path());
    std::ofstream(mRoot / relative, std::ios::binary) << text;
  }
  std::string Module() const { return (mRoot / "Contents" / "x86_64-linux" / "LUMAEQ5.so").string(); }

  fs::path mRoot;
};

}  // namespace

TEST_F(EditorPageTest, TriesTheBundleResourcesFirst) {
  Write("Contents/Resources/web/index.html", "bundle");
  Write("Contents/x86_64-linux/Resources/web/index.html", "beside");
  Write("Contents/x86_64-linux/web/index.html", "web");
  EXPECT_EQ(oskel::ReadEditorPage(Module()), "bundle");
}

TEST_F(EditorPageTest, FallsBackInOrderAndSkipsEmptyFiles) {
  Write("Contents/Resources/web/index.html", "");
  Write("Contents/x86_64-linux/web/index.html", "web");
  EXPECT_EQ(oskel::ReadEditorPage(Module()), "web");
  Write("Contents/x86_64-linux/Resources/web/index.html", "beside");
  EXPECT_EQ(oskel::ReadEditorPage(Module()), "beside");
}

TEST_F(EditorPageTest, NoPageAtAllGivesNothing) {
  fs::create_directories(mRoot / "Contents" / "Resources" / "web" / "index.html");  // a folder, not a file
  EXPECT_EQ(oskel::ReadEditorPage(Module()), "");
  EXPECT_EQ(oskel::ReadEditorPage(""), "");
}
