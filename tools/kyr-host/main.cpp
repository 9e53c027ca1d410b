// kyr-host: loads a VST 3 bundle as a host does and prints what the host sees: the factory and
// its class, the buses, every parameter with its default display text, and the state size.
#include <cstdio>
#include <string>
#include <vector>

#include "HostedPlugin.h"
#include "pluginterfaces/vst/ivstunits.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::string Hex(const TUID id) {
  std::string text;
  char buf[4];
  for (int i = 0; i < 16; ++i) {
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(id[i]));
    text += buf;
  }
  return text;
}

int Usage() {
  std::fprintf(stderr, "usage: kyr-host [path/to/LUMAEQ5.vst3]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) return Usage();
  const std::string bundle = argc == 2 ? argv[1] : KYR_DEFAULT_BUNDLE;
  kyr::tools::HostedPlugin host("kyr-host");
  std::string error;
  if (!host.LoadModule(bundle, error)) {
    std::fprintf(stderr, "kyr-host: %s\n", error.c_str());
    return 1;
  }

  PFactoryInfo factoryInfo;
  host.Factory()->getFactoryInfo(&factoryInfo);
  std::printf("Module   %s\n", kyr::tools::HostedPlugin::ModulePathInBundle(bundle).c_str());
  std::printf("Vendor   %s (flags %d)\n", factoryInfo.vendor, factoryInfo.flags);
  FUnknownPtr<IPluginFactory2> factory2(host.Factory());
  for (int32 i = 0; i < host.Factory()->countClasses(); ++i) {
    PClassInfo2 info;
    if (factory2 && factory2->getClassInfo2(i, &info) == kResultOk)
      std::printf("Class    \"%s\"  %s  [%s]  version %s  %s  flags %u  cid %s\n", info.name, info.category,
                  info.subCategories, info.version, info.sdkVersion, info.classFlags, Hex(info.cid).c_str());
  }

  if (!host.CreateInstance(error)) {
    std::fprintf(stderr, "kyr-host: %s\n", error.c_str());
    return 1;
  }
  for (BusDirection dir : {kInput, kOutput}) {
    for (int32 b = 0; b < host.Component()->getBusCount(kAudio, dir); ++b) {
      BusInfo info{};
      host.Component()->getBusInfo(kAudio, dir, b, info);
      std::printf("%s bus %d \"%s\", %d channel(s)%s\n", dir == kInput ? "Input " : "Output", b,
                  kyr::tools::ToUtf8(info.name).c_str(), info.channelCount,
                  (info.flags & BusInfo::kDefaultActive) ? ", active" : "");
    }
  }

  IEditController* controller = host.Controller();
  std::printf("\n%d parameters\n", controller->getParameterCount());
  std::printf("%6s  %-20s %-10s %-6s %5s  %s\n", "id", "name", "default", "unit", "steps", "values");
  for (int32 i = 0; i < controller->getParameterCount(); ++i) {
    ParameterInfo info{};
    controller->getParameterInfo(i, info);
    std::string values;
    if (info.stepCount > 0 && info.stepCount < 16) {
      for (int32 s = 0; s <= info.stepCount; ++s) {
        if (s) values += ", ";
        values += host.ValueText(info.id, static_cast<double>(s) / info.stepCount);
      }
    } else {
      values = host.ValueText(info.id, 0.0) + " .. " + host.ValueText(info.id, 1.0);
    }
    std::printf("%6u  %-20s %-10s %-6s %5d  %s\n", info.id, kyr::tools::ToUtf8(info.title).c_str(),
                host.ValueText(info.id, info.defaultNormalizedValue).c_str(), kyr::tools::ToUtf8(info.units).c_str(),
                info.stepCount, values.c_str());
  }

  std::vector<uint8_t> state;
  if (host.GetState(state))
    std::printf("\nState    %zu bytes\n", state.size());
  else
    std::printf("\nState    (getState failed)\n");
  return 0;
}
