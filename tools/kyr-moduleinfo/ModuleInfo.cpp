#include "ModuleInfo.h"

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <cstdlib>

#include "HostedPlugin.h"
#include "pluginterfaces/base/funknown.h"

namespace kyr::tools {

using namespace Steinberg;
using Json = nlohmann::ordered_json;

namespace {

constexpr const char* kSnapshotFolder = "Snapshots";

// One class as hosts list it; the UTF-16 record is preferred where the factory offers it, as
// it carries names that do not fit in ASCII.
struct ClassRecord {
  std::string cid, category, name, vendor, version, sdkVersion, subCategories;
  uint32 classFlags = 0;
  int32 cardinality = 0;
};

std::string Field(const char8* text, size_t size) { return std::string(text, strnlen(text, size)); }
std::string Field(const char16* text, size_t) { return ToUtf8(text); }

// The details the second and third class descriptions share (texts narrow in one, wide in the other).
template <typename Info>
void ReadDetails(const Info& info, ClassRecord& record) {
  record.name = Field(info.name, sizeof info.name);
  record.vendor = Field(info.vendor, sizeof info.vendor);
  record.version = Field(info.version, sizeof info.version);
  record.sdkVersion = Field(info.sdkVersion, sizeof info.sdkVersion);
  record.subCategories = Field(info.subCategories, sizeof info.subCategories);
  record.classFlags = info.classFlags;
}

ClassRecord ReadClass(IPluginFactory* factory, int32 index) {
  ClassRecord record;
  PClassInfo info;
  if (factory->getClassInfo(index, &info) != kResultOk) return record;
  record.cid = ClassIdText(info.cid);
  record.category = Field(info.category, sizeof info.category);
  record.name = Field(info.name, sizeof info.name);
  record.cardinality = info.cardinality;

  FUnknownPtr<IPluginFactory2> factory2(factory);
  PClassInfo2 info2;
  if (factory2 && factory2->getClassInfo2(index, &info2) == kResultOk) ReadDetails(info2, record);
  FUnknownPtr<IPluginFactory3> factory3(factory);
  PClassInfoW infoW;
  if (factory3 && factory3->getClassInfoUnicode(index, &infoW) == kResultOk) ReadDetails(infoW, record);
  return record;
}

Json SplitSubCategories(const std::string& text) {
  Json list = Json::array();
  size_t start = 0;
  while (start <= text.size() && !text.empty()) {
    const size_t bar = text.find('|', start);
    const std::string part = text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
    if (!part.empty()) list.push_back(part);
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return list;
}

}  // namespace

std::string SnapshotFileName(const std::string& classId, double scaleFactor) {
  if (scaleFactor == 1.0) return classId + "_snapshot.png";
  char scale[32];
  std::snprintf(scale, sizeof scale, "%.1f", scaleFactor);
  return classId + "_snapshot_" + scale + "x.png";
}

std::vector<Snapshot> FindSnapshots(const std::filesystem::path& resourcesDir, const std::string& classId) {
  std::vector<Snapshot> snapshots;
  std::error_code ec;
  const std::filesystem::path folder = resourcesDir / kSnapshotFolder;
  if (classId.empty() || !std::filesystem::is_directory(folder, ec)) return snapshots;
  const std::string prefix = classId + "_snapshot";
  const std::string suffix = ".png";
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    const std::string name = entry.path().filename().string();
    if (name.size() < prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    // Between the prefix and ".png": nothing (scale 1) or "_<S>x" with S a positive number.
    const std::string middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    double scale = 1.0;
    if (!middle.empty()) {
      if (middle.size() < 3 || middle.front() != '_' || middle.back() != 'x') continue;
      const std::string number = middle.substr(1, middle.size() - 2);
      char* end = nullptr;
      scale = std::strtod(number.c_str(), &end);
      if (end != number.c_str() + number.size() || !(scale > 0.0) || scale > 16.0) continue;
    }
    snapshots.push_back({scale, std::string(kSnapshotFolder) + "/" + name});
  }
  std::sort(snapshots.begin(), snapshots.end(), [](const Snapshot& a, const Snapshot& b) {
    return a.scaleFactor != b.scaleFactor ? a.scaleFactor < b.scaleFactor : a.path < b.path;
  });
  return snapshots;
}

Json MakeModuleInfo(IPluginFactory* factory, const std::string& moduleName, const std::filesystem::path& resourcesDir) {
  PFactoryInfo factoryInfo;
  factory->getFactoryInfo(&factoryInfo);
  const std::string factoryVendor = Field(factoryInfo.vendor, sizeof factoryInfo.vendor);

  Json classes = Json::array();
  std::string moduleVersion;
  for (int32 i = 0; i < factory->countClasses(); ++i) {
    const ClassRecord record = ReadClass(factory, i);
    if (record.cid.empty()) continue;
    if (moduleVersion.empty()) moduleVersion = record.version;
    Json entry;
    entry["CID"] = record.cid;
    entry["Category"] = record.category;
    entry["Name"] = record.name;
    // An empty class vendor means the factory's vendor, as hosts read it.
    entry["Vendor"] = record.vendor.empty() ? factoryVendor : record.vendor;
    entry["Version"] = record.version;
    entry["SDKVersion"] = record.sdkVersion;
    entry["Sub Categories"] = SplitSubCategories(record.subCategories);
    entry["Class Flags"] = record.classFlags;
    entry["Cardinality"] = record.cardinality;
    Json snapshots = Json::array();
    for (const Snapshot& snapshot : FindSnapshots(resourcesDir, record.cid)) {
      Json item;
      item["Scale Factor"] = snapshot.scaleFactor;
      item["Path"] = snapshot.path;
      snapshots.push_back(item);
    }
    entry["Snapshots"] = snapshots;
    classes.push_back(entry);
  }

  Json info;
  info["Name"] = moduleName;
  info["Version"] = moduleVersion;
  Json factoryJson;
  factoryJson["Vendor"] = factoryVendor;
  factoryJson["URL"] = Field(factoryInfo.url, sizeof factoryInfo.url);
  factoryJson["E-Mail"] = Field(factoryInfo.email, sizeof factoryInfo.email);
  Json flags;
  flags["Unicode"] = (factoryInfo.flags & PFactoryInfo::kUnicode) != 0;
  flags["Classes Discardable"] = (factoryInfo.flags & PFactoryInfo::kClassesDiscardable) != 0;
  flags["Component Non Discardable"] = (factoryInfo.flags & PFactoryInfo::kComponentNonDiscardable) != 0;
  factoryJson["Flags"] = flags;
  info["Factory Info"] = factoryJson;
  // No class of this module replaces a class of an older one.
  info["Compatibility"] = Json::array();
  info["Classes"] = classes;
  return info;
}

}  // namespace kyr::tools
