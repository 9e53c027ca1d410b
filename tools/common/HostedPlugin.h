#pragma once

#include <string>
#include <vector>

#include "HostObjects.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace kyr::tools {

// Loads a VST 3 module from its bundle exactly as a host does (dlopen and ModuleEntry on Linux,
// LoadLibrary and InitDll on Windows; GetPluginFactory, createInstance, initialize with a host
// context) and drives one instance of its first audio effect class: bus arrangement, processing
// set-up, process calls, state.
// Everything runs on the calling thread, which acts as the host's main and audio thread.
class HostedPlugin {
 public:
  explicit HostedPlugin(std::string hostName = "Kyr Host");
  ~HostedPlugin();
  HostedPlugin(const HostedPlugin&) = delete;
  HostedPlugin& operator=(const HostedPlugin&) = delete;

  // The module file inside a bundle folder for this platform.
  static std::string ModulePathInBundle(const std::string& bundlePath);

  // dlopen + ModuleEntry (LoadLibrary + InitDll on Windows) + GetPluginFactory.
  bool LoadModule(const std::string& bundlePath, std::string& error);
  // createInstance of the first "Audio Module Class", initialize, component handler.
  bool CreateInstance(std::string& error);
  // setBusArrangements (mono or stereo in and out), setupProcessing, setActive, setProcessing.
  bool StartProcessing(double sampleRate, int maxBlockFrames, Steinberg::int32 sampleSize, int nChannels,
                       std::string& error);
  // One process call; buffers may be the same for input and output (in place).
  void Process(float** inputs, float** outputs, int nFrames, const std::vector<ParamChange>& changes = {});
  void Process(double** inputs, double** outputs, int nFrames, const std::vector<ParamChange>& changes = {});
  // The same with a prepared change list (so that the call itself allocates nothing).
  void Process(float** inputs, float** outputs, int nFrames, Steinberg::Vst::IParameterChanges* changes);
  void Process(double** inputs, double** outputs, int nFrames, Steinberg::Vst::IParameterChanges* changes);
  void StopProcessing();
  // terminate, release, factory release, ModuleExit (ExitDll), dlclose (FreeLibrary). Also run by
  // the destructor.
  void Unload();

  bool GetState(std::vector<uint8_t>& state);
  Steinberg::tresult SetState(const std::vector<uint8_t>& state);

  // The parameter with this title (UTF-8), or -1.
  long FindParameter(const std::string& title) const;
  std::string ParameterTitle(Steinberg::Vst::ParamID id) const;
  std::string ValueText(Steinberg::Vst::ParamID id, double normalized) const;

  Steinberg::IPluginFactory* Factory() const { return mFactory; }
  Steinberg::Vst::IComponent* Component() const { return mComponent; }
  Steinberg::Vst::IAudioProcessor* Processor() const { return mProcessor; }
  Steinberg::Vst::IEditController* Controller() const { return mController; }
  ComponentHandler& Handler() { return mHandler; }
  HostApplication& Application() { return mApplication; }
  int NumChannels() const { return mNumChannels; }
  void* ModuleHandle() const { return mModule; }

 private:
  template <typename Sample>
  void ProcessBlock(Sample** inputs, Sample** outputs, int nFrames, Steinberg::Vst::IParameterChanges* changes);

  HostApplication mApplication;
  ComponentHandler mHandler;
  void* mModule = nullptr;
  Steinberg::IPluginFactory* mFactory = nullptr;
  Steinberg::Vst::IComponent* mComponent = nullptr;
  Steinberg::Vst::IAudioProcessor* mProcessor = nullptr;
  Steinberg::Vst::IEditController* mController = nullptr;
  bool mInitialized = false;
  bool mProcessing = false;
  Steinberg::int32 mSampleSize = Steinberg::Vst::kSample32;
  double mSampleRate = 48000.0;
  int mNumChannels = 2;
};

// UTF-16 (VST 3 strings) to UTF-8 for printing.
std::string ToUtf8(const Steinberg::Vst::TChar* text);

// A class ID as 32 upper-case hexadecimal digits of its four words, the same text on every platform
// (hosts name snapshot files and module info entries with it).
std::string ClassIdText(const Steinberg::TUID cid);

}  // namespace kyr::tools
