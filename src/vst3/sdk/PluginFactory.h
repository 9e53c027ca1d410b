#pragma once

#include <atomic>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"

namespace Steinberg {

// The module's class factory: the factory information and a list of registered classes, each
// with its class information (ASCII and UTF-16 forms) and its instance-creation function.
// Reference counted; lives until its last reference is released.
class CPluginFactory : public IPluginFactory3 {
 public:
  using CreateFunc = FUnknown* (*)(void* context);

  explicit CPluginFactory(const PFactoryInfo& info);
  virtual ~CPluginFactory();

  bool registerClass(const PClassInfo2* info, CreateFunc createFunc, void* context = nullptr);
  bool isClassRegistered(const FUID& cid) const;

  // FUnknown
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  uint32 PLUGIN_API addRef() override;
  uint32 PLUGIN_API release() override;

  // IPluginFactory
  tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) override;
  int32 PLUGIN_API countClasses() override;
  tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) override;
  tresult PLUGIN_API createInstance(FIDString cid, FIDString iid, void** obj) override;
  // IPluginFactory2
  tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) override;
  // IPluginFactory3
  tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) override;
  tresult PLUGIN_API setHostContext(FUnknown* context) override;

 protected:
  // Decrements the count without deleting; returns the count left.
  uint32 DropReference() { return --refCount; }

 private:
  struct ClassEntry {
    PClassInfo2 info2;
    PClassInfoW infoW;
    CreateFunc createFunc;
    void* context;
  };

  std::atomic<uint32> refCount{1};
  PFactoryInfo factoryInfo;
  std::vector<ClassEntry> classes;
};

}  // namespace Steinberg
