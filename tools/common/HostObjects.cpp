#include "HostObjects.h"

#include <memory>


namespace kyr::tools {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

void CopyName(const std::string& text, String128 out) {
  size_t i = 0;
  for (; i < text.size() && i < 127; ++i) out[i] = static_cast<char16>(static_cast<unsigned char>(text[i]));
  out[i] = 0;
}

template <typename Iface, typename Self>
tresult Answer(Self* self, const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, Iface::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
    self->addRef();
    *obj = static_cast<Iface*>(self);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

}  // namespace

tresult PLUGIN_API HostApplication::getName(String128 name) {
  CopyName(mName, name);
  return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance(TUID, TUID, void** obj) {
  *obj = nullptr;
  return kResultFalse;
}

tresult PLUGIN_API HostApplication::queryInterface(const TUID iid, void** obj) {
  return Answer<IHostApplication>(this, iid, obj);
}

void ComponentHandler::Add(const HostEdit& edit) {
  std::lock_guard<std::mutex> lock(mMutex);
  mEdits.push_back(edit);
}

tresult PLUGIN_API ComponentHandler::beginEdit(ParamID id) {
  Add({HostEdit::kBegin, id, 0.0, 0});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::performEdit(ParamID id, ParamValue value) {
  Add({HostEdit::kPerform, id, value, 0});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::endEdit(ParamID id) {
  Add({HostEdit::kEnd, id, 0.0, 0});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags) {
  Add({HostEdit::kRestart, 0, 0.0, flags});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::startGroupEdit() {
  Add({HostEdit::kGroupStart, 0, 0.0, 0});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::finishGroupEdit() {
  Add({HostEdit::kGroupFinish, 0, 0.0, 0});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, IComponentHandler2::iid)) {
    addRef();
    *obj = static_cast<IComponentHandler2*>(this);
    return kResultOk;
  }
  return Answer<IComponentHandler>(this, iid, obj);
}

std::vector<HostEdit> ComponentHandler::Edits() const {
  std::lock_guard<std::mutex> lock(mMutex);
  return mEdits;
}

void ComponentHandler::Clear() {
  std::lock_guard<std::mutex> lock(mMutex);
  mEdits.clear();
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& offset, ParamValue& value) {
  if (index < 0 || index >= getPointCount()) return kResultFalse;
  offset = mPoints[static_cast<size_t>(index)].first;
  value = mPoints[static_cast<size_t>(index)].second;
  return kResultTrue;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 offset, ParamValue value, int32& index) {
  mPoints.emplace_back(offset, value);
  index = getPointCount() - 1;
  return kResultTrue;
}

tresult PLUGIN_API ParamValueQueue::queryInterface(const TUID iid, void** obj) {
  return Answer<IParamValueQueue>(this, iid, obj);
}

ParameterChanges::ParameterChanges(const std::vector<ParamChange>& changes) {
  for (const ParamChange& c : changes) {
    int32 index = 0;
    IParamValueQueue* queue = nullptr;
    for (int32 i = 0; i < getParameterCount() && !queue; ++i)
      if (mQueues[static_cast<size_t>(i)]->getParameterId() == c.id) queue = mQueues[static_cast<size_t>(i)].get();
    if (!queue) queue = addParameterData(c.id, index);
    queue->addPoint(c.offset, c.value, index);
  }
}

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index) {
  if (index < 0 || index >= getParameterCount()) return nullptr;
  return mQueues[static_cast<size_t>(index)].get();
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const ParamID& id, int32& index) {
  mQueues.push_back(std::make_unique<ParamValueQueue>(id));
  index = getParameterCount() - 1;
  return mQueues.back().get();
}

tresult PLUGIN_API ParameterChanges::queryInterface(const TUID iid, void** obj) {
  return Answer<IParameterChanges>(this, iid, obj);
}

}  // namespace kyr::tools
