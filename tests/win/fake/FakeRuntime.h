#pragma once

// Shared inside the fake runtime: the log, the pending callbacks and the object base.
#include <functional>
#include <memory>
#include <string>

#include "WebView2Api.h"

namespace fake {

using namespace oskel::platform::win;

void Log(const std::string& entry);
// The tests' texts are ASCII: each UTF-16 unit becomes one char.
std::string Narrow(const wchar_t* text);
// A fresh CoTaskMemAlloc copy, as the runtime hands strings out.
LPWSTR TaskString(const wchar_t* text);
void Defer(std::function<void()> call);
ICoreWebView2Controller* NewController();  // with its web view

extern int gLiveObjects;
extern int gHeldHandlers;
extern int gModes;  // the FakeWebView2Mode flags in force

// Reference counting, a live-object count and QueryInterface (IUnknown, `Primary`, `Bases`).
template <typename Primary, typename... Bases>
class Object : public Primary {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return ++mRefs; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG refs = --mRefs;
    if (refs == 0) delete this;
    return refs;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    const bool known =
        IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIid<Primary>) || (IsEqualIID(iid, kIid<Bases>) || ...);
    *object = known ? static_cast<Primary*>(this) : nullptr;
    if (!known) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

 protected:
  Object() { ++gLiveObjects; }
  virtual ~Object() { --gLiveObjects; }

 private:
  ULONG mRefs = 1;
};

// A reference the fake holds on one of the host's handler objects.
template <typename Handler>
class Held {
 public:
  explicit Held(Handler* handler = nullptr) { Reset(handler); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() { Reset(); }
  // Lets go of the handler held so far and holds `handler` instead.
  void Reset(Handler* handler = nullptr) {
    if (handler) {
      handler->AddRef();
      ++gHeldHandlers;
    }
    if (mHandler) {
      mHandler->Release();
      --gHeldHandlers;
    }
    mHandler = handler;
  }
  Handler* Get() const { return mHandler; }

 private:
  Handler* mHandler = nullptr;
};

// Completes a request later with the host's handler, which the fake holds until then.
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
// An event the fake never raises: its add_ and remove_ methods (`Handler` when not <event>EventHandler).
#define FAKE_NOTIMPL_EVENT_AS(event, Handler) \
  FAKE_NOTIMPL(add_##event, Handler*, EventRegistrationToken*) FAKE_NOTIMPL(remove_##event, EventRegistrationToken)
#define FAKE_NOTIMPL_EVENT(event) FAKE_NOTIMPL_EVENT_AS(event, ICoreWebView2##event##EventHandler)
// An event whose one handler is kept in `member` under a fixed token; add_ and remove_ are logged.
#define FAKE_HELD_EVENT(object, event, member, tokenValue)                                                     \
  HRESULT STDMETHODCALLTYPE add_##event(ICoreWebView2##event##EventHandler* handler, EventRegistrationToken* token) \
      override {                                                                                                \
    Log(object ".add_" #event);                                                                                 \
    member.Reset(handler);                                                                                      \
    token->value = tokenValue;                                                                                  \
    return S_OK;                                                                                                \
  }                                                                                                             \
  HRESULT STDMETHODCALLTYPE remove_##event(EventRegistrationToken token) override {                             \
    Log(object ".remove_" #event " " + std::to_string(token.value));                                            \
    member.Reset();                                                                                             \
    return S_OK;                                                                                                \
  }
// A method that only logs `entry` and succeeds; a getter that hands out `value`.
#define FAKE_LOGGED(name, params, entry) \
  HRESULT STDMETHODCALLTYPE name params override { Log(entry); return S_OK; }
#define FAKE_GET(name, Type, value) \
  HRESULT STDMETHODCALLTYPE name(Type* out) override { *out = value; return S_OK; }

}  // namespace fake
