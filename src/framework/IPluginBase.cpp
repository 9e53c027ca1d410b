#include "IPluginBase.h"

namespace oskel {

IPluginBase::IPluginBase(int nParams, int nPresets) : WebViewEditorDelegate(nParams) {
  for (int i = 0; i < nPresets; ++i) mPresets.emplace_back();
}

IPluginBase::~IPluginBase() = default;

bool IPluginBase::SerializeParams(ByteChunk& chunk) const {
  for (int i = 0; i < NParams(); ++i) chunk.Put(GetParam(i)->Value());
  return true;
}

int IPluginBase::UnserializeParams(const ByteChunk& chunk, int startPos) {
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i) {
    double v = 0.0;
    pos = chunk.Get(&v, pos);
    if (pos >= 0) GetParam(i)->Set(GetParam(i)->Constrain(v));
  }
  OnParamReset(kPresetRecall);
  return pos;
}

std::string IPluginBase::GetPresetName(int idx) const {
  if (idx < 0 || idx >= NPresets()) return {};
  return mPresets[static_cast<size_t>(idx)].name;
}

}  // namespace oskel
