#include "IPluginAPIBase.h"

#include <cstdio>

#include "Trace.h"

namespace oskel {

namespace {

std::string Limit128(const std::string& s) { return s.size() > 128 ? s.substr(0, 128) : s; }

}  // namespace

IPluginAPIBase::IPluginAPIBase(const PluginConfig& config, EAPI api)
    : IPluginBase(config.nParams, config.nPresets) {
  mUniqueID = config.uniqueID;
  mMfrID = config.mfrID;
  mVersion = config.vendorVersion;
  mPluginName = Limit128(config.pluginName);
  mProductName = Limit128(config.productName);
  mMfrName = Limit128(config.mfrName);
  mHasUI = config.plugHasUI;
  mHostResize = config.plugHostResize;
  mStateChunks = config.plugDoesChunks;
  SetEditorSize(config.plugWidth, config.plugHeight);
  SetSizeConstraints(config.plugMinWidth, config.plugMaxWidth, config.plugMinHeight, config.plugMaxHeight);
  mAPI = api;
}

void IPluginAPIBase::StartIdleTimer() {
  if (!mTimer) mTimer = Timer::Create([this](Timer& t) { OnTimer(t); }, kIdleTimerPeriodMs);
}

IPluginAPIBase::~IPluginAPIBase() { StopIdleTimer(); }

void IPluginAPIBase::StopIdleTimer() {
  if (mTimer) mTimer->Stop();
}

void IPluginAPIBase::SetHost(const std::string& name, int version) {
  mHostName = name;
  mHost = IdentifyHost(name);
  mHostVersion = version;
  char versionText[64];
  std::snprintf(versionText, sizeof versionText, "v%d.%d.%d", version >> 16, (version >> 8) & 0xFF, version & 0xFF);
  Trace("host_%sknown:%s:%s", mHost == kHostUnknown ? "un" : "", name.c_str(), versionText);
  OnHostIdentified();
}

void IPluginAPIBase::SetParameterFromUI(int paramIdx, double normalized) {
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  param->SetNormalized(normalized);
  PerformParamEdit(paramIdx, normalized);
  OnParamChange(paramIdx, kUI, -1);
}

void IPluginAPIBase::ResendAllParamsToHost() {
  for (int i = 0; i < NParams(); ++i) PerformParamEdit(i, GetParam(i)->GetNormalized());
}

bool IPluginAPIBase::EditorResizeFromUI(int width, int height, bool needsHostResize) {
  // False when the host refused the new size.
  return !needsHostResize || EditorResize(width, height);
}

void IPluginAPIBase::OnTimer(Timer&) {
  MidiMessage msg;
  while (mMidiMsgsFromProcessor.Pop(msg)) SendMidiMsgToUI(msg);
  SysExMessage sysex;
  while (mSysExDataFromProcessor.Pop(sysex)) SendSysexMsgToUI(sysex);
  OnIdle();
}

}  // namespace oskel
