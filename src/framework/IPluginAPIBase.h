#pragma once

#include <memory>
#include <string>

#include "HostId.h"
#include "IPluginBase.h"
#include "MidiMessage.h"
#include "PluginConfig.h"
#include "SpscQueue.h"
#include "Timer.h"

namespace oskel {

// Sits between the plug-in base and an API binding: takes the plug-in's construction record,
// identifies the host by name, owns the 20 ms idle timer that drives all main-thread work, owns
// the queues that carry MIDI and system-exclusive data between the editor, the audio thread and
// the main thread, and declares the operations by which editor edits reach the host.
class IPluginAPIBase : public IPluginBase {
 public:
  static constexpr uint32_t kIdleTimerPeriodMs = 20;
  static constexpr int kMidiQueueSize = 32;
  static constexpr int kSysExQueueSize = 4;

  IPluginAPIBase(const PluginConfig& config, EAPI api);
  ~IPluginAPIBase() override;

  void SetHost(const std::string& name, int version);
  // Main thread, once the binding has read the host's name (during initialisation).
  virtual void OnHostIdentified() {}
  // Main thread, every tick of the idle timer, after the queued MIDI and system-exclusive
  // data has gone to the editor.
  virtual void OnIdle() {}

  // Host notification of editor edits (implemented by the API binding).
  virtual void BeginParamEdit(int paramIdx) = 0;
  virtual void PerformParamEdit(int paramIdx, double normalized) = 0;
  virtual void EndParamEdit(int paramIdx) = 0;
  virtual bool EditorResize(int /*width*/, int /*height*/) { return true; }

  // IEditorDelegate: editor to host and plug-in.
  void SetParameterFromUI(int paramIdx, double normalized) override;
  void ResendAllParamsToHost() override;
  void BeginEditFromUI(int paramIdx) override { BeginParamEdit(paramIdx); }
  void EndEditFromUI(int paramIdx) override { EndParamEdit(paramIdx); }
  bool EditorResizeFromUI(int width, int height, bool needsHostResize) override;
  void SendMidiMsgFromUI(const MidiMessage& msg) override { mMidiMsgsFromEditor.Push(msg); }
  void SendSysexMsgFromUI(const SysExMessage& msg) override { mSysExDataFromEditor.Push(msg); }

  // Audio-thread ends of the MIDI queues (the editor and the idle timer hold the others).
  bool PushMidiFromProcessor(const MidiMessage& msg) { return mMidiMsgsFromProcessor.Push(msg); }
  bool PopMidiFromEditor(MidiMessage& msg) { return mMidiMsgsFromEditor.Pop(msg); }
  bool PushSysExFromProcessor(const SysExMessage& msg) { return mSysExDataFromProcessor.Push(msg); }
  bool PopSysExFromEditor(SysExMessage& msg) { return mSysExDataFromEditor.Pop(msg); }

  // Starts the 20 ms idle timer. Called by the instance-creation function as soon as the
  // object is fully constructed, so that no tick can reach a half-built object.
  void StartIdleTimer();
  // Stops the idle timer; called first by the destructors of derived classes so that no tick
  // reaches a half-destroyed object. Safe to call more than once.
  void StopIdleTimer();

 protected:
  void OnTimer(Timer& timer);

  SpscQueue<MidiMessage> mMidiMsgsFromEditor{kMidiQueueSize};
  SpscQueue<MidiMessage> mMidiMsgsFromProcessor{kMidiQueueSize};
  SpscQueue<SysExMessage> mSysExDataFromEditor{kSysExQueueSize};
  SpscQueue<SysExMessage> mSysExDataFromProcessor{kSysExQueueSize};

 private:
  std::unique_ptr<Timer> mTimer;
};

}  // namespace oskel
