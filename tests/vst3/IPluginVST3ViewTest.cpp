#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "Vst3TestPlugin.h"
#include "vst3/IPluginVST3View.h"

using namespace Steinberg;

namespace {

// The test plug-in with its editor window and key hooks recorded instead of opened.
class EditorPlugin : public Vst3TestPlugin {
 public:
  void* OpenWindow(void* parent) override {
    events.push_back("open");
    return parent;
  }
  void CloseWindow() override { events.push_back("close"); }
  void OnParentWindowResize(int w, int h) override {
    events.push_back("resize " + std::to_string(w) + "x" + std::to_string(h));
  }
  void OnScreenScaleChanged(float scale) override { events.push_back("scale " + std::to_string(scale)); }
  bool OnKeyDown(const oskel::KeyPress& key) override { return Record("down", key); }
  bool OnKeyUp(const oskel::KeyPress& key) override { return Record("up", key); }

  bool Record(const char* what, const oskel::KeyPress& key) {
    keys.push_back(std::string(what) + " " + std::to_string(key.VK) + " '" + key.utf8 + "' " + (key.S ? "S" : "") +
                   (key.C ? "C" : "") + (key.A ? "A" : ""));
    return handleKeys;
  }

  std::vector<std::string> events;
  std::vector<std::string> keys;
  bool handleKeys = true;
};

class IPluginVST3ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin = new EditorPlugin();
    view = static_cast<oskel::IPluginVST3View*>(plugin->createView(Vst::ViewType::kEditor));
    ASSERT_NE(view, nullptr);
  }
  void TearDown() override {
    view->release();
    plugin->release();
  }
  std::string Key(char16 c, int16 code, int16 mods) {
    plugin->keys.clear();
    view->onKeyDown(c, code, mods);
    return plugin->keys.empty() ? "<none>" : plugin->keys[0];
  }

  EditorPlugin* plugin = nullptr;
  oskel::IPluginVST3View* view = nullptr;
};

// A view size as one comparable value.
std::pair<int32, int32> Size(const ViewRect& r) { return {r.getWidth(), r.getHeight()}; }
std::pair<int32, int32> Size(int32 width, int32 height) { return {width, height}; }

// A frame that checks and sets the size it is asked for, as hosts do, or with `refuse` keeps it.
class Frame : public IPlugFrame {
 public:
  tresult PLUGIN_API resizeView(IPlugView* v, ViewRect* r) override {
    if (refuse) return kResultFalse;
    last = constrainedTo = *r;
    constraint = v->checkSizeConstraint(&constrainedTo);
    sized = v->onSize(&constrainedTo);
    return kResultTrue;
  }
  tresult PLUGIN_API queryInterface(const TUID, void**) override { return kNoInterface; }
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }
  ViewRect last, constrainedTo;
  tresult constraint = kResultFalse, sized = kResultFalse;
  bool refuse = false;
};

}  // namespace

TEST_F(IPluginVST3ViewTest, OpensTheEditorOnlyForHwndButAttachAlwaysSucceeds) {
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
  for (FIDString type : {kPlatformTypeX11EmbedWindowID, static_cast<const char*>(nullptr)})
    EXPECT_EQ(view->isPlatformTypeSupported(type), kResultFalse) << (type ? type : "null");
  EXPECT_EQ(view->attached(nullptr, kPlatformTypeX11EmbedWindowID), kResultTrue);
  view->removed();
  EXPECT_EQ(view->attached(nullptr, kPlatformTypeHWND), kResultTrue);
  view->removed();
  EXPECT_EQ(plugin->events, (std::vector<std::string>{"close", "scale 1.000000", "open", "close"}));
}

// The size follows the content scale and the editor's requests; host drags and bad factors don't.
TEST_F(IPluginVST3ViewTest, SizeFollowsTheScaleAndTheEditorButNotTheHost) {
  ViewRect r;
  ASSERT_EQ(view->getSize(&r), kResultOk);
  EXPECT_EQ(Size(r), Size(1200, 560));
  EXPECT_EQ(view->getSize(nullptr), kResultFalse);
  Frame frame;
  view->setFrame(&frame);
  EXPECT_EQ(view->setContentScaleFactor(1.5f), kResultOk);
  ASSERT_EQ(view->getSize(&r), kResultOk);
  EXPECT_EQ(Size(r), Size(1800, 840));
  EXPECT_EQ(Size(frame.last), Size(1800, 840));
  EXPECT_EQ(plugin->events, (std::vector<std::string>{"scale 1.500000", "resize 1200x560"}));

  const size_t eventsBefore = plugin->events.size();
  for (const float factor : {0.0f, -1.0f, std::nanf(""), std::numeric_limits<float>::infinity()}) {
    frame.last = ViewRect();
    EXPECT_EQ(view->setContentScaleFactor(factor), kResultFalse) << factor;
    ASSERT_EQ(view->getSize(&r), kResultOk);
    EXPECT_EQ(Size(r), Size(1800, 840)) << factor;
    EXPECT_EQ(frame.last.getWidth(), 0) << factor;
  }
  EXPECT_EQ(view->onSize(nullptr), kResultFalse);
  EXPECT_EQ(plugin->events.size(), eventsBefore);
  EXPECT_EQ(view->canResize(), kResultFalse);

  // Sizes a host proposes are clamped to the editor's limits.
  const struct {
    ViewRect in, out;
  } limits[] = {{{0, 0, 300, 900}, {0, 0, 400, 900}}, {{10, 20, 5000, 20}, {10, 20, 3610, 206}}};
  view->setContentScaleFactor(1.0f);
  for (auto c : limits) {
    EXPECT_EQ(view->checkSizeConstraint(&c.in), kResultOk);
    EXPECT_EQ(c.in.right, c.out.right);
    EXPECT_EQ(c.in.bottom, c.out.bottom);
  }

  const struct {
    float contentScale;
    int width, height;  // editor pixels
    int32 viewWidth, viewHeight;
  } cases[] = {
      {1.0f, 1500, 700, 1500, 700}, {1.5f, 1200, 560, 1800, 840}, {2.0f, 2400, 1120, 4800, 2240},  // past the limits
  };
  for (const auto& c : cases) {
    view->setContentScaleFactor(c.contentScale);
    plugin->events.clear();
    EXPECT_TRUE(plugin->EditorResizeFromUI(c.width, c.height, true));
    const std::string name = std::to_string(c.width) + " at " + std::to_string(c.contentScale);
    EXPECT_EQ(Size(frame.last), Size(c.viewWidth, c.viewHeight)) << name;
    EXPECT_EQ(frame.constraint, kResultOk) << name;
    EXPECT_EQ(Size(frame.constrainedTo), Size(c.viewWidth, c.viewHeight)) << name;
    EXPECT_EQ(frame.sized, kResultOk) << name;
    EXPECT_EQ(plugin->events, std::vector<std::string>{"resize " + std::to_string(c.width) + "x" + std::to_string(c.height)})
        << name;
    ASSERT_EQ(view->getSize(&r), kResultOk);
    EXPECT_EQ(Size(r), Size(c.viewWidth, c.viewHeight)) << name;
    ViewRect dragged(0, 0, c.viewWidth + 10, c.viewHeight);
    EXPECT_EQ(view->onSize(&dragged), kResultFalse) << name;
  }

  // A host that refuses the new size: the editor keeps the size it had and says so.
  frame.refuse = true;
  EXPECT_FALSE(plugin->EditorResizeFromUI(1500, 700, true));
  ASSERT_EQ(view->getSize(&r), kResultOk);
  EXPECT_EQ(Size(r), Size(4800, 2240));
  view->setFrame(nullptr);
}

TEST_F(IPluginVST3ViewTest, TranslatesHostKeysIntoWindowsKeysAndLeavesReaperItsOwn) {
  const struct {
    char16 c;
    int16 code, mods;
    const char* key;
  } cases[] = {
      {0, 136, 0, "down 56 '8' "},          // printable-key range
      {0, 7, 1, "down 32 ' ' S"},           // space, shift
      {0, 1, 4 | 2, "down 8 '' CA"},        // back (the table of other keys), control and alt
      {u'A', 0, 1, "down 321 'A' S"},       // character without a code: keyboard lookup, shift state in the high byte
      {u'=', 57, 0, "down 187 '=' "},       // equals: keyboard lookup
      {u'\u00e9', 0, 0, "down -1 '\u00e9' "},  // no key for it on the layout
      {0, 60, 0, "down 0 '' "},             // past the table: no Windows key for it
  };
  for (const auto& c : cases) EXPECT_EQ(Key(c.c, c.code, c.mods), c.key) << c.code;
  plugin->handleKeys = false;
  EXPECT_EQ(view->onKeyUp(0, 7, 0), kResultFalse);
  EXPECT_EQ(plugin->keys.back(), "up 32 ' ' ");
  plugin->handleKeys = true;
  plugin->SetHost("REAPER", 0);  // this host gives the editor the space key only
  plugin->keys.clear();
  EXPECT_EQ(view->onKeyDown(u'a', 0, 0), kResultFalse);
  EXPECT_EQ(view->onKeyDown(u' ', 7, 4 | 2), kResultTrue);
  EXPECT_EQ(plugin->keys, std::vector<std::string>{"down 32 ' ' CA"});
}
