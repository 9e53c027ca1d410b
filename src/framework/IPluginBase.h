#pragma once

#include <string>
#include <vector>

#include "ByteChunk.h"
#include "PluginConfig.h"
#include "editor/WebViewEditorDelegate.h"

namespace oskel {

// The part of the plug-in object that owns the parameter list (through the editor delegate),
// the plug-in's identity, the preset list and the serialization of the parameter values into
// the state chunk that hosts store in their projects.
//
// It derives from the editor bridge (WebViewEditorDelegate), so that the one plug-in object is
// also its editor's delegate: the parameter list, the host's edits and the page's edits meet in
// one place, and the page never needs a pointer back into the plug-in. The bridge in turn
// implements the framework's editor interface (IEditorDelegate). That is why kyr_framework and
// kyr_editor name each other: the pair is one layer split into two folders by concern (state
// and hooks here, page protocol and web view there), and linking either brings in both.
//
// State chunk: every parameter's plain value as an 8-byte little-endian double, in index
// order, with no header: 8 x (number of parameters) bytes.
class IPluginBase : public WebViewEditorDelegate {
 public:
  struct Preset {
    bool initialised = false;
    std::string name = "empty";
    ByteChunk state;
  };

  IPluginBase(int nParams, int nPresets);
  ~IPluginBase() override;

  virtual bool SerializeState(ByteChunk& chunk) const { return SerializeParams(chunk); }
  virtual int UnserializeState(const ByteChunk& chunk, int startPos) { return UnserializeParams(chunk, startPos); }
  bool SerializeParams(ByteChunk& chunk) const;
  // Restores the values that fit from startPos, then runs every parameter's change hooks.
  // Returns the position behind the last value read, or -1 when the chunk was too short.
  int UnserializeParams(const ByteChunk& chunk, int startPos);

  int NPresets() const { return static_cast<int>(mPresets.size()); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  std::string GetPresetName(int idx) const;

  const std::string& GetPluginName() const { return mPluginName; }
  const std::string& GetProductName() const { return mProductName; }
  const std::string& GetMfrName() const { return mMfrName; }
  int32_t GetUniqueID() const { return mUniqueID; }
  int32_t GetMfrID() const { return mMfrID; }
  int32_t GetPluginVersion() const { return mVersion; }
  int GetHost() const { return mHost; }
  int GetHostVersion() const { return mHostVersion; }
  const std::string& GetHostName() const { return mHostName; }
  EAPI GetAPI() const { return mAPI; }
  bool HasUI() const { return mHasUI; }
  bool GetHostResize() const { return mHostResize; }
  bool DoesStateChunks() const { return mStateChunks; }

  // Distinct parameter group names, filled when the parameters are published to a host.
  std::vector<std::string>& GroupNames() { return mGroupNames; }

 protected:
  std::string mPluginName;
  std::string mProductName;
  std::string mMfrName;
  int32_t mUniqueID = 0;
  int32_t mMfrID = 0;
  int32_t mVersion = 0;
  int mHost = -1;
  int mHostVersion = 0;
  std::string mHostName;
  EAPI mAPI = kAPIVST3;
  bool mHasUI = false;
  bool mHostResize = false;
  bool mStateChunks = false;

 private:
  std::vector<Preset> mPresets;
  int mCurrentPresetIdx = 0;
  std::vector<std::string> mGroupNames;
};

}  // namespace oskel
