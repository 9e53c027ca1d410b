#include <gtest/gtest.h>

#include <cstring>

#include "RecordingDelegate.h"
#include "editor/Base64.h"
#include "editor/EditorProtocol.h"
#include "editor/PageMessage.h"

using Call = RecordingDelegate::Call;

TEST(WebViewEditorDelegate, TurnsPageMessagesIntoPluginCalls) {
  const struct {
    const char* json;
    Call call;
  } cases[] = {
      {R"({"msg":"SPVFUI","paramIdx":0,"value":0.25})", {"set", 0, 0, 0.25}},
      {R"({"msg":"SPVFUI","paramIdx":1.9,"value":1})", {"set", 1, 0, 1.0}},
      {R"({"msg":"SPVFUI","paramIdx":2,"value":7.5})", {"set", 2, 0, 1.0}},  // normalised values stay in 0..1
      {R"({"msg":"BPCFUI","paramIdx":2})", {"begin", 2}},
      {R"({"msg":"EPCFUI","paramIdx":0})", {"end", 0}},
      {R"({"msg":"SMMFUI","statusByte":144,"dataByte1":60,"dataByte2":100})", {"midi", 144, 60 * 256 + 100, 0.0}},
      {R"({"msg":"SMMFUI","statusByte":400,"dataByte1":60.7,"dataByte2":-1})", {"midi", 144, 60 * 256 + 255, 0.0}},
      {R"({"msg":"SAMFUI","msgTag":1,"ctrlTag":-1,"data":"YWJj"})", {"message:abc", 1, -1, 3.0}},
      {R"({"msg":"SAMFUI","msgTag":9,"ctrlTag":4,"data":17})", {"message:<none>", 9, 4, 0.0}},
      {R"({"msg":"SKPFUI","keyCode":100,"utf8":"4","S":false,"C":true,"A":false,"isUp":true})", {"keyup:4", 52}},
      {R"({"msg":"SKPFUI","keyCode":32,"utf8":" ","S":false,"C":false,"A":false,"isUp":false})", {"keydown: ", 32}},
      {R"({"msg":"SKPFUI","keyCode":13,"utf8":"Enter","S":false,"C":false,"A":false,"isUp":false})",
       {"keydown:Ente", 13}},
  };
  for (const auto& c : cases) {
    RecordingDelegate delegate;
    delegate.OnMessageFromWebView(c.json);
    ASSERT_EQ(delegate.calls.size(), 1u) << c.json;
    EXPECT_EQ(delegate.calls[0], c.call) << c.json << " gave " << delegate.calls[0].what;
  }
}

TEST(WebViewEditorDelegate, IgnoresMalformedMessagesWithoutSideEffects) {
  const char* cases[] = {
      "", "null", "[]", "42", "{", "{\"msg\":\"SPVFUI\"", R"({"msg":1})", R"({"msg":"spvfui","paramIdx":0,"value":0})",
      R"({"paramIdx":0,"value":0.5})", R"({"msg":"SPVFUI","paramIdx":0})", R"({"msg":"SPVFUI","value":0.5})",
      R"({"msg":"SPVFUI","paramIdx":"0","value":0.5})", R"({"msg":"SPVFUI","paramIdx":0,"value":"0.5"})",
      R"({"msg":"SPVFUI","paramIdx":3,"value":0.5})", R"({"msg":"SPVFUI","paramIdx":-1,"value":0.5})",
      R"({"msg":"SPVFUI","paramIdx":4294967296,"value":0.5})", R"({"msg":"SPVFUI","paramIdx":1e300,"value":0.5})",
      R"({"msg":"SPVFUI","paramIdx":0,"value":1e999})", R"({"msg":"BPCFUI","paramIdx":53})",
      R"({"msg":"EPCFUI","paramIdx":null})", R"({"msg":"SAMFUI","msgTag":1})",
      R"({"msg":"SMMFUI","statusByte":144,"dataByte1":60})", R"({"msg":"SKPFUI","keyCode":32,"utf8":" ","isUp":false})",
      R"({"msg":"SKPFUI","keyCode":32,"utf8":5,"S":false,"C":false,"A":false,"isUp":false})",
      R"({"msg":"SKPFUI","keyCode":32,"utf8":" ","S":0,"C":false,"A":false,"isUp":false})",
  };
  for (const char* json : cases) {
    RecordingDelegate delegate;
    delegate.OnMessageFromWebView(json);
    EXPECT_TRUE(delegate.calls.empty()) << json;
    EXPECT_TRUE(delegate.statements.empty()) << json;
  }
  RecordingDelegate delegate;
  delegate.OnMessageFromWebView(nullptr);
  const std::string huge = R"({"msg":"BPCFUI","paramIdx":0,"pad":")" + std::string(2 << 20, 'x') + "\"}";
  delegate.OnMessageFromWebView(huge.c_str());
  const std::string deep = std::string(200000, '[') + std::string(200000, ']');
  delegate.OnMessageFromWebView(deep.c_str());
  EXPECT_TRUE(delegate.calls.empty());
}

TEST(WebViewEditorDelegate, OnlyTheSpaceKeyIsHandled) {
  RecordingDelegate delegate;
  EXPECT_TRUE(delegate.WebViewEditorDelegate::OnKeyDown(oskel::KeyPress(" ", 32, false, false, false)));
  EXPECT_FALSE(delegate.WebViewEditorDelegate::OnKeyDown(oskel::KeyPress("a", 65, false, false, false)));
  EXPECT_TRUE(delegate.WebViewEditorDelegate::OnKeyUp(oskel::KeyPress("a", 65, false, false, false)));
}

TEST(WebViewEditorDelegate, ConvertsPlainValuesBeforeSendingThem) {
  RecordingDelegate delegate;
  delegate.SendParameterValueToUI(0, 6.0, false);
  delegate.SendParameterValueToUI(0, 99.0, false);
  delegate.SendParameterValueToUI(0, 0.3, true);
  delegate.SendParameterValueToUI(9, 1.0, false);  // no such parameter: nothing to convert with
  const std::vector<std::string> expected = {"SPVFD(0, 0.750000)", "SPVFD(0, 1.000000)", "SPVFD(0, 0.300000)"};
  EXPECT_EQ(delegate.statements, expected);
}

TEST(WebViewEditorDelegate, LoadReadinessResizeAndCloseReachTheirTargets) {
  RecordingDelegate delegate;
  delegate.OnWebContentLoaded();
  ASSERT_EQ(delegate.statements.size(), 2u);
  EXPECT_EQ(delegate.statements[0].rfind("SAMFD(-1, ", 0), 0u);  // the descriptions come first
  EXPECT_EQ(delegate.statements[1], "<OnUIOpen>");
  int runs = 0;
  delegate.OnWebViewReady();
  delegate.mEditorInitFunc = [&runs] { ++runs; };
  delegate.OnWebViewReady();
  EXPECT_EQ(runs, 1);
  delegate.OnParentWindowResize(800, 400);  // moves the page without asking the host
  EXPECT_EQ(delegate.calls, (std::vector<Call>{{"resize", 800, 400}}));
  delegate.statements.clear();
  delegate.CloseWindow();
  EXPECT_EQ(delegate.statements, std::vector<std::string>{"<OnUIClose>"});
}

TEST(WebViewBounds, ScalesAndExtendsTheRightAndBottomEdges) {
  const auto r = oskel::IWebView::ScaledBounds(0, 0, 1200, 560, 1.5f);
  EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}), (std::vector<int>{0, 0, 1801, 841}));
  const auto s = oskel::IWebView::ScaledBounds(10.2f, 0, 100, 50, 1.0f);
  EXPECT_EQ((std::vector<int>{s.left, s.top, s.right, s.bottom}), (std::vector<int>{11, 0, 112, 51}));
}
