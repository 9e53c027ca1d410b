#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "HostedPlugin.h"

// Loads the built bundle, creates and initialises one instance, as every host-level test needs.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(host.LoadModule(KYR_BUNDLE_DIR, error)) << error;
    ASSERT_TRUE(host.CreateInstance(error)) << error;
  }

  void Start(double rate, int maxBlock, Steinberg::int32 sampleSize, int channels = 2) {
    std::string error;
    ASSERT_TRUE(host.StartProcessing(rate, maxBlock, sampleSize, channels, error)) << error;
  }

  double Normalized(Steinberg::Vst::ParamID id) { return host.Controller()->getParamNormalized(id); }

  // The plain value of parameter `index` stored in a state chunk.
  static double StoredValue(const std::vector<uint8_t>& state, int index) {
    double v = 0;
    std::memcpy(&v, state.data() + 8 * index, 8);
    return v;
  }

  kyr::tools::HostedPlugin host{"Kyr Integration Host"};
};
