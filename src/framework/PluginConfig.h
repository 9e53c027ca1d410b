#pragma once

#include <cstdint>
#include <string>

namespace oskel {

// Plug-in kinds and the plug-in API the framework runs under.
enum EPluginType : int32_t { kEffect = 0, kInstrument = 1, kMidiEffect = 2 };
enum EAPI : int32_t { kAPIVST2 = 0, kAPIVST3 = 1 };

// Packs a four-character code with its first character in the most significant byte.
constexpr int32_t FourCharCode(const char (&code)[5]) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) |
                              static_cast<uint32_t>(static_cast<uint8_t>(code[3])));
}

// The construction record that a plug-in class hands to the framework.
struct PluginConfig {
  int32_t nParams = 0;
  int32_t nPresets = 1;
  std::string channelIOStr;
  std::string pluginName;
  std::string productName;
  std::string mfrName;
  int32_t vendorVersion = 0;  // major << 16 | minor << 8 | patch
  int32_t uniqueID = 0;
  int32_t mfrID = 0;
  int32_t latency = 0;
  bool plugDoesMidiIn = false;
  bool plugDoesMidiOut = false;
  bool plugDoesMPE = false;
  bool plugDoesChunks = false;
  int32_t plugType = kEffect;
  bool plugHasUI = false;
  int32_t plugWidth = 0;
  int32_t plugHeight = 0;
  int32_t plugMinWidth = 0;
  int32_t plugMaxWidth = 0;
  int32_t plugMinHeight = 0;
  int32_t plugMaxHeight = 0;
  bool plugHostResize = false;
  std::string bundleID;
  std::string appGroupID;
};

}  // namespace oskel
