#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

// The host-side objects that a VST 3 host hands to a plug-in, as a command-line host or a test
// needs them. Each is owned by its creator (the host); reference counting only checks balance.
namespace kyr::tools {

// The host's application context: answers getName with a configurable host name.
class HostApplication : public Steinberg::Vst::IHostApplication {
 public:
  explicit HostApplication(std::string name) : mName(std::move(name)) {}
  virtual ~HostApplication() = default;
  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid, void** obj) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }

 private:
  std::string mName;
  std::atomic<Steinberg::uint32> mRefs{1};
};

// One edit notification the plug-in sent to the host.
struct HostEdit {
  enum Kind { kBegin, kPerform, kEnd, kRestart, kGroupStart, kGroupFinish };
  Kind kind;
  Steinberg::Vst::ParamID id;
  double value;
  Steinberg::int32 flags;
};

// Records every edit and restart request, from whichever thread it comes.
class ComponentHandler : public Steinberg::Vst::IComponentHandler, public Steinberg::Vst::IComponentHandler2 {
 public:
  virtual ~ComponentHandler() = default;
  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) override;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;
  Steinberg::tresult PLUGIN_API setDirty(Steinberg::TBool) override { return Steinberg::kResultOk; }
  Steinberg::tresult PLUGIN_API requestOpenEditor(Steinberg::FIDString) override { return Steinberg::kResultFalse; }
  Steinberg::tresult PLUGIN_API startGroupEdit() override;
  Steinberg::tresult PLUGIN_API finishGroupEdit() override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }

  std::vector<HostEdit> Edits() const;
  void Clear();

 private:
  void Add(const HostEdit& edit);
  mutable std::mutex mMutex;
  std::vector<HostEdit> mEdits;
  std::atomic<Steinberg::uint32> mRefs{1};
};

// A parameter change to deliver in one process call.
struct ParamChange {
  Steinberg::Vst::ParamID id;
  Steinberg::int32 offset;
  double value;
};

class ParamValueQueue : public Steinberg::Vst::IParamValueQueue {
 public:
  explicit ParamValueQueue(Steinberg::Vst::ParamID id) : mId(id) {}
  virtual ~ParamValueQueue() = default;
  Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return mId; }
  Steinberg::int32 PLUGIN_API getPointCount() override { return static_cast<Steinberg::int32>(mPoints.size()); }
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& offset,
                                         Steinberg::Vst::ParamValue& value) override;
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 offset, Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

 private:
  Steinberg::Vst::ParamID mId;
  std::vector<std::pair<Steinberg::int32, double>> mPoints;
};

class ParameterChanges : public Steinberg::Vst::IParameterChanges {
 public:
  ParameterChanges() = default;
  explicit ParameterChanges(const std::vector<ParamChange>& changes);
  virtual ~ParameterChanges() = default;
  Steinberg::int32 PLUGIN_API getParameterCount() override { return static_cast<Steinberg::int32>(mQueues.size()); }
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
  Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                Steinberg::int32& index) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

 private:
  std::vector<std::unique_ptr<ParamValueQueue>> mQueues;
};

}  // namespace kyr::tools
