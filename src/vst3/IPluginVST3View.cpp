#include "IPluginVST3View.h"

#include <cmath>
#include <cstring>

#include "IPluginVST3.h"

namespace oskel {

using namespace Steinberg;

IPluginVST3View::IPluginVST3View(IPluginVST3& owner) : CPluginView(nullptr), mOwner(owner) { mOwner.addRef(); }

IPluginVST3View::~IPluginVST3View() {
  if (mOwner.GetView() == this) mOwner.SetView(nullptr);
  mOwner.release();
}

bool IPluginVST3View::ResizeFrame(int width, int height) {
  if (!plugFrame) return false;
  ViewRect rect(0, 0, static_cast<int32>(std::trunc(width * mContentScale + 0.5f)),
                static_cast<int32>(std::trunc(height * mContentScale + 0.5f)));
  return plugFrame->resizeView(this, &rect) == kResultTrue;
}

tresult PLUGIN_API IPluginVST3View::isPlatformTypeSupported(FIDString type) {
  return mOwner.HasUI() && type && std::strcmp(type, kPlatformTypeHWND) == 0 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPluginVST3View::attached(void* parent, FIDString type) {
  if (!mOwner.HasUI()) return kResultFalse;
  if (type && std::strcmp(type, kPlatformTypeHWND) == 0) mOwner.OpenWindow(parent);
  return CPluginView::attached(parent, type) == kResultOk ? kResultTrue : kResultTrue;
}

tresult PLUGIN_API IPluginVST3View::removed() {
  if (mOwner.HasUI()) mOwner.CloseWindow();
  return CPluginView::removed();
}

tresult PLUGIN_API IPluginVST3View::getSize(ViewRect* size) {
  if (!mOwner.HasUI() || !size) return kResultFalse;
  *size = ViewRect(0, 0, static_cast<int32>(std::trunc(mOwner.GetEditorWidth() * mContentScale + 0.5f)),
                   static_cast<int32>(std::trunc(mOwner.GetEditorHeight() * mContentScale + 0.5f)));
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3View::setContentScaleFactor(ScaleFactor factor) {
  mContentScale = factor;
  mOwner.OnScreenScaleChanged(factor);
  ResizeFrame(mOwner.GetEditorWidth(), mOwner.GetEditorHeight());
  return kResultOk;
}

}  // namespace oskel
