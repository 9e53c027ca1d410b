#include "Factory.h"

#include <mutex>
#include <new>

#include "plugin/LUMAEQ5.h"
#include "sdk/PluginFactory.h"

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
  {
    // Hosts may create instances from several threads; construction runs one at a time.
    std::lock_guard<std::mutex> lock(CreationLock());
    plugin = new (std::nothrow) LUMAEQ5(InstanceInfo{});
  }
  if (!plugin) return nullptr;
  plugin->StartIdleTimer();
  return static_cast<Vst::IAudioProcessor*>(plugin);
}

std::mutex gFactoryMutex;
CPluginFactory* gFactory = nullptr;

// Forgets the module's pointer when the host releases the last reference, so that a later
// GetPluginFactory creates a new factory instead of handing out a freed one.
class ModuleFactory : public CPluginFactory {
 public:
  using CPluginFactory::CPluginFactory;
  ~ModuleFactory() override {
    std::lock_guard<std::mutex> lock(gFactoryMutex);
    if (gFactory == this) gFactory = nullptr;
  }
};

}  // namespace

IPluginFactory* GetFactory() {
  std::lock_guard<std::mutex> lock(gFactoryMutex);
  if (gFactory) {
    gFactory->addRef();
    return gFactory;
  }
  static const PFactoryInfo factoryInfo("Oskel Audio", "https://www.oskel-audio.example", "support@oskel-audio.example",
                                        PFactoryInfo::kUnicode);
  static const FUID classId(kClassIdWord1, kClassIdWord2, static_cast<uint32>(kyr::kMfrID),
                            static_cast<uint32>(kyr::kUniqueID));
  static const PClassInfo2 classInfo(classId.toTUID(), PClassInfo::kManyInstances, kVstAudioEffectClass, "Kyr EQ",
                                     Vst::kSimpleModeSupported, "Fx|EQ", "", KYR_VERSION, "VST 3.8.0");
  auto* factory = new ModuleFactory(factoryInfo);
  factory->registerClass(&classInfo, &CreateInstance);
  // The module keeps no reference of its own: the factory lives until the host releases it.
  gFactory = factory;
  return gFactory;
}

}  // namespace oskel
