#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "IParam.h"
#include "KeyPress.h"
#include "MidiMessage.h"
#include "ParamSource.h"

namespace oskel {

// The editor-facing interface of the plug-in object. It owns the parameter list and the
// editor size, and declares every hook through which the editor and the plug-in talk:
// the editor bridge implements the window and "send to UI" operations, the framework the
// "from UI" edit paths, the plug-in class the change and message hooks.
// All editor operations run on the user-interface thread (the host's main thread); each hook
// below says which thread calls it.
class IEditorDelegate {
 public:
  explicit IEditorDelegate(int nParams);
  virtual ~IEditorDelegate();
  IEditorDelegate(const IEditorDelegate&) = delete;
  IEditorDelegate& operator=(const IEditorDelegate&) = delete;

  // Editor window (implemented by the editor bridge).
  virtual void* OpenWindow(void* parent) = 0;
  virtual void CloseWindow() = 0;
  virtual void OnParentWindowResize(int width, int height) = 0;

  // Plug-in hooks.
  // User-interface thread, after the editor window opened / before it closes.
  virtual void OnUIOpen() {}
  virtual void OnUIClose() {}
  // A parameter's value changed. Called through the three-argument form on the thread of the
  // change: the audio thread from the host's process call (automation, source kHost), the
  // user-interface thread for editor edits (kUI), the main thread for initialisation (kReset)
  // and state or preset loads (kPresetRecall). So it must not allocate, lock or wait.
  virtual void OnParamChange(int paramIdx) = 0;
  virtual void OnParamChange(int paramIdx, EParamSource source, int sampleOffset);
  // Main / user-interface thread only: a change the editor should show (never from process).
  virtual void OnParamChangeUI(int /*paramIdx*/, EParamSource /*source*/) {}
  // Main thread: every parameter's change hooks, in index order (initialisation, state loads).
  virtual void OnParamReset(EParamSource source);
  // Main thread, from the idle timer: MIDI and system-exclusive data the processor sent out.
  virtual void OnMidiMsgUI(const MidiMessage& /*msg*/) {}
  virtual void OnSysexMsgUI(const SysExMessage& /*msg*/) {}
  // User-interface thread: a message from the editor page.
  virtual bool OnMessage(int /*msgTag*/, int /*ctrlTag*/, int /*dataSize*/, const void* /*data*/) { return false; }
  // Main thread, after the host restored a state.
  virtual void OnRestoreState() {}
  // User-interface thread: keys and scale changes of the editor window.
  virtual bool OnKeyDown(const KeyPress& /*key*/) { return false; }
  virtual bool OnKeyUp(const KeyPress& /*key*/) { return false; }
  virtual void OnScreenScaleChanged(float /*scale*/) {}

  // Plug-in to editor (implemented by the editor bridge).
  virtual void SendControlValueToUI(int /*ctrlTag*/, double /*normalized*/) {}
  virtual void SendControlMsgToUI(int /*ctrlTag*/, int /*msgTag*/, int /*dataSize*/, const void* /*data*/) {}
  virtual void SendArbitraryMsgToUI(int /*msgTag*/, int /*dataSize*/, const void* /*data*/) {}
  virtual void SendMidiMsgToUI(const MidiMessage& /*msg*/) {}
  virtual void SendSysexMsgToUI(const SysExMessage& msg) { OnSysexMsgUI(msg); }
  virtual void SendParameterValueToUI(int /*paramIdx*/, double /*value*/, bool /*normalized*/) {}

  // Editor to host and plug-in (implemented by the framework).
  virtual void ResendAllParamsToHost() = 0;
  virtual void BeginEditFromUI(int paramIdx) = 0;
  virtual void SetParameterFromUI(int paramIdx, double normalized) = 0;
  virtual void EndEditFromUI(int paramIdx) = 0;
  virtual bool EditorResizeFromUI(int width, int height, bool needsHostResize) = 0;
  virtual void SendMidiMsgFromUI(const MidiMessage& msg) = 0;
  virtual void SendSysexMsgFromUI(const SysExMessage& msg) = 0;
  virtual void SendArbitraryMsgFromUI(int msgTag, int ctrlTag, int dataSize, const void* data) {
    OnMessage(msgTag, ctrlTag, dataSize, data);
  }

  int NParams() const { return static_cast<int>(mParams.size()); }
  IParam* GetParam(int paramIdx) {
    return paramIdx >= 0 && paramIdx < NParams() ? mParams[static_cast<size_t>(paramIdx)].get() : nullptr;
  }
  const IParam* GetParam(int paramIdx) const {
    return paramIdx >= 0 && paramIdx < NParams() ? mParams[static_cast<size_t>(paramIdx)].get() : nullptr;
  }

  int GetEditorWidth() const { return mEditorWidth; }
  int GetEditorHeight() const { return mEditorHeight; }
  int GetMinWidth() const { return mMinWidth; }
  int GetMaxWidth() const { return mMaxWidth; }
  int GetMinHeight() const { return mMinHeight; }
  int GetMaxHeight() const { return mMaxHeight; }
  void SetEditorSize(int width, int height) {
    mEditorWidth = width;
    mEditorHeight = height;
  }
  void SetSizeConstraints(int widthLo, int widthHi, int heightLo, int heightHi);

 private:
  std::vector<std::unique_ptr<IParam>> mParams;
  int mEditorWidth = 0;
  int mEditorHeight = 0;
  int mMinWidth = 0;
  int mMaxWidth = 0;
  int mMinHeight = 0;
  int mMaxHeight = 0;
};

}  // namespace oskel
