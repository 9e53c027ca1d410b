#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "HostedPlugin.h"
#include "pluginterfaces/base/funknown.h"

using namespace Steinberg;

namespace {

class Module : public ::testing::Test {
 protected:
  void SetUp() override {
    handle = dlopen(kyr::tools::HostedPlugin::ModulePathInBundle(KYR_BUNDLE_DIR).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
  }
  void TearDown() override { dlclose(handle); }
  template <typename F>
  F Sym(const char* name) { return reinterpret_cast<F>(dlsym(handle, name)); }
  void* handle = nullptr;
};

}  // namespace

// The entry points hosts look up are there, and nothing of the framework leaves the module.
TEST_F(Module, ExportsTheEntryPointsOnly) {
  for (const char* name : {"InitDll", "ExitDll", "ModuleEntry", "ModuleExit", "GetPluginFactory"})
    EXPECT_NE(Sym<void*>(name), nullptr) << name;
  EXPECT_EQ(Sym<void*>("_ZN5oskel9IParam10ConstrainEd"), nullptr);
}

// One factory while references live; the last release and a new GetPluginFactory may race.
TEST_F(Module, FactoryLivesUntilItsLastReleaseAndMakesIndependentInstances) {
  auto getFactory = Sym<IPluginFactory* (*)()>("GetPluginFactory");
  auto moduleEntry = Sym<bool (*)(void*)>("ModuleEntry");
  auto moduleExit = Sym<bool (*)()>("ModuleExit");
  ASSERT_TRUE(getFactory && moduleEntry && moduleExit);
  ASSERT_TRUE(moduleEntry(handle));
  IPluginFactory* factory = getFactory();
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(getFactory(), factory);  // the same object, one more reference
  PClassInfo info;
  ASSERT_EQ(factory->getClassInfo(0, &info), kResultOk);

  // Two instances are independent objects; an unknown class ID creates nothing.
  void* a = nullptr;
  void* b = nullptr;
  ASSERT_EQ(factory->createInstance(info.cid, FUnknown::iid, &a), kResultOk);
  ASSERT_EQ(factory->createInstance(info.cid, FUnknown::iid, &b), kResultOk);
  EXPECT_NE(a, b);
  static_cast<FUnknown*>(a)->release();
  static_cast<FUnknown*>(b)->release();
  TUID unknown = {};
  void* none = reinterpret_cast<void*>(1);
  EXPECT_NE(factory->createInstance(unknown, FUnknown::iid, &none), kResultOk);
  EXPECT_EQ(none, nullptr);
  factory->release();
  factory->release();

  auto worker = [&] {
    for (int i = 0; i < 20000; ++i) {
      IPluginFactory* f = getFactory();
      ASSERT_NE(f, nullptr);
      PFactoryInfo info{};
      f->getFactoryInfo(&info);
      EXPECT_EQ(std::strcmp(info.vendor, "Oskel Audio"), 0);
      EXPECT_EQ(f->countClasses(), 1);
      f->release();
    }
  };
  std::thread t1(worker), t2(worker);
  t1.join();
  t2.join();
  EXPECT_TRUE(moduleExit());
}
