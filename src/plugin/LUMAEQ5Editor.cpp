// Editor logic of Kyr EQ: what the plug-in sends to its page and when, and how it answers the
// page's arbitrary messages. Everything here runs on the user-interface thread.
#include "LUMAEQ5.h"

#include <cmath>
#include <cstdio>

#include "MeterSnapshot.h"
#include "editor/EditorPage.h"
#include "editor/EditorProtocol.h"
#include "editor/LevelsMessage.h"
#include "editor/MeterMessage.h"
#include "editor/PageRequests.h"
#include "platform/Platform.h"

void InstallEditorPage(LUMAEQ5& plugin) {
  plugin.mEditorInitFunc = [&plugin] { oskel::FindEditorPage(plugin); };
}

void LUMAEQ5::OnIdle() {
  constexpr auto relaxed = std::memory_order_relaxed;
  if (mEditorOpen.load(relaxed) == 0) return;

  if (mEditorResend.load(relaxed) == 1) {
    mEditorResend.store(0, relaxed);
    for (int i = 0; i < kyr::kNumParams; ++i)
      if (const oskel::IParam* param = GetParam(i)) SendParameterValueToUI(i, param->Value(), false);
    mSentSampleRate = 0.0;  // a page that was (re)loaded learns the rate again
  }

  // The page draws its response curve for the engine's rate.
  const double sampleRate = mProcessor.GetSampleRate();
  if (sampleRate != mSentSampleRate) SendSampleRateMessage(sampleRate);

  if (mPageLoaded) {
    mPageLoaded = false;
    SendPageState();
    SendEditorScale();
  }

  if (mProcessor.GetMeters().processed.load(relaxed) != 0) SendMeterMessage();

  if (++mSpectrumTicks >= 3) {
    mSpectrumTicks = 0;
    BuildSpectrumMessage();
  }
}

void LUMAEQ5::SendMeterMessage() {
  // A block that ends between the snapshot and the clear is folded into the next message.
  const oskel::MeterValues meters = kyr::SnapshotMeters(mProcessor.GetMeters());
  mProcessor.GetMeters().processed.store(0, std::memory_order_relaxed);
  const std::string text = oskel::FormatMeterMessage(meters);
  SendArbitraryMsgToUI(oskel::kMsgTagMeters, static_cast<int>(text.size()), text.data());
  SendLevelsMessage();
}

void LUMAEQ5::SendLevelsMessage() {
  const kyr::LevelReadings r = mProcessor.GetLevels();
  const std::string text = oskel::FormatLevelsMessage({r.momentary, r.shortTerm, r.integrated, r.inputTruePeak,
                                                       r.gainMatchDb});
  SendArbitraryMsgToUI(oskel::kMsgTagLevels, static_cast<int>(text.size()), text.data());
}

void LUMAEQ5::SendPageState() {
  if (!mHasPageState) return;
  // The text may be far longer than the bridge's statement limit; it goes out whole.
  EvaluateJavaScript(
      oskel::UncutArbitraryMsgStatement(oskel::kMsgTagPageState, static_cast<int>(mPageState.size()), mPageState.data())
          .c_str());
}

void LUMAEQ5::SendEditorScale() {
  const std::string text = oskel::FormatEditorScaleMessage(mEditorScale);
  SendArbitraryMsgToUI(oskel::kMsgTagEditorScale, static_cast<int>(text.size()), text.data());
}

void LUMAEQ5::ResizeEditor(double scale) {
  // The host is asked for the view's new size (at its content scale) and, at 1, gets exactly
  // the design size. A host that refuses keeps the old size, and the page keeps its old scale.
  if (!EditorResizeFromUI(static_cast<int>(std::lround(kyr::kEditorWidth * scale)),
                          static_cast<int>(std::lround(kyr::kEditorHeight * scale)), true)) {
    return;
  }
  mEditorScale = scale;
  SendEditorScale();
}

void LUMAEQ5::SendSampleRateMessage(double sampleRate) {
  mSentSampleRate = sampleRate;
  char text[64];
  const int n = std::snprintf(text, sizeof text, "{\"t\":\"rate\",\"fs\":%.10g}", sampleRate);
  SendArbitraryMsgToUI(oskel::kMsgTagSampleRate, n, text);
}

void LUMAEQ5::BuildSpectrumMessage() {
  if (!mSpectrum) mSpectrum = std::make_unique<oskel::AnalyserPicture>();
  double input[oskel::AnalyserPicture::kFftSize];
  double output[oskel::AnalyserPicture::kFftSize];
  mProcessor.CopyLatestRings(input, output);
  const std::string text = mSpectrum->ComputeText(input, output, mProcessor.GetSampleRate());
  SendArbitraryMsgToUI(oskel::kMsgTagSpectrum, static_cast<int>(text.size()), text.data());
}

void LUMAEQ5::OnUIOpen() {
  for (int i = 0; i < NParams(); ++i) SendParameterValueToUI(i, GetParam(i)->GetNormalized(), true);
  mEditorResend.store(1, std::memory_order_relaxed);
  mPageLoaded = true;
  // Blocks from before the page had a reader measured nothing for it; the first meter message
  // waits for a block that did.
  mProcessor.GetMeters().processed.store(0, std::memory_order_relaxed);
  mEditorOpen.store(1, std::memory_order_relaxed);
  UpdateMeterReader();
}

void LUMAEQ5::OnUIClose() {
  mEditorOpen.store(0, std::memory_order_relaxed);
  UpdateMeterReader();
}

void LUMAEQ5::OnRestoreState() {
  for (int i = 0; i < NParams(); ++i) SendParameterValueToUI(i, GetParam(i)->GetNormalized(), true);
}

bool LUMAEQ5::OnMessage(int msgTag, int /*ctrlTag*/, int dataSize, const void* data) {
  if (msgTag == oskel::kMsgTagSetParamValue) {
    const auto request = oskel::ParseSetParamRequest(data, dataSize);
    if (!request || request->paramIdx < 0 || request->paramIdx >= kyr::kNumParams) return true;
    const int idx = request->paramIdx;
    const double normalized = GetParam(idx)->ToNormalized(request->value);
    BeginParamEdit(idx);
    SetParameterFromUI(idx, normalized);
    EndParamEdit(idx);
    SendParameterValueToUI(idx, normalized, true);
  } else if (msgTag == oskel::kMsgTagOpenUrl) {
    if (const auto url = oskel::ParseOpenUrlRequest(data, dataSize)) oskel::platform::OpenUrl(*url);
  } else if (msgTag == oskel::kMsgTagResetLoudness) {
    mProcessor.ResetLoudness();
  } else if (msgTag == oskel::kMsgTagStorePageState) {
    // A text that is missing or too long leaves the stored one in place.
    if (data && dataSize > 0 && dataSize <= oskel::kMaxPageStateBytes) {
      mPageState.assign(static_cast<const char*>(data), static_cast<size_t>(dataSize));
      mHasPageState = true;
    }
  } else if (msgTag == oskel::kMsgTagEditorSize) {
    if (const auto scale = oskel::ParseEditorScaleRequest(data, dataSize)) ResizeEditor(*scale);
  }
  return true;
}
