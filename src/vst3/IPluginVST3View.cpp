#include "IPluginVST3View.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <string>

#include "IPluginVST3.h"
#include "StringConvert.h"
#include "framework/HostId.h"
#include "framework/KeyPress.h"
#include "platform/Platform.h"

namespace oskel {

using namespace Steinberg;

DEF_CLASS_IID(IEditorDevTools)

namespace {

// The VST 3 virtual key code of the space bar, and the first of the printable-key codes
// (128 is "0"), which map onto their characters by subtracting 80.
constexpr int16 kVst3Space = 7;
constexpr int16 kVst3Equals = 57;
constexpr int16 kVst3FirstPrintable = 128;
constexpr int kPrintableOffset = 80;

// Windows virtual-key codes of the VST 3 virtual key codes 0..56 (0: no code of its own).
constexpr int32 kWindowsKeys[] = {
    0,    0x08, 0x09, 0x0C, 0x0D, 0x13, 0x1B, 0x20, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28,
    0x21, 0x22, 0x29, 0x2A, 0x0D, 0x2C, 0x2D, 0x2E, 0x2F, 0x60, 0x61, 0x62, 0x63, 0x64, 0x65,
    0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F, 0x70, 0x71, 0x72, 0x73, 0x74,
    0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x7B, 0x90, 0x91, 0x10, 0x11, 0x12,
};
static_assert(sizeof(kWindowsKeys) / sizeof(kWindowsKeys[0]) == 57);

int32 ViewExtent(int size, float scale) { return static_cast<int32>(std::trunc(size * scale + 0.5f)); }

// The key record of a host key event: (character, VST 3 virtual key code, modifier bits
// 1 shift, 2 alternate, 4 command/control).
KeyPress TranslateKey(char16 key, int16 keyCode, int16 modifiers) {
  char16 character = key;
  if (character == 0) {
    if (keyCode < kVst3FirstPrintable)
      character = keyCode == kVst3Space ? u' ' : 0;
    else
      character = static_cast<char16>(keyCode - kPrintableOffset);
  }
  std::string text;
  if (character != 0) {
    const char16 units[2] = {character, 0};
    text = Utf16ToUtf8(units, 1);
  }

  int32 vk = 0;
  if (keyCode == 0 || keyCode == kVst3Equals)
    vk = platform::KeyScan(text.empty() ? '\0' : text[0]);
  else if (keyCode >= kVst3FirstPrintable)
    vk = keyCode - kPrintableOffset;
  else if (keyCode > 0 && keyCode < static_cast<int16>(sizeof(kWindowsKeys) / sizeof(kWindowsKeys[0])))
    vk = kWindowsKeys[keyCode];

  return KeyPress(text.c_str(), vk, (modifiers & 1) != 0, (modifiers & 4) != 0, (modifiers & 2) != 0);
}

}  // namespace

IPluginVST3View::IPluginVST3View(IPluginVST3& owner) : CPluginView(nullptr), mOwner(owner) { mOwner.addRef(); }

IPluginVST3View::~IPluginVST3View() {
  if (mOwner.GetView() == this) mOwner.SetView(nullptr);
  mOwner.release();
}

tresult PLUGIN_API IPluginVST3View::queryInterface(const TUID iid, void** obj) {
  QUERY_INTERFACE(iid, obj, IPlugViewContentScaleSupport::iid, IPlugViewContentScaleSupport)
#if KYR_EDITOR_DEVTOOLS
  // Development builds only: the product module offers no way into its page to other code of
  // the host process.
  QUERY_INTERFACE(iid, obj, IEditorDevTools::iid, IEditorDevTools)
#endif
  return CPluginView::queryInterface(iid, obj);
}

bool IPluginVST3View::ResizeFrame(int width, int height) {
  if (!plugFrame) return false;
  ViewRect rect(0, 0, ViewExtent(width, mContentScale), ViewExtent(height, mContentScale));
  return plugFrame->resizeView(this, &rect) == kResultTrue;
}

tresult IPluginVST3View::OnKey(char16 key, int16 keyCode, int16 modifiers, bool down) {
  KeyPress press;
  if (mOwner.GetHost() == kHostReaper) {
    // This host takes every key for itself except the space bar, which the editor may use.
    if (keyCode != kVst3Space) return kResultFalse;
    press = KeyPress(" ", 32, (modifiers & 1) != 0, (modifiers & 4) != 0, (modifiers & 2) != 0);
  } else {
    press = TranslateKey(key, keyCode, modifiers);
  }
  const bool handled = down ? mOwner.OnKeyDown(press) : mOwner.OnKeyUp(press);
  return handled ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPluginVST3View::onKeyDown(char16 key, int16 keyCode, int16 modifiers) {
  return OnKey(key, keyCode, modifiers, true);
}

tresult PLUGIN_API IPluginVST3View::onKeyUp(char16 key, int16 keyCode, int16 modifiers) {
  return OnKey(key, keyCode, modifiers, false);
}

tresult PLUGIN_API IPluginVST3View::isPlatformTypeSupported(FIDString type) {
  return mOwner.HasUI() && type && std::strcmp(type, kPlatformTypeHWND) == 0 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPluginVST3View::attached(void* parent, FIDString type) {
  if (!mOwner.HasUI()) return kResultFalse;
  if (type && std::strcmp(type, kPlatformTypeHWND) == 0) {
    // The scale belongs to this view (a new view starts at 1.0): the editor opens at it.
    // An editor that cannot open (memory exhausted) is closed again and reported, never thrown
    // into the host.
    try {
      mOwner.OnScreenScaleChanged(mContentScale);
      mOwner.OpenWindow(parent);
    } catch (const std::bad_alloc&) {
      mOwner.CloseWindow();
      return kOutOfMemory;
    } catch (...) {
      mOwner.CloseWindow();
      return kResultFalse;
    }
  }
  CPluginView::attached(parent, type);
  return kResultTrue;
}

tresult PLUGIN_API IPluginVST3View::removed() {
  if (mOwner.HasUI()) mOwner.CloseWindow();
  return CPluginView::removed();
}

tresult PLUGIN_API IPluginVST3View::onWheel(float /*distance*/) { return kResultFalse; }

tresult PLUGIN_API IPluginVST3View::onFocus(TBool /*state*/) { return kResultFalse; }

tresult PLUGIN_API IPluginVST3View::getSize(ViewRect* size) {
  if (!mOwner.HasUI() || !size) return kResultFalse;
  *size = ViewRect(0, 0, ViewExtent(mOwner.GetEditorWidth(), mContentScale),
                   ViewExtent(mOwner.GetEditorHeight(), mContentScale));
  return kResultOk;
}

bool IPluginVST3View::IsOwnSize(const ViewRect& rect) const {
  return mOwner.HasUI() && rect.getWidth() == ViewExtent(mOwner.GetEditorWidth(), mContentScale) &&
         rect.getHeight() == ViewExtent(mOwner.GetEditorHeight(), mContentScale);
}

tresult PLUGIN_API IPluginVST3View::onSize(ViewRect* newSize) {
  if (!newSize) return kResultFalse;
  if (!mOwner.GetHostResize()) {
    // The user may not resize the editor, but the size the view itself asked the frame for
    // (a scale the page chose, or a new content scale) is taken.
    if (!IsOwnSize(*newSize)) return kResultFalse;
    CPluginView::onSize(newSize);
    mOwner.OnParentWindowResize(mOwner.GetEditorWidth(), mOwner.GetEditorHeight());
    return kResultOk;
  }
  CPluginView::onSize(newSize);
  mOwner.OnParentWindowResize(newSize->right - newSize->left, newSize->bottom - newSize->top);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3View::canResize() {
  if (!mOwner.HasUI()) return kResultFalse;
  return mOwner.GetHostResize() ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPluginVST3View::checkSizeConstraint(ViewRect* rect) {
  if (!rect) return kInvalidArgument;
  // The view's own size stands, even where a large scale on a large content scale passes
  // the limits below.
  if (IsOwnSize(*rect)) return kResultOk;
  int32 width = rect->right - rect->left;
  int32 height = rect->bottom - rect->top;
  const bool outside = width < mOwner.GetMinWidth() || width > mOwner.GetMaxWidth() ||
                       height < mOwner.GetMinHeight() || height > mOwner.GetMaxHeight();
  if (outside) {
    width = std::clamp<int32>(width, mOwner.GetMinWidth(), std::max(mOwner.GetMinWidth(), mOwner.GetMaxWidth()));
    height = std::clamp<int32>(height, mOwner.GetMinHeight(), std::max(mOwner.GetMinHeight(), mOwner.GetMaxHeight()));
    rect->right = rect->left + width;
    rect->bottom = rect->top + height;
  }
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3View::setContentScaleFactor(ScaleFactor factor) {
  // A scale of 0, below 0 or not a number would give the editor no size (or an undefined one).
  if (!(factor > 0.0f) || !std::isfinite(factor)) return kResultFalse;
  mContentScale = factor;
  mOwner.OnScreenScaleChanged(factor);
  ResizeFrame(mOwner.GetEditorWidth(), mOwner.GetEditorHeight());
  return kResultOk;
}

int32 PLUGIN_API IPluginVST3View::devToolsCommand(const char* method, const char* paramsJson, char* result,
                                                  int32 resultSize, int32 timeoutMs) {
  if (!method) return -1;
  std::string answer;
  if (!mOwner.CallDevTools(method, paramsJson ? paramsJson : "{}", answer, std::max<int32>(0, timeoutMs))) return -1;
  if (result && resultSize > 0) {
    const size_t n = std::min(answer.size(), static_cast<size_t>(resultSize - 1));
    std::memcpy(result, answer.data(), n);
    result[n] = 0;
  }
  return static_cast<int32>(std::min<size_t>(answer.size(), INT32_MAX));
}

}  // namespace oskel
