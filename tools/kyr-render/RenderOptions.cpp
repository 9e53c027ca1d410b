#include "RenderOptions.h"

#include <cstdlib>
#include <cstring>

namespace kyr::tools {

const char* RenderUsage() {
  return "usage: kyr-render [options] INPUT OUTPUT\n"
         "       kyr-render [options] --demo OUTPUT\n"
         "Processes an audio file (WAV, FLAC, AIFF; mono or stereo, any rate) through Kyr EQ as a\n"
         "host does and writes the result in the input's format.\n"
         "  --set \"NAME=VALUE\"  set a parameter by its name to a plain value or a display text\n"
         "                      (e.g. --set \"Low Boost=60\" --set \"Mode=BAX\"); may be repeated\n"
         "  --block N           host block size in frames (default 512)\n"
         "  --double            process 64-bit samples (default 32-bit)\n"
         "  --demo              render a generated demo signal instead of reading a file\n"
         "  --seconds S         length of the demo signal (default 4)\n"
         "  --bundle PATH       the LUMAEQ5.vst3 bundle to load\n";
}

bool ParseRenderOptions(int argc, char** argv, RenderOptions& o, std::string& error) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto next = [&](const char* what) -> const char* {
      if (i + 1 >= argc) {
        error = arg + " needs " + what;
        return nullptr;
      }
      return argv[++i];
    };
    if (arg == "--set") {
      const char* v = next("NAME=VALUE");
      if (!v) return false;
      const char* eq = std::strchr(v, '=');
      if (!eq || eq == v) {
        error = std::string("--set expects NAME=VALUE, got \"") + v + "\"";
        return false;
      }
      o.settings.emplace_back(std::string(v, eq), std::string(eq + 1));
    } else if (arg == "--block") {
      const char* v = next("a frame count");
      if (!v) return false;
      char* end = nullptr;
      const long n = std::strtol(v, &end, 10);
      if (*end || n < 1 || n > 65536) {
        error = std::string("--block expects 1..65536 frames, got \"") + v + "\"";
        return false;
      }
      o.blockFrames = static_cast<int>(n);
    } else if (arg == "--seconds") {
      const char* v = next("a duration");
      if (!v) return false;
      char* end = nullptr;
      o.demoSeconds = std::strtod(v, &end);
      if (*end || !(o.demoSeconds > 0.0) || o.demoSeconds > 600.0) {
        error = std::string("--seconds expects a duration up to 600, got \"") + v + "\"";
        return false;
      }
    } else if (arg == "--bundle") {
      const char* v = next("a path");
      if (!v) return false;
      o.bundle = v;
    } else if (arg == "--double") {
      o.doublePrecision = true;
    } else if (arg == "--demo") {
      o.demo = true;
    } else if (arg == "-h" || arg == "--help") {
      error = "";
      return false;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else {
      positional.push_back(arg);
    }
  }
  const size_t wanted = o.demo ? 1 : 2;
  if (positional.size() != wanted) {
    error = o.demo ? "--demo takes one OUTPUT file" : "expected INPUT and OUTPUT files";
    return false;
  }
  if (!o.demo) o.input = positional[0];
  o.output = positional.back();
  return true;
}

}  // namespace kyr::tools
