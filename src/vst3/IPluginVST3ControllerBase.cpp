#include "IPluginVST3ControllerBase.h"

#include <cstdio>
#include <vector>

#include "StringConvert.h"
#include "pluginterfaces/vst/ivstchannelcontextinfo.h"

namespace oskel {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kNumMidiCCParams = 130;  // 128 controllers, channel aftertouch, pitch bend

// Reads a UTF-16 string attribute whose length is given by a separate integer attribute.
bool ReadStringAttribute(IAttributeList* list, IAttributeList::AttrID key, IAttributeList::AttrID lengthKey,
                         std::string& out) {
  int64 length = 0;
  if (list->getInt(lengthKey, length) != kResultTrue) length = 0;
  // Bounded: the name buffers hosts send are short; a bogus length must not allocate gigabytes.
  if (length < 0 || length > 4096) length = 4096;
  std::vector<TChar> text(static_cast<size_t>(length) + 1, 0);
  if (list->getString(key, text.data(), static_cast<uint32>(text.size() * sizeof(TChar))) != kResultTrue)
    return false;
  text.back() = 0;
  out = Utf16ToUtf8(text.data(), static_cast<int>(text.size()));
  return true;
}

// Hands a new SDK object to a list that adopts its creation reference (units, parameters).
// Should the list run out of memory before adopting it, the object is freed here instead of
// leaking; when the list's own smart pointer had already taken it, that pointer freed it.
template <typename T, typename Add>
void AdoptOrFree(T* object, Add&& add) {
  object->addRef();
  try {
    add(object);
  } catch (...) {
    if (object->getRefCount() > 1) object->release();
    object->release();
    throw;
  }
  object->release();
}

}  // namespace

const char* IPluginVST3ControllerBase::MidiControllerName(int controller, std::string& scratch) {
  static const struct {
    int number;
    const char* name;
  } kNames[] = {
      {0, "BankSel.MSB"}, {1, "Modulation"},  {2, "BreathCtrl"},  {4, "Foot Ctrl"},   {5, "Porta.Time"},
      {6, "DataEntMSB"},  {7, "MainVolume"},  {8, "Balance"},     {10, "Pan"},        {11, "Expression"},
      {12, "FXControl1"}, {13, "FXControl2"}, {16, "Gen.Purp.1"}, {17, "Gen.Purp.2"}, {18, "Gen.Purp.3"},
      {19, "Gen.Purp.4"}, {32, "BankSel.LSB"}, {33, "Modul. LSB"}, {34, "BrthCt LSB"}, {36, "FootCt LSB"},
      {37, "Port.T LSB"}, {38, "DataEntLSB"}, {39, "MainVolLSB"}, {40, "BalanceLSB"}, {42, "Pan LSB"},
      {43, "Expr. LSB"},  {48, "Gen.P.1LSB"}, {49, "Gen.P.2LSB"}, {50, "Gen.P.3LSB"}, {51, "Gen.P.4LSB"},
      {64, "Damper Ped"}, {65, "Porta. Ped"}, {66, "Sostenuto "}, {67, "Soft Pedal"}, {68, "Legato Sw"},
      {69, "Hold 2"},     {70, "SoundCont 1"}, {71, "SoundCont 2"}, {72, "SoundCont 3"}, {73, "SoundCont 4"},
      {74, "SoundCont 5"}, {75, "SoundCont 6"}, {76, "SoundCont 7"}, {77, "SoundCont 8"}, {78, "SoundCont 9"},
      {79, "SoundCont 10"}, {80, "Gen.Purp.5"}, {81, "Gen.Purp.6"}, {82, "Gen.Purp.7"}, {83, "Gen.Purp.8"},
      {84, "Portamento"}, {91, "FX 1 Depth"}, {92, "FX 2 Depth"}, {93, "FX 3 Depth"}, {94, "FX 4 Depth"},
      {95, "FX 5 Depth"}, {96, "Data Incr"},  {97, "Data Decr"},  {98, "Non-RegLSB"}, {99, "Non-RegMSB"},
      {100, "Reg LSB"},   {101, "Reg MSB"},   {121, "Reset Ctrl"}, {122, "Local Ctrl"}, {123, "AllNoteOff"},
      {124, "OmniModOff"}, {125, "OmniModeOn"}, {126, "MonoModeOn"}, {127, "PolyModeOn"},
  };
  if (controller == 128) return "Channel Aftertouch";
  if (controller == 129) return "Pitch Bend";
  for (const auto& entry : kNames)
    if (entry.number == controller) return entry.name;
  char buf[32];
  std::snprintf(buf, sizeof buf, "Contr. %d", controller);
  scratch = buf;
  return scratch.c_str();
}

void IPluginVST3ControllerBase::Initialize(IPluginBase& plug, EditControllerEx1& controller,
                                           ParameterContainer& parameters, bool isInstrument, bool midiIn) {
  mParameters = &parameters;
  plug.GroupNames().clear();
  AdoptOrFree(new Unit(STR16("Root"), kRootUnitId, kNoParentUnitId), [&](Unit* u) { controller.addUnit(u); });

  if (!isInstrument) {
    auto* bypass = new IPluginVST3BypassParameter();
    AdoptOrFree(bypass, [&](Parameter* p) { parameters.addParameter(p); });
    mBypassParameter = bypass;
  }

  std::vector<std::string>& groups = plug.GroupNames();
  for (int i = 0; i < plug.NParams(); ++i) {
    IParam* param = plug.GetParam(i);
    UnitID unitId = kRootUnitId;
    const std::string group = param->GetGroup();
    if (!group.empty()) {
      size_t pos = 0;
      while (pos < groups.size() && groups[pos] != group) ++pos;
      if (pos == groups.size()) {
        groups.push_back(group);
        String128 name;
        Utf8ToUtf16(group, name, 128);
        AdoptOrFree(new Unit(name, static_cast<UnitID>(groups.size()), kRootUnitId),
                    [&](Unit* u) { controller.addUnit(u); });
      }
      unitId = static_cast<UnitID>(pos + 1);
    }
    AdoptOrFree(new IPluginVST3Parameter(param, static_cast<ParamID>(i), unitId),
                [&](Parameter* p) { parameters.addParameter(p); });
  }

  if (midiIn) {
    const UnitID ccUnit = static_cast<UnitID>(groups.size() + 1);
    AdoptOrFree(new Unit(STR16("MIDI CCs"), ccUnit, kRootUnitId), [&](Unit* u) { controller.addUnit(u); });
    const UnitID channelUnit = ccUnit + 1;
    String128 channelName;
    Utf8ToUtf16("CH1", channelName, 128);
    AdoptOrFree(new Unit(channelName, channelUnit, ccUnit), [&](Unit* u) { controller.addUnit(u); });
    for (int cc = 0; cc < kNumMidiCCParams; ++cc) {
      std::string scratch;
      String128 title;
      Utf8ToUtf16(MidiControllerName(cc, scratch), title, 128);
      parameters.addParameter(title, nullptr, 0, cc == 129 ? 0.5 : 0.0, 0,
                              static_cast<ParamID>(kMidiCCParamIdBase + cc), channelUnit);
    }
  }
}

void IPluginVST3ControllerBase::Release(IPluginBase& plug) {
  mBypassParameter = nullptr;
  mParameters = nullptr;
  plug.GroupNames().clear();
}

tresult IPluginVST3ControllerBase::SetChannelContextInfos(IAttributeList* list) {
  if (!list) return kResultFalse;
  using namespace ChannelContext;
  ReadStringAttribute(list, kChannelNameKey, kChannelNameLengthKey, mChannelName);
  ReadStringAttribute(list, kChannelUIDKey, kChannelUIDLengthKey, mChannelUID);
  int64 value = 0;
  if (list->getInt(kChannelIndexKey, value) == kResultTrue) mChannelIndex = static_cast<int>(value);
  if (list->getInt(kChannelColorKey, value) == kResultTrue) mChannelColor = static_cast<uint32>(value);
  if (list->getInt(kChannelIndexNamespaceOrderKey, value) == kResultTrue) mChannelNamespaceIndex = static_cast<int>(value);
  ReadStringAttribute(list, kChannelIndexNamespaceKey, kChannelIndexNamespaceLengthKey, mChannelNamespace);
  list->getInt(kChannelPluginLocationKey, value);  // read, not kept
  return kResultTrue;
}

tresult IPluginVST3ControllerBase::GetMidiControllerAssignment(int32 busIndex, int16 channel, CtrlNumber controller,
                                                               ParamID& tag) const {
  if (busIndex != 0 || channel != 0) return kResultFalse;
  tag = static_cast<ParamID>(kMidiCCParamIdBase + controller);
  return kResultTrue;
}

tresult IPluginVST3ControllerBase::GetProgramName(const IPluginBase& plug, ProgramListID listId, int32 programIndex,
                                                  String128 name) const {
  if (plug.NPresets() < 1 || listId != kPresetListId || !name) return kResultFalse;
  Utf8ToUtf16(plug.GetPresetName(programIndex), name, 128);
  return kResultTrue;
}

void IPluginVST3ControllerBase::GetTrackColor(int& red, int& green, int& blue) const {
  red = static_cast<int>((mChannelColor >> 16) & 0xFF);
  green = static_cast<int>((mChannelColor >> 8) & 0xFF);
  blue = static_cast<int>(mChannelColor & 0xFF);
}

}  // namespace oskel
