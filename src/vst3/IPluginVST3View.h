#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/pluginview.h"

namespace oskel {

class IPluginVST3;

// A private extension of the editor view for the project's own tools and tests, which host the
// module and need to look into the live editor page (its state, a screenshot, scripted input):
// one DevTools command sent to the page. Only development builds (KYR_EDITOR_DEVTOOLS) answer a
// query for it; the product module does not offer it to the code of the host process.
class IEditorDevTools : public Steinberg::FUnknown {
 public:
  // Sends `method` with the JSON parameters to the open page and waits up to timeoutMs for the
  // answer. Writes the answer's JSON into `result` (cut to resultSize - 1 bytes, terminated) and
  // returns its full length, or -1 when there is no page, the command fails or times out.
  virtual Steinberg::int32 PLUGIN_API devToolsCommand(const char* method, const char* paramsJson, char* result,
                                                      Steinberg::int32 resultSize, Steinberg::int32 timeoutMs) = 0;
  static const Steinberg::FUID iid;
};

DECLARE_CLASS_IID(IEditorDevTools, 0x4B797245, 0x64697444, 0x6576546F, 0x6F6C7331)

// The VST 3 editor view that the host embeds in its editor window: a thin adapter that opens
// and closes the plug-in's editor window, reports and negotiates the size, applies the host's
// content scale and translates key events. Main thread only. The view holds a counted
// reference to the plug-in for its whole life.
class IPluginVST3View : public Steinberg::CPluginView,
                        public Steinberg::IPlugViewContentScaleSupport,
                        public IEditorDevTools {
 public:
  explicit IPluginVST3View(IPluginVST3& owner);
  ~IPluginVST3View() override;

  float GetContentScale() const { return mContentScale; }
  // Asks the host's plug frame (when it has set one) to resize the view to width x height
  // editor pixels at the current content scale. Returns false without a frame.
  bool ResizeFrame(int width, int height);

  // IPlugView
  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API removed() override;
  Steinberg::tresult PLUGIN_API onWheel(float distance) override;
  Steinberg::tresult PLUGIN_API onKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode,
                                          Steinberg::int16 modifiers) override;
  Steinberg::tresult PLUGIN_API onKeyUp(Steinberg::char16 key, Steinberg::int16 keyCode,
                                        Steinberg::int16 modifiers) override;
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;
  Steinberg::tresult PLUGIN_API onFocus(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API canResize() override;
  Steinberg::tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect* rect) override;

  // IPlugViewContentScaleSupport
  Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;

  // IEditorDevTools
  Steinberg::int32 PLUGIN_API devToolsCommand(const char* method, const char* paramsJson, char* result,
                                              Steinberg::int32 resultSize, Steinberg::int32 timeoutMs) override;

  OBJ_METHODS(IPluginVST3View, CPluginView)
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  REFCOUNT_METHODS(CPluginView)

 private:
  // Key events of both directions, translated into the editor's key record (Windows
  // virtual-key codes, the character as UTF-8); `down` picks the delegate's hook.
  // Whether a rectangle has the view's current size (the editor's size at the content scale).
  bool IsOwnSize(const Steinberg::ViewRect& rect) const;
  Steinberg::tresult OnKey(Steinberg::char16 key, Steinberg::int16 keyCode, Steinberg::int16 modifiers, bool down);

  IPluginVST3& mOwner;
  float mContentScale = 1.0f;
};

}  // namespace oskel
