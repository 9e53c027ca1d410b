#pragma once

// Shared inside the fake runtime: the log, the pending callbacks and the object base.
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <type_traits>

#include "WebView2Api.h"

namespace fake {

using namespace oskel::platform::win;

void Log(const std::string& entry);
std::string Utf8(const wchar_t* text);
// A fresh CoTaskMemAlloc copy, as the runtime hands strings out.
LPWSTR TaskString(const wchar_t* text);
void Defer(std::function<void()> call);

extern int gLiveObjects;
extern int gHeldHandlers;
// The FakeWebView2Mode flags in force.
extern int gModes;

// Reference counting and a live-object count for every fake runtime object.
template <typename Primary>
class Object : public Primary {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return ++mRefs; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG refs = --mRefs;
    if (refs == 0) delete this;
    return refs;
  }

 protected:
  Object() { ++gLiveObjects; }
  virtual ~Object() { --gLiveObjects; }
  // Answers IUnknown and the given interfaces with the primary interface.
  HRESULT Answer(REFIID iid, void** object, std::initializer_list<IID> iids) {
    if (!object) return E_POINTER;
    bool known = IsEqualIID(iid, IID_IUnknown);
    for (const IID& candidate : iids) known = known || IsEqualIID(iid, candidate);
    *object = known ? static_cast<Primary*>(this) : nullptr;
    if (!known) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

 private:
  ULONG mRefs = 1;
};

// A reference the fake holds on one of the host's handler objects.
template <typename Handler>
class Held {
 public:
  Held() = default;
  explicit Held(Handler* handler) : mHandler(handler) {
    if (mHandler) {
      mHandler->AddRef();
      ++gHeldHandlers;
    }
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  Held(Held&& other) noexcept : mHandler(other.mHandler) { other.mHandler = nullptr; }
  Held& operator=(Held&& other) noexcept {
    if (this != &other) {
      Reset();
      mHandler = other.mHandler;
      other.mHandler = nullptr;
    }
    return *this;
  }
  ~Held() { Reset(); }
  void Reset() {
    if (mHandler) {
      mHandler->Release();
      --gHeldHandlers;
      mHandler = nullptr;
    }
  }
  Handler* Get() const { return mHandler; }

 private:
  Handler* mHandler = nullptr;
};

// Completes a request later, as the runtime does from its message loop: `finish` gets the
// host's handler, which the fake holds until then.
template <typename Handler, typename Finish>
void CompleteLater(Handler* handler, Finish finish) {
  auto held = std::make_shared<Held<Handler>>(handler);
  Defer([held, finish] {
    if (held->Get()) finish(held->Get());
    held->Reset();
  });
}

#define FAKE_NOTIMPL(name, ...) \
  HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }
// A method that only logs `entry` and succeeds; a getter that hands out `value`.
#define FAKE_LOGGED(name, params, entry) \
  HRESULT STDMETHODCALLTYPE name params override { Log(entry); return S_OK; }
#define FAKE_GET(name, Type, value) \
  HRESULT STDMETHODCALLTYPE name(Type* out) override { *out = value; return S_OK; }

}  // namespace fake
