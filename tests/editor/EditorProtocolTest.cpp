// What crosses between the plug-in and its page: statements, descriptions, meter texts and the page's requests.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cfloat>
#include <cmath>
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

// Groups with their fill, both ways (bufferLength 0: decoding only). Decoding takes its size from the
// text's length and fill, stops at a character outside the alphabet (the rest stays 0), writes no further.
TEST(Base64, EncodesAndDecodesGroupsWithTheirFill) {
  const struct {
    std::string bytes, text;
    int bufferLength;
  } cases[] = {
      {"", "", 1}, {"f", "Zg==", 5}, {"fo", "Zm8=", 5}, {"foo", "Zm9v", 5}, {"foob", "Zm9vYg==", 9},
      {"fooba", "Zm9vYmE=", 9}, {"foobar", "Zm9vYmFy", 9}, {std::string("\xff\xfe\x00", 3), "//4A", 5},
      {"", "=", 0}, {std::string("f\0\0\0\0\0", 6), "Zm!vYmFy", 0}, {std::string("foo\0\0\0", 6), "Zm9v\nYmFy", 0},
      {"foo", "Zm9vY", 0},
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

TEST(EditorProtocol, FormatsEveryOutgoingStatement) {
  EXPECT_EQ(ParameterValueStatement(7, 0.5), "SPVFD(7, 0.500000)");
  EXPECT_EQ(ArbitraryMsgStatement(0, 3, "abc"), "SAMFD(0, 5, 'YWJj')");
  EXPECT_EQ(ArbitraryMsgStatement(4, 1, "a"), "SAMFD(4, 5, 'YQ==')");
  EXPECT_EQ(ArbitraryMsgStatement(4, 0, nullptr), "SAMFD(4, 1, '')");
}

TEST(EditorProtocol, CutsStatementsAtTheScriptLimit) {
  const std::string payload(7000, 'x');  // 9336 base64 characters
  const std::string statement = ArbitraryMsgStatement(0, static_cast<int>(payload.size()), payload.data());
  EXPECT_EQ(statement.size(), static_cast<size_t>(kMaxScriptLength));
  EXPECT_EQ(statement.substr(0, 18), "SAMFD(0, 9337, 'eH");
}

TEST(EditorProtocol, MapsBrowserKeyCodesToVirtualKeys) {
  const struct {
    int keyCode, vk;
  } cases[] = {{8, 8},   {9, 9},    {13, 13},   {20, 20}, {27, 27}, {32, 32}, {40, 40}, {45, 45}, {46, 46},
               {48, 48}, {57, 57},  {65, 65},   {90, 90}, {96, 48}, {100, 52}, {105, 57}, {112, 112}, {123, 123},
               {7, 0},   {21, 0},   {41, 0},    {91, 0},  {106, 0}, {124, 0}, {186, 0}, {-1, 0}};
  for (const auto& c : cases) EXPECT_EQ(VirtualKeyFromBrowserKeyCode(c.keyCode), c.vk) << c.keyCode;
}

TEST(EditorProtocol, InjectsTheThreeScriptsVerbatim) {
  EXPECT_STREQ(kInjectedScripts[0], "function IPluginSendMsg(m) {window.chrome.webview.postMessage(m)};");
  EXPECT_STREQ(kInjectedScripts[1],
               "document.addEventListener('keydown', function(e) { if(document.activeElement.type != \"text\") { "
               "IPluginSendMsg({'msg': 'SKPFUI', 'keyCode': e.keyCode, 'utf8': e.key, 'S': e.shiftKey, 'C': "
               "e.ctrlKey, 'A': e.altKey, 'isUp': false}); }});");
  EXPECT_STREQ(kInjectedScripts[2],
               "document.addEventListener('keyup', function(e) { if(document.activeElement.type != \"text\") { "
               "IPluginSendMsg({'msg': 'SKPFUI', 'keyCode': e.keyCode, 'utf8': e.key, 'S': e.shiftKey, 'C': "
               "e.ctrlKey, 'A': e.altKey, 'isUp': true}); }});");
}

TEST(ParamDescriptions, DescribeTheFiftyThreeParametersByteForByte) {
  LUMAEQ5 plugin{InstanceInfo{}};
  const std::string text = BuildParamDescriptions(plugin);
  EXPECT_EQ(text.size(), 6082u);
  EXPECT_EQ(text.rfind("{\"id\":\"params\",\"params\":[{\"default\":50.0,\"display_type\":0,\"id\":0,\"max\":100.0,"
                       "\"min\":0.0,\"name\":\"Input\",\"rate\":\"control\",\"type\":\"float\"},",
                       0),
            0u);
  const nlohmann::json document = nlohmann::json::parse(text);
  ASSERT_EQ(document["params"].size(), 53u);
  for (int i = 0; i < 53; ++i) {
    EXPECT_EQ(document["params"][i]["id"], i);
    EXPECT_EQ(document["params"][i]["name"], plugin.GetParam(i)->GetName());
  }
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

TEST(PageRequests, ReadsTheParameterAndValueOfASetRequest) {
  const struct {
    const char* text;
    int paramIdx;
    double value;
  } cases[] = {
      {R"({"paramIdx":12,"value":62.5})", 12, 62.5},
      {R"({"value": 0.1, "paramIdx": 7})", 7, static_cast<double>(0.1f)},
      {R"({"paramIdx":-3,"value":1})", -3, 1.0},
      {R"({"paramIdx":99999999999,"value":1})", -1, 1.0},
      {R"({"value":3})", -1, 3.0},
  };
  for (const auto& c : cases) {
    const auto request = ParseSetParamRequest(c.text, static_cast<int>(std::strlen(c.text)));
    ASSERT_TRUE(request) << c.text;
    EXPECT_EQ(request->paramIdx, c.paramIdx) << c.text;
    EXPECT_EQ(request->value, c.value) << c.text;
  }
  for (const char* text : {R"({"paramIdx":1,"value":inf})", R"({"paramIdx":1,"value":nan})",
                           R"({"paramIdx":1,"value":1e999})"})
    EXPECT_FALSE(ParseSetParamRequest(text, static_cast<int>(std::strlen(text)))) << text;
  EXPECT_FALSE(ParseSetParamRequest(nullptr, 10));
  // Only dataSize bytes are read.
  const char cut[] = R"({"paramIdx":12,"value":62.5})";
  EXPECT_EQ(ParseSetParamRequest(cut, 13)->paramIdx, 1);
}

TEST(PageRequests, OpensOnlyWebAddresses) {
  const struct {
    const char* text;
    const char* url;  // nullptr: nothing opens
  } cases[] = {
      {R"({"url":"https://oskel.example/manual"})", "https://oskel.example/manual"},
      {R"({"url":"http://a.example/?q=1\"x"})", "http://a.example/?q=1\\"},
      {R"({"url":"https://unterminated)", "https://unterminated"},
      {R"({"url":"HTTPS://oskel.example"})", nullptr},
      {R"({"url":"ftp://oskel.example"})", nullptr},
      {R"({"url":"file:///etc/passwd"})", nullptr},
      {R"x({"url":"javascript:alert(1)"})x", nullptr},
      {R"({"url": "https://space.example"})", nullptr},
      {R"({"link":"https://oskel.example"})", nullptr},
      {"{\"url\":\"https://a.example/\nb\"}", nullptr},
  };
  for (const auto& c : cases) {
    const auto url = ParseOpenUrlRequest(c.text, static_cast<int>(std::strlen(c.text)));
    if (c.url)
      EXPECT_EQ(url.value_or("<none>"), c.url) << c.text;
    else
      EXPECT_FALSE(url) << c.text;
  }
  EXPECT_FALSE(ParseOpenUrlRequest(nullptr, 5));
  EXPECT_FALSE(ParseOpenUrlRequest(R"({"url":"https://x"})", 0));
}
