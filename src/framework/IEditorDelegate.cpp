#include "IEditorDelegate.h"

#include <algorithm>

#include "Trace.h"

namespace oskel {

IEditorDelegate::IEditorDelegate(int nParams) {
  mParams.reserve(static_cast<size_t>(std::max(nParams, 0)));
  for (int i = 0; i < nParams; ++i) mParams.push_back(std::make_unique<IParam>());
}

IEditorDelegate::~IEditorDelegate() = default;

void IEditorDelegate::OnParamChange(int paramIdx, EParamSource source, int /*sampleOffset*/) {
  Trace("idx:%i src:%s\n", paramIdx, ParamSourceName(source));
  OnParamChange(paramIdx);
}

void IEditorDelegate::OnParamReset(EParamSource source) {
  for (int i = 0; i < NParams(); ++i) {
    OnParamChange(i, source, -1);
    OnParamChangeUI(i, source);
  }
}

void IEditorDelegate::SetSizeConstraints(int widthLo, int widthHi, int heightLo, int heightHi) {
  mMinWidth = std::min(widthLo, widthHi);
  mMaxWidth = std::max(widthLo, widthHi);
  mMinHeight = std::min(heightLo, heightHi);
  mMaxHeight = std::max(heightLo, heightHi);
}

}  // namespace oskel
