// The texts Kyr EQ and its page exchange, each written or read on its own: base64, statements,
// parameter descriptions, meter messages and the page's requests.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cfloat>
#include <cstring>
#include <string>
#include <vector>

#include "editor/Base64.h"
#include "editor/EditorProtocol.h"
#include "editor/MeterMessage.h"
#include "editor/PageRequests.h"
#include "editor/ParamDescriptions.h"
#include "plugin/LUMAEQ5.h"

using namespace oskel;

// Both ways (bufferLength 0: decoding only); decoding stops at a bad character and writes no further.
TEST(Base64, EncodesAndDecodesGroupsWithTheirFill) {
  const struct { std::string bytes, text; int bufferLength; } cases[] = {
      {"", "", 1}, {"f", "Zg==", 5}, {"fo", "Zm8=", 5}, {"foobar", "Zm9vYmFy", 9}, {"foo", "Zm9vY", 0},
      {std::string("\xff\xfe\x00", 3), "//4A", 5}, {std::string("f\0\0\0\0\0", 6), "Zm!vYmFy", 0}, {"fo", "Zm9v=", 0},
  };
  for (const auto& c : cases) {
    if (c.bufferLength) {
      EXPECT_EQ(Base64Encode(c.bytes.data(), c.bytes.size()), c.text) << c.bytes;
      EXPECT_EQ(Base64BufferLength(static_cast<int>(c.bytes.size())), c.bufferLength) << c.bytes;
    }
    const std::vector<uint8_t> out = Base64Decode(c.text);
    EXPECT_EQ(std::string(out.begin(), out.end()), c.bytes) << c.text;
  }
}

// 7000 bytes are 9336 base64 characters: the statement is cut at the script limit.
TEST(EditorProtocol, FormatsStatementsAndCutsThemAtTheScriptLimit) {
  EXPECT_EQ(ParameterValueStatement(7, 0.5), "SPVFD(7, 0.500000)");
  EXPECT_EQ(ArbitraryMsgStatement(0, 3, "abc"), "SAMFD(0, 5, 'YWJj')");
  EXPECT_EQ(ArbitraryMsgStatement(4, 0, nullptr), "SAMFD(4, 1, '')");
  const std::string payload(7000, 'x');
  const std::string statement = ArbitraryMsgStatement(0, static_cast<int>(payload.size()), payload.data());
  EXPECT_EQ(statement.size(), static_cast<size_t>(kMaxScriptLength));
  EXPECT_EQ(statement.substr(0, 18), "SAMFD(0, 9337, 'eH");
}

TEST(ParamDescriptions, DescribeTheFiftyThreeParametersByteForByte) {
  LUMAEQ5 plugin{InstanceInfo{}};
  const std::string text = BuildParamDescriptions(plugin);
  EXPECT_EQ(text.size(), 6082u);
  EXPECT_EQ(text.rfind("{\"id\":\"params\",\"params\":[{\"default\":50.0,\"display_type\":0,\"id\":0,\"max\":100.0,"
                       "\"min\":0.0,\"name\":\"Input\",\"rate\":\"control\",\"type\":\"float\"},",
                       0),
            0u);
  const nlohmann::json params = nlohmann::json::parse(text)["params"];
  ASSERT_EQ(params.size(), 53u);
  for (int i = 0; i < 53; ++i) EXPECT_TRUE(params[i]["id"] == i && params[i]["name"] == plugin.GetParam(i)->GetName()) << i;
}

// Every field distinct from the others, so that a swapped field shows.
TEST(MeterMessage, FormatsEveryValueWithItsDecimals) {
  MeterValues m{.thd = 1.23456f, .drive = 0.373f, .loRed = 2.5f, .hiRed = 0.75f, .tp = -0.004f, .lufs = -23.44f,
                .xf = 62.5f, .tb = 37.5f, .ease = -1.5f, .ppg = {0.8f, 0.9f, 1.0f, 1.1f, 1.2f, 2.5f}, .ppbg = {0.05f, 1.2f}};
  EXPECT_EQ(FormatMeterMessage(m),
            R"({"t":"meters","thd":1.235,"drive":0.373,"loRed":2.50,"hiRed":0.75,"tp":-0.00,"lufs":-23.4,)"
            R"("xf":62.500,"tb":37.500,"ease":-1.50,"ppg":[0.800,0.900,1.000,1.100,1.200,2.500],"ppbg":[0.050,1.200]})");
  // Absurd values cannot overflow the 512-byte buffer.
  for (float* v : {&m.thd, &m.drive, &m.loRed, &m.hiRed, &m.tp, &m.lufs, &m.xf, &m.tb, &m.ease}) *v = -FLT_MAX;
  EXPECT_EQ(FormatMeterMessage(m).size(), 511u);
}

TEST(PageRequests, OpensOnlyWebAddresses) {
  const struct { const char *text, *url; } cases[] = {
      {R"({"url":"https://oskel.example/manual"})", "https://oskel.example/manual"},
      {R"({"url":"file:///etc/passwd"})", "<none>"},
      {"{\"url\":\"https://a.example/\nb\"}", "<none>"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseOpenUrlRequest(c.text, static_cast<int>(std::strlen(c.text))).value_or("<none>"), c.url) << c.text;
}
