// The built bundle's moduleinfo.json against what its factory reports when loaded as hosts do.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "HostedPlugin.h"
#include "pluginterfaces/base/funknown.h"

namespace {

namespace fs = std::filesystem;
using namespace Steinberg;

constexpr const char* kCid = "F2AEE70D00DE4F4E57766F61547A3475";

// The description written into the bundle says what the factory reports.
TEST(ModuleInfoFile, AgreesWithTheFactoryOfTheBuiltModule) {
  const fs::path resources = fs::path(KYR_BUNDLE_DIR) / "Contents" / "Resources";
  std::ifstream file(resources / "moduleinfo.json");
  ASSERT_TRUE(file) << "no moduleinfo.json in " << KYR_BUNDLE_DIR;
  const nlohmann::json info = nlohmann::json::parse(file, nullptr, false);
  ASSERT_TRUE(info.is_object());

  kyr::tools::HostedPlugin host("Module Info Test");
  std::string error;
  ASSERT_TRUE(host.LoadModule(KYR_BUNDLE_DIR, error)) << error;
  IPluginFactory* factory = host.Factory();
  PFactoryInfo factoryInfo;
  ASSERT_EQ(factory->getFactoryInfo(&factoryInfo), kResultOk);
  PClassInfo2 ci;
  ASSERT_EQ(FUnknownPtr<IPluginFactory2>(factory)->getClassInfo2(0, &ci), kResultOk);
  ASSERT_EQ(info["Classes"].size(), 1u);
  const auto& fi = info["Factory Info"];
  const auto& c = info["Classes"][0];

  EXPECT_EQ(info["Name"], "LUMAEQ5");
  EXPECT_EQ(info["Version"], KYR_VERSION);
  EXPECT_EQ(fi["Flags"]["Unicode"], (factoryInfo.flags & PFactoryInfo::kUnicode) != 0);
  // The class ID as hosts print it. Sessions find the plug-in by it, so it never changes.
  const std::string words = kyr::tools::ClassIdText(ci.cid);
  EXPECT_EQ(words, kCid);
  EXPECT_STREQ(ci.version, KYR_VERSION);
  std::string subCategories;
  for (const auto& sub : c["Sub Categories"]) subCategories += (subCategories.empty() ? "" : "|") + sub.get<std::string>();
  // The class names no vendor of its own: the factory's applies.
  const std::pair<nlohmann::json, nlohmann::json> fields[] = {
      {fi["Vendor"], factoryInfo.vendor}, {fi["URL"], factoryInfo.url},       {fi["E-Mail"], factoryInfo.email},
      {c["CID"], words},                  {c["Category"], ci.category},       {c["Name"], ci.name},
      {c["Version"], ci.version},         {c["SDKVersion"], ci.sdkVersion},   {subCategories, ci.subCategories},
      {c["Vendor"], factoryInfo.vendor},  {ci.vendor, ""},                    {c["Class Flags"], ci.classFlags},
      {c["Cardinality"], ci.cardinality}};
  for (const auto& [written, reported] : fields) EXPECT_EQ(written, reported);
  // The pictures the bundle ships are listed at their scales, and no other picture of the class
  // lies there. (A build that takes no snapshots, such as a sanitizer build, ships and lists none.)
  const std::string shot = std::string("Snapshots/") + kCid + "_snapshot";
  nlohmann::json shipped = nlohmann::json::array();
  for (const auto& [file, scale] : {std::pair{shot + ".png", 1.0}, std::pair{shot + "_2.0x.png", 2.0}})
    if (fs::exists(resources / file)) shipped.push_back({{"Path", file}, {"Scale Factor", scale}});
  EXPECT_EQ(c["Snapshots"], shipped);
  size_t present = 0;
  if (fs::exists(resources / "Snapshots"))
    for (const auto& entry : fs::directory_iterator(resources / "Snapshots"))
      present += fs::is_regular_file(entry) && entry.path().filename().string().rfind(words, 0) == 0;
  EXPECT_EQ(present, shipped.size());
}

}  // namespace
