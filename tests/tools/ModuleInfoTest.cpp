// The built bundle's moduleinfo.json read back against what the module's factory reports when
// loaded as a host loads it.
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

// The description written into the bundle says what the factory reports, and both say what the
// plug-in is.
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
  FUnknownPtr<IPluginFactory2> factory2(factory);
  ASSERT_TRUE(factory2);
  ASSERT_EQ(factory->countClasses(), 1);
  ASSERT_EQ(info["Classes"].size(), 1u);
  PClassInfo2 ci;
  ASSERT_EQ(factory2->getClassInfo2(0, &ci), kResultOk);
  const auto& fi = info["Factory Info"];
  const auto& c = info["Classes"][0];

  EXPECT_EQ(info["Name"], "LUMAEQ5");
  EXPECT_EQ(info["Version"], KYR_VERSION);
  EXPECT_TRUE(info["Compatibility"].is_array());
  EXPECT_EQ(factoryInfo.flags, PFactoryInfo::kUnicode);
  EXPECT_EQ(fi["Flags"]["Unicode"], true);
  EXPECT_EQ(fi["Flags"]["Classes Discardable"], false);
  EXPECT_EQ(fi["Flags"]["Component Non Discardable"], false);
  // The class ID as hosts print it: the four words of the FUID in hexadecimal.
  const FUID cid = FUID::fromTUID(ci.cid);
  char words[33];
  std::snprintf(words, sizeof words, "%08X%08X%08X%08X", cid.getLong1(), cid.getLong2(), cid.getLong3(), cid.getLong4());
  std::string subCategories;
  for (const auto& sub : c["Sub Categories"]) subCategories += (subCategories.empty() ? "" : "|") + sub.get<std::string>();
  const struct {
    nlohmann::json written;
    std::string reported;
    const char* expected;  // nullptr: any text, as long as both agree
  } fields[] = {
      {fi["Vendor"], factoryInfo.vendor, "Oskel Audio"}, {fi["URL"], factoryInfo.url, nullptr},
      {fi["E-Mail"], factoryInfo.email, nullptr},         {c["CID"], words, kCid},
      {c["Category"], ci.category, "Audio Module Class"}, {c["Name"], ci.name, "Kyr EQ"},
      {c["Version"], ci.version, KYR_VERSION},           {c["SDKVersion"], ci.sdkVersion, "VST 3.8.0"},
      {subCategories, ci.subCategories, "Fx|EQ"},
      // The class names no vendor of its own: the factory's applies.
      {c["Vendor"], factoryInfo.vendor, nullptr},         {ci.vendor, "", nullptr},
  };
  for (const auto& f : fields) {
    EXPECT_EQ(f.written, f.reported);
    if (f.expected) {
      EXPECT_EQ(f.reported, f.expected);
    }
  }
  EXPECT_EQ(c["Class Flags"], ci.classFlags);
  EXPECT_EQ(ci.classFlags, 2u);
  EXPECT_EQ(c["Cardinality"], ci.cardinality);
  EXPECT_EQ(ci.cardinality, 0x7FFFFFFF);
  // The shipped pictures are listed at their scales, and every picture in the bundle is listed.
  const std::string shot = std::string("Snapshots/") + kCid + "_snapshot";
  EXPECT_EQ(c["Snapshots"], nlohmann::json::parse(R"([{"Scale Factor": 1.0, "Path": ")" + shot + R"(.png"},
                                                      {"Scale Factor": 2.0, "Path": ")" + shot + R"(_2.0x.png"}])"));
  size_t present = 0;
  for (const auto& entry : fs::directory_iterator(resources / "Snapshots"))
    present += fs::is_regular_file(entry) && entry.path().filename().string().rfind(words, 0) == 0;
  EXPECT_EQ(present, 2u);
}

}  // namespace
