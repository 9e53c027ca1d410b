#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/EParams.h"
#include "editor/AnalyserPicture.h"
#include "engine/EqProcessor.h"
#include "IKyrMeters.h"
#include "framework/PluginConfig.h"
#include "vst3/IPluginVST3.h"

namespace kyr {

constexpr int32_t kUniqueID = oskel::FourCharCode("Tz4u");
constexpr int32_t kMfrID = oskel::FourCharCode("Wvoa");
// The editor page's design size in editor pixels (its size at scale 1).
constexpr int kEditorWidth = 1200;
constexpr int kEditorHeight = 560;

// The construction record of Kyr EQ.
oskel::PluginConfig MakePluginConfig();

}  // namespace kyr

// Kyr EQ: the plug-in object. It owns the 53 parameters (through the framework), the
// equaliser (EqProcessor), and the editor's idle work. The framework calls OnParamChange on
// whichever thread a change arrives, ProcessBlock on the audio thread and the editor hooks on
// the user-interface thread.
class LUMAEQ5 : public oskel::IPluginVST3, public kyr::IKyrMeters {
 public:
  explicit LUMAEQ5(const oskel::InstanceInfo& info);
  ~LUMAEQ5() override;

  void OnParamChange(int paramIdx) override;
  using oskel::IPluginVST3::OnParamChange;
  void OnReset() override;
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;

  // Editor logic.
  void OnIdle() override;
  void OnUIOpen() override;
  void OnUIClose() override;
  void OnRestoreState() override;
  bool OnMessage(int msgTag, int ctrlTag, int dataSize, const void* data) override;
  bool OnCanDownloadMIMEType(const char* /*mimeType*/) override { return false; }

  kyr::EqProcessor& GetProcessor() { return mProcessor; }

  // IKyrMeters
  Steinberg::tresult PLUGIN_API getMeterText(Steinberg::char8* text, Steinberg::int32 size) override;
  Steinberg::tresult PLUGIN_API setMeterReader(Steinberg::TBool reading) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  REFCOUNT_METHODS(oskel::IPluginVST3)

 private:
  kyr::EqProcessor mProcessor;
  int mLastReportedLatency = -1;
  // Editor flags: set on the UI thread (and the resend flag by OnReset on any thread).
  std::atomic<uint8_t> mEditorOpen{0};
  std::atomic<uint8_t> mEditorResend{0};
  int mSpectrumTicks = 0;
  // Set when a page has loaded: the first tick then gives it its stored state and its scale.
  // UI thread.
  bool mPageLoaded = false;
  // The page's state text (A/B slots, history, ...), kept for the life of the instance but not
  // in the project. UI thread.
  std::string mPageState;
  bool mHasPageState = false;
  double mEditorScale = 1.0;  // the scale the page last asked for
  double mSentSampleRate = 0.0;  // the rate last sent to the page; 0 sends it on the next tick
  // A command-line host reads the meters (IKyrMeters::setMeterReader). UI thread.
  std::atomic<uint8_t> mHostReadsMeters{0};
  // The engine takes the display-only measurements while the editor is open or a host reads
  // the meters.
  void UpdateMeterReader();
  // Editor idle work (user-interface thread): the meter message after a processed block and the
  // spectrum picture, whose FFT tables are built on the first picture.
  void SendMeterMessage();
  void SendSampleRateMessage(double sampleRate);
  void SendLevelsMessage();
  void SendPageState();
  void SendEditorScale();
  void ResizeEditor(double scale);
  void BuildSpectrumMessage();
  std::unique_ptr<oskel::AnalyserPicture> mSpectrum;
};

// Installs the editor initialiser that shows the page found beside the module.
void InstallEditorPage(LUMAEQ5& plugin);
