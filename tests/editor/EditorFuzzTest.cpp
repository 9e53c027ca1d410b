// Random and mutated page messages: nothing may crash, and whatever reaches the plug-in must be
// a well-formed edit of an existing parameter.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "RecordingDelegate.h"
#include "editor/EditorProtocol.h"
#include "plugin/LUMAEQ5.h"

namespace {

const std::vector<std::string> kSeeds = {
    R"({"msg":"SPVFUI","paramIdx":1,"value":0.5})",
    R"({"msg":"BPCFUI","paramIdx":2})",
    R"({"msg":"EPCFUI","paramIdx":0})",
    R"({"msg":"SAMFUI","msgTag":1,"ctrlTag":-1,"data":"eyJwYXJhbUlkeCI6MTIsInZhbHVlIjo2Mi41fQ=="})",
    R"({"msg":"SMMFUI","statusByte":144,"dataByte1":60,"dataByte2":100})",
    R"({"msg":"SKPFUI","keyCode":32,"utf8":" ","S":false,"C":false,"A":false,"isUp":false})",
};

std::string Mutate(std::string text, std::mt19937& rng) {
  static const std::string kAlphabet = "{}[]\":,.-+eE0123456789 \\/=nulltruefalseABCxyz\x01\xff";
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int e = 0; e < edits; ++e) {
    const size_t at = text.empty() ? 0 : rng() % text.size();
    switch (rng() % 4) {
      case 0: if (!text.empty()) text.erase(at, 1 + rng() % 3); break;
      case 1: text.insert(at, 1, kAlphabet[rng() % kAlphabet.size()]); break;
      case 2: if (!text.empty()) text[at] = kAlphabet[rng() % kAlphabet.size()]; break;
      default: text.insert(at, std::to_string(static_cast<int>(rng())) + (rng() % 2 ? "e9" : ".5")); break;
    }
  }
  return text;
}

std::string RandomBytes(std::mt19937& rng) {
  std::string text(rng() % 64, ' ');
  for (char& c : text) c = static_cast<char>(1 + rng() % 255);
  return text;
}

}  // namespace

TEST(EditorFuzz, PageMessagesNeverLeadToMalformedCalls) {
  std::mt19937 rng(20240611);
  RecordingDelegate delegate(53);
  for (int i = 0; i < 20000; ++i) {
    const std::string text = i % 5 == 0 ? RandomBytes(rng) : Mutate(kSeeds[rng() % kSeeds.size()], rng);
    delegate.OnMessageFromWebView(text.c_str());
  }
  ASSERT_FALSE(delegate.calls.empty());
  for (const auto& call : delegate.calls) {
    if (call.what == "set" || call.what == "begin" || call.what == "end") {
      EXPECT_GE(call.a, 0);
      EXPECT_LT(call.a, 53);
    }
    if (call.what == "set") {
      EXPECT_TRUE(call.value >= 0.0 && call.value <= 1.0) << call.value;
    }
  }
}

TEST(EditorFuzz, SetParameterTextsKeepEveryValueInRange) {
  std::mt19937 rng(77);
  LUMAEQ5 plugin{oskel::InstanceInfo{}};
  const std::string seed = R"({"paramIdx":12,"value":62.5})";
  for (int i = 0; i < 20000; ++i) {
    const std::string text = i % 4 == 0 ? RandomBytes(rng) : Mutate(seed, rng);
    EXPECT_TRUE(plugin.OnMessage(oskel::kMsgTagSetParamValue, 0, static_cast<int>(text.size()), text.data()));
  }
  for (int p = 0; p < plugin.NParams(); ++p) {
    const oskel::IParam* param = plugin.GetParam(p);
    EXPECT_TRUE(std::isfinite(param->Value()));
    EXPECT_GE(param->Value(), param->GetMin());
    EXPECT_LE(param->Value(), param->GetMax());
  }
}
