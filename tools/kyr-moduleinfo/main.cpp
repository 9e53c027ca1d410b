// kyr-moduleinfo: loads a VST 3 bundle's module as a host does and writes the module description
// that hosts read to list the plug-in without loading it (Contents/Resources/moduleinfo.json).
// Everything in it comes from the module's factory and the snapshots present in the bundle, so
// it cannot disagree with the module.
//
//   kyr-moduleinfo BUNDLE              prints the description
//   kyr-moduleinfo --write BUNDLE      writes it into BUNDLE/Contents/Resources/moduleinfo.json
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "HostedPlugin.h"
#include "ModuleInfo.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: kyr-moduleinfo [--write] path/to/NAME.vst3\n");
  return 2;
}

// "path/to/NAME.vst3/" -> "NAME".
std::string ModuleName(std::string bundle) {
  while (!bundle.empty() && (bundle.back() == '/' || bundle.back() == '\\')) bundle.pop_back();
  std::string name = std::filesystem::path(bundle).filename().string();
  if (name.size() > 5 && name.compare(name.size() - 5, 5, ".vst3") == 0) name.resize(name.size() - 5);
  return name;
}

}  // namespace

int main(int argc, char** argv) {
  bool write = false;
  std::string bundle;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--write") write = true;
    else if (bundle.empty() && !arg.empty() && arg[0] != '-') bundle = arg;
    else return Usage();
  }
  if (bundle.empty()) return Usage();

  std::string text;
  {
    kyr::tools::HostedPlugin host("kyr-moduleinfo");
    std::string error;
    if (!host.LoadModule(bundle, error)) {
      std::fprintf(stderr, "kyr-moduleinfo: %s\n", error.c_str());
      return 1;
    }
    const std::filesystem::path resources = std::filesystem::path(bundle) / "Contents" / "Resources";
    text = kyr::tools::MakeModuleInfo(host.Factory(), ModuleName(bundle), resources).dump(2) + "\n";
  }

  if (!write) {
#if defined(_WIN32)
    // The same bytes as on Linux: no CR before each line feed.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
  }
  const std::filesystem::path file = std::filesystem::path(bundle) / "Contents" / "Resources" / "moduleinfo.json";
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  std::ofstream out(file, std::ios::binary);
  out << text;
  if (!out.flush()) {
    std::fprintf(stderr, "kyr-moduleinfo: cannot write %s\n", file.string().c_str());
    return 1;
  }
  std::printf("kyr-moduleinfo: wrote %s\n", file.string().c_str());
  return 0;
}
