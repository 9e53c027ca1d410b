#include "Factory.h"

#include <memory>
#include <mutex>
#include <new>

#include "plugin/LUMAEQ5.h"
#include "vst3/sdk/PluginFactory.h"

namespace oskel {

using namespace Steinberg;

namespace {

constexpr uint32 kClassIdWord1 = 0xF2AEE70D;
constexpr uint32 kClassIdWord2 = 0x00DE4F4E;

std::mutex& CreationLock() {
  static std::mutex lock;
  return lock;
}

FUnknown* CreateInstance(void*) {
  LUMAEQ5* plugin = nullptr;
  try {
    // Hosts may create instances from several threads; construction runs one at a time.
    std::lock_guard<std::mutex> lock(CreationLock());
    plugin = new LUMAEQ5(InstanceInfo{});
  } catch (...) {
    // Memory exhaustion inside the constructor: the host is told that nothing was created.
    return nullptr;
  }
  try {
    plugin->StartIdleTimer();
  } catch (...) {
    plugin->release();
    return nullptr;
  }
  return static_cast<Vst::IAudioProcessor*>(plugin);
}

std::mutex gFactoryMutex;
CPluginFactory* gFactory = nullptr;

// The module's pointer is forgotten by the same release that drops the last reference, under
// the lock GetFactory takes: a concurrent GetFactory either sees the factory alive (and its
// reference keeps it so) or finds no factory and makes a new one, never one being deleted.
class ModuleFactory : public CPluginFactory {
 public:
  using CPluginFactory::CPluginFactory;
  uint32 PLUGIN_API release() override {
    uint32 left = 0;
    {
      std::lock_guard<std::mutex> lock(gFactoryMutex);
      left = DropReference();
      if (left == 0 && gFactory == this) gFactory = nullptr;
    }
    if (left == 0) delete this;
    return left;
  }
};

}  // namespace

IPluginFactory* GetFactory() {
  std::lock_guard<std::mutex> lock(gFactoryMutex);
  if (gFactory) {
    gFactory->addRef();
    return gFactory;
  }
  try {
    static const PFactoryInfo factoryInfo("Oskel Audio", "https://www.oskel-audio.example",
                                          "support@oskel-audio.example", PFactoryInfo::kUnicode);
    static const FUID classId(kClassIdWord1, kClassIdWord2, static_cast<uint32>(kyr::kMfrID),
                              static_cast<uint32>(kyr::kUniqueID));
    static const PClassInfo2 classInfo(classId.toTUID(), PClassInfo::kManyInstances, kVstAudioEffectClass, "Kyr EQ",
                                       Vst::kSimpleModeSupported, "Fx|EQ", "", KYR_VERSION, "VST 3.8.0");
    std::unique_ptr<ModuleFactory> factory(new ModuleFactory(factoryInfo));
    if (!factory->registerClass(&classInfo, &CreateInstance)) return nullptr;
    // The module keeps no reference of its own: the factory lives until the host releases it.
    gFactory = factory.release();
    return gFactory;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace oskel
