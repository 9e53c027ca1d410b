#include "EditorPage.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "IWebView.h"
#include "platform/Platform.h"

namespace oskel {

namespace {

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {};
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

std::string ReadEditorPage(const std::string& modulePath) {
  if (modulePath.empty()) return {};
  // The module path is UTF-8 on every platform; a plain narrow path would be read in the
  // Windows ANSI code page and miss folders named outside ASCII.
  const std::filesystem::path dir =
      std::filesystem::path(std::u8string(modulePath.begin(), modulePath.end())).parent_path();
  const std::filesystem::path candidates[] = {
      dir.parent_path() / "Resources" / "web" / "index.html",
      dir / "Resources" / "web" / "index.html",
      dir / "web" / "index.html",
  };
  for (const auto& candidate : candidates) {
    std::string page = ReadWholeFile(candidate);
    if (!page.empty()) return page;
  }
  return {};
}

void FindEditorPage(IWebView& webView) {
  const std::string page = ReadEditorPage(platform::ModulePath());
  if (!page.empty())
    webView.LoadHTML(page.c_str());
  else
    webView.LoadFile("index.html");
}

}  // namespace oskel
