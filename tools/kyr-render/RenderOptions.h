#pragma once

#include <string>
#include <vector>

namespace kyr::tools {

// Command line of kyr-render.
struct RenderOptions {
  std::string bundle;
  std::string input;   // empty with --demo
  std::string output;
  std::vector<std::pair<std::string, std::string>> settings;  // parameter title, value text
  int blockFrames = 512;
  bool doublePrecision = false;
  bool demo = false;
  double demoSeconds = 4.0;
};

// Parses argv; on failure returns false with a message for the user in `error`.
bool ParseRenderOptions(int argc, char** argv, RenderOptions& options, std::string& error);
const char* RenderUsage();

}  // namespace kyr::tools
