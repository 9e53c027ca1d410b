#include <gtest/gtest.h>

#include <limits>

#include "HostedPlugin.h"
#include "Vst3TestPlugin.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivstchannelcontextinfo.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/common/memorystream.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

class Vst3Plugin : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin = owned(new Vst3TestPlugin());
    ASSERT_EQ(plugin->initialize(&app), kResultOk);
  }
  void TearDown() override { plugin->terminate(); }

  // setState and getState of the component (the controller shares the signature).
  static IComponent* Component(Vst3TestPlugin* p) { return static_cast<IComponent*>(p); }

  kyr::tools::HostApplication app{"Test Host"};
  IPtr<Vst3TestPlugin> plugin;
};

}  // namespace

TEST_F(Vst3Plugin, AnswersEveryInterfaceFromOneObject) {
  const FUID* iids[] = {&IComponent::iid,         &IAudioProcessor::iid, &IEditController::iid,
                        &IUnitInfo::iid,          &IMidiMapping::iid,    &ChannelContext::IInfoListener::iid,
                        &IProcessContextRequirements::iid};
  for (const FUID* iid : iids) {
    void* obj = nullptr;
    EXPECT_EQ(plugin->queryInterface(iid->toTUID(), &obj), kResultOk);
    ASSERT_NE(obj, nullptr);
    static_cast<FUnknown*>(obj)->release();
  }
  void* obj = reinterpret_cast<void*>(1);  // not the connection point of the controller base
  EXPECT_EQ(plugin->queryInterface(IConnectionPoint::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
}

// Host values reach the parameter without change hooks; unknown IDs and non-finite values do nothing.
TEST_F(Vst3Plugin, ControllerValuesFromTheHost) {
  ASSERT_EQ(plugin->setParamNormalized(0, 0.75), kResultOk);
  ASSERT_EQ(plugin->setParamNormalized(65536, 1.0), kResultOk);
  plugin->sentToUI.clear();
  for (const double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(plugin->setParamNormalized(0, bad), kResultFalse);
    EXPECT_EQ(plugin->setParamNormalized(65536, bad), kResultFalse);
  }
  EXPECT_EQ(plugin->setParamNormalized(77, 1.0), kResultFalse);
  EXPECT_EQ(plugin->getParamNormalized(77), 0.0);
  EXPECT_EQ(plugin->getParamNormalized(0), 0.75);
  EXPECT_EQ(plugin->GetParam(0)->Value(), 6.0);
  EXPECT_EQ(plugin->getParamNormalized(65536), 1.0);
  EXPECT_TRUE(plugin->sentToUI.empty());
  EXPECT_EQ(plugin->changes.size(), 3u);  // initialize's reset only
  MemoryStream chunk;
  ASSERT_EQ(Component(plugin)->getState(&chunk), kResultOk);
  chunk.seek(0, IBStream::kIBSeekSet, nullptr);
  EXPECT_EQ(plugin->setComponentState(&chunk), kResultOk);
  EXPECT_EQ(plugin->changes.size(), 3u);
}

TEST_F(Vst3Plugin, ControllerQuestions) {
  String128 name{u'x'};
  EXPECT_EQ(plugin->getProgramName(65537, 4, name), kResultTrue);  // past the one program
  EXPECT_EQ(kyr::tools::ToUtf8(name), "");
  EXPECT_TRUE(plugin->EditorResize(1200, 560));
  EXPECT_EQ(plugin->createView("other"), nullptr);
  EXPECT_EQ(plugin->setChannelContextInfos(nullptr), kResultFalse);
}

TEST_F(Vst3Plugin, BusArrangements) {
  SpeakerArrangement stereo = SpeakerArr::kStereo, mono = SpeakerArr::kMono;
  EXPECT_EQ(plugin->setBusArrangements(&stereo, 1, &stereo, 1), kResultTrue);
  EXPECT_EQ(plugin->setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
  SpeakerArrangement arr = 0;
  plugin->getBusArrangement(kOutput, 0, arr);
  EXPECT_EQ(arr, SpeakerArr::kMono);
  EXPECT_EQ(plugin->setBusArrangements(&stereo, 1, &mono, 1), kResultFalse);
  SpeakerArrangement two[] = {stereo, stereo};
  EXPECT_EQ(plugin->setBusArrangements(two, 2, &stereo, 1), kResultFalse);
  EXPECT_EQ(plugin->canProcessSampleSize(kSample64), kResultTrue);
  EXPECT_EQ(plugin->canProcessSampleSize(2), kResultFalse);
  ProcessSetup bad{kRealtime, 2, 512, 48000.0};
  EXPECT_EQ(plugin->setupProcessing(bad), kResultFalse);
  ProcessSetup noRate{kRealtime, kSample32, 512, 0.0};
  EXPECT_EQ(plugin->setupProcessing(noRate), kResultFalse);
}

// The editor refreshes after a restore that changed values, even a failed one, and only then.
TEST_F(Vst3Plugin, RestoreRefreshesTheEditorWhenValuesChanged) {
  plugin->GetParam(0)->Set(-3.5);
  MemoryStream saved;
  ASSERT_EQ(Component(plugin)->getState(&saved), kResultOk);
  auto restore = [&](int64 size) {
    MemoryStream stream(const_cast<char*>(saved.getData()), size);
    return Component(plugin)->setState(&stream);
  };
  EXPECT_EQ(restore(saved.getSize()), kResultOk);
  EXPECT_EQ(plugin->restores, 1);
  plugin->GetParam(0)->Set(0.0);
  EXPECT_EQ(restore(24), kResultFalse);  // cut after the values, which changed
  EXPECT_EQ(plugin->restores, 2);
  EXPECT_EQ(restore(24), kResultFalse);  // the same cut changes nothing
  EXPECT_EQ(plugin->restores, 2);
  EXPECT_EQ(Component(plugin)->setState(nullptr), kResultFalse);
  EXPECT_EQ(Component(plugin)->getState(nullptr), kResultFalse);
}

namespace {

// A plug-in whose editor cannot open: the window hook runs out of memory.
class FailingEditorPlugin : public Vst3TestPlugin {
 public:
  void* OpenWindow(void*) override { throw std::bad_alloc(); }
  void CloseWindow() override { ++closes; }
  int closes = 0;
};

}  // namespace

TEST(Vst3Editor, AnEditorThatCannotOpenIsReportedNotThrown) {
  auto plugin = owned(new FailingEditorPlugin());
  IPlugView* view = plugin->createView(ViewType::kEditor);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->attached(nullptr, kPlatformTypeHWND), kOutOfMemory);
  EXPECT_EQ(plugin->closes, 1);
  view->release();
}
