#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <utility>

#include "WebView2Api.h"

// Small COM helpers for the browser host: a counted reference, and callback objects that the
// browser runtime calls (its completion and event handlers).
namespace oskel::platform::win {

// Owns one reference to a COM object; releases it when reset or destroyed.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  // Takes over a reference the caller already owns (an out-parameter of the runtime).
  static ComRef Adopt(T* object) {
    ComRef ref;
    ref.mObject = object;
    return ref;
  }
  // Adds a reference of its own.
  static ComRef Share(T* object) {
    if (object) object->AddRef();
    return Adopt(object);
  }
  ComRef(const ComRef& other) : mObject(other.mObject) {
    if (mObject) mObject->AddRef();
  }
  ComRef(ComRef&& other) noexcept : mObject(std::exchange(other.mObject, nullptr)) {}
  ComRef& operator=(ComRef other) noexcept {
    std::swap(mObject, other.mObject);
    return *this;
  }
  ~ComRef() { Reset(); }

  void Reset() {
    if (T* object = std::exchange(mObject, nullptr)) object->Release();
  }
  // For an out-parameter: releases the current object and hands out the slot.
  T** Receive() {
    Reset();
    return &mObject;
  }
  // Another interface of the same object, or an empty reference when it has none.
  template <typename Other>
  ComRef<Other> As() const {
    ComRef<Other> other;
    if (mObject) mObject->QueryInterface(kIid<Other>, reinterpret_cast<void**>(other.Receive()));
    return other;
  }

  T* Get() const { return mObject; }
  T* operator->() const { return mObject; }
  explicit operator bool() const { return mObject != nullptr; }

 private:
  T* mObject = nullptr;
};

// The host's COM objects (handlers and environment options) alive in this module: the runtime
// may hold any of them as long as it likes, so tests check that none is leaked.
inline std::atomic<int>& LiveComObjects() {
  static std::atomic<int> count{0};
  return count;
}

// A reference-counted callback object implementing one runtime handler interface: Invoke
// forwards to a function. Created with one reference owned by the caller.
template <typename Interface, typename... Args>
class ComCallback final : public Interface {
 public:
  using Function = std::function<HRESULT(Args...)>;

  static ComRef<Interface> Make(Function function) {
    return ComRef<Interface>::Adopt(new ComCallback(std::move(function)));
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIid<Interface>)) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++mRefs; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG refs = --mRefs;
    if (refs == 0) delete this;
    return refs;
  }
  // The function may make the runtime drop its last reference to this handler (an event
  // handler that removes itself): the handler keeps itself alive until the function returns.
  HRESULT STDMETHODCALLTYPE Invoke(Args... args) override {
    const ComRef<Interface> self = ComRef<Interface>::Share(this);
    return mFunction ? mFunction(args...) : S_OK;
  }

 private:
  explicit ComCallback(Function function) : mFunction(std::move(function)) { ++LiveComObjects(); }
  ~ComCallback() { --LiveComObjects(); }

  Function mFunction;
  std::atomic<ULONG> mRefs{1};
};

// The handler types of the browser host.
using EnvironmentCompleted = ComCallback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, HRESULT,
                                         ICoreWebView2Environment*>;
using ControllerCompleted =
    ComCallback<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, HRESULT, ICoreWebView2Controller*>;
using WebMessageReceived = ComCallback<ICoreWebView2WebMessageReceivedEventHandler, ICoreWebView2*,
                                       ICoreWebView2WebMessageReceivedEventArgs*>;
using NavigationStarting = ComCallback<ICoreWebView2NavigationStartingEventHandler, ICoreWebView2*,
                                       ICoreWebView2NavigationStartingEventArgs*>;
using NavigationCompleted = ComCallback<ICoreWebView2NavigationCompletedEventHandler, ICoreWebView2*,
                                        ICoreWebView2NavigationCompletedEventArgs*>;
using NewWindowRequested = ComCallback<ICoreWebView2NewWindowRequestedEventHandler, ICoreWebView2*,
                                       ICoreWebView2NewWindowRequestedEventArgs*>;
using DownloadStarting = ComCallback<ICoreWebView2DownloadStartingEventHandler, ICoreWebView2*,
                                     ICoreWebView2DownloadStartingEventArgs*>;
using BytesReceivedChanged =
    ComCallback<ICoreWebView2BytesReceivedChangedEventHandler, ICoreWebView2DownloadOperation*, IUnknown*>;
using StateChanged = ComCallback<ICoreWebView2StateChangedEventHandler, ICoreWebView2DownloadOperation*, IUnknown*>;
using ScriptAdded = ComCallback<ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler, HRESULT, LPCWSTR>;
using ScriptExecuted = ComCallback<ICoreWebView2ExecuteScriptCompletedHandler, HRESULT, LPCWSTR>;

// Takes a string the runtime handed out (CoTaskMemAlloc) as UTF-8 and frees it.
std::string TakeString(LPWSTR text);

}  // namespace oskel::platform::win
