#pragma once

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/pluginview.h"

namespace oskel {

class IPluginVST3;

// The VST 3 editor view that the host embeds in its editor window: a thin adapter that opens
// and closes the plug-in's editor window, reports and negotiates the size, applies the host's
// content scale and translates key events. Main thread only.
class IPluginVST3View : public Steinberg::CPluginView, public Steinberg::IPlugViewContentScaleSupport {
 public:
  explicit IPluginVST3View(IPluginVST3& owner);
  ~IPluginVST3View() override;

  float GetContentScale() const { return mContentScale; }
  // Asks the host's plug frame (when it has set one) to resize the view to width x height
  // editor pixels at the current content scale. Returns false without a frame.
  bool ResizeFrame(int width, int height);

  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API removed() override;
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;

  OBJ_METHODS(IPluginVST3View, CPluginView)
  DEFINE_INTERFACES
    DEF_INTERFACE(IPlugViewContentScaleSupport)
  END_DEFINE_INTERFACES(CPluginView)
  REFCOUNT_METHODS(CPluginView)

 private:
  IPluginVST3& mOwner;
  float mContentScale = 1.0f;
};

}  // namespace oskel
