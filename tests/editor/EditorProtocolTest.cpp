#include <gtest/gtest.h>

#include <string>

#include "editor/Base64.h"
#include "editor/EditorProtocol.h"

using namespace oskel;

TEST(Base64, EncodesAndDecodesGroupsWithTheirFill) {
  const struct {
    std::string bytes, text;
    int bufferLength;
  } cases[] = {
      {"", "", 1}, {"f", "Zg==", 5}, {"fo", "Zm8=", 5}, {"foo", "Zm9v", 5}, {"foob", "Zm9vYg==", 9},
      {"fooba", "Zm9vYmE=", 9}, {"foobar", "Zm9vYmFy", 9}, {std::string("\xff\xfe\x00", 3), "//4A", 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Base64Encode(c.bytes.data(), c.bytes.size()), c.text) << c.bytes;
    EXPECT_EQ(Base64BufferLength(static_cast<int>(c.bytes.size())), c.bufferLength) << c.bytes;
    const std::vector<uint8_t> out = Base64Decode(c.text);
    EXPECT_EQ(std::string(out.begin(), out.end()), c.bytes) << c.text;
  }
}

// The decoded size follows from the text's length and fill; a character outside the alphabet
// ends decoding (the rest stays 0) and characters past the computed size are not written.
TEST(Base64, DecodesWithTheSizeRuleAndStopsAtTheFirstForeignCharacter) {
  const struct {
    std::string text, bytes;
  } cases[] = {{"=", ""}, {"Zm!vYmFy", std::string("f\0\0\0\0\0", 6)}, {"Zm9v\nYmFy", std::string("foo\0\0\0", 6)},
               {"Zm9vY", "foo"}};
  for (const auto& c : cases) {
    const std::vector<uint8_t> out = Base64Decode(c.text);
    EXPECT_EQ(std::string(out.begin(), out.end()), c.bytes) << c.text;
  }
}

TEST(EditorProtocol, FormatsEveryOutgoingStatement) {
  EXPECT_EQ(ParameterValueStatement(7, 0.5), "SPVFD(7, 0.500000)");
  EXPECT_EQ(ControlValueStatement(3, 1.0), "SCVFD(3, 1.000000)");
  EXPECT_EQ(ControlMsgStatement(2, 5, 3, "abc"), "SCMFD(2, 5, 3, 'YWJj')");
  EXPECT_EQ(ArbitraryMsgStatement(0, 3, "abc"), "SAMFD(0, 5, 'YWJj')");
  EXPECT_EQ(ArbitraryMsgStatement(4, 1, "a"), "SAMFD(4, 5, 'YQ==')");
  EXPECT_EQ(ArbitraryMsgStatement(4, 0, nullptr), "SAMFD(4, 1, '')");
  MidiMessage note;
  note.status = 144;
  note.data1 = 60;
  note.data2 = 100;
  EXPECT_EQ(MidiMsgStatement(note), "SMMFD(144, 60, 100)");
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
