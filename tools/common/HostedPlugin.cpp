#include "HostedPlugin.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstring>

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/common/memorystream.h"

namespace kyr::tools {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

using GetFactoryProc = IPluginFactory*(PLUGIN_API*)();
using ModuleEntryProc = bool (*)(void*);
using ModuleExitProc = bool (*)();

#if defined(_WIN32)
using InitDllProc = bool (*)();

// Windows hosts load the module with LoadLibrary and call InitDll / ExitDll around its use.
constexpr const char* kModuleArchFolder = "x86_64-win";
constexpr const char* kModuleSuffix = ".vst3";

void* OpenModule(const std::string& path, std::string& error) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
  std::wstring widePath(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, widePath.data(), length);
  for (wchar_t& c : widePath)
    if (c == L'/') c = L'\\';
  HMODULE module = LoadLibraryW(widePath.c_str());
  if (!module) error = "error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(module);
}
void* ModuleSymbol(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}
void CloseModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }
bool EnterModule(void* module) {
  auto init = reinterpret_cast<InitDllProc>(ModuleSymbol(module, "InitDll"));
  return init && init();
}
const char* kModuleExit = "ExitDll";
#else
constexpr const char* kModuleArchFolder = "x86_64-linux";
constexpr const char* kModuleSuffix = ".so";

void* OpenModule(const std::string& path, std::string& error) {
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) error = dlerror();
  return module;
}
void* ModuleSymbol(void* module, const char* name) { return dlsym(module, name); }
void CloseModule(void* module) { dlclose(module); }
bool EnterModule(void* module) {
  auto entry = reinterpret_cast<ModuleEntryProc>(ModuleSymbol(module, "ModuleEntry"));
  return entry && entry(module);
}
const char* kModuleExit = "ModuleExit";
#endif

}  // namespace

std::string ToUtf8(const TChar* text) {
  std::string out;
  for (int i = 0; text && text[i] && i < 4096; ++i) {
    const char32_t c = static_cast<char16_t>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string ClassIdText(const TUID cid) {
  char text[33] = {};
  FUID::fromTUID(cid).toString(text);
  return text;
}

HostedPlugin::HostedPlugin(std::string hostName) : mApplication(std::move(hostName)) {}

HostedPlugin::~HostedPlugin() { Unload(); }

std::string HostedPlugin::ModulePathInBundle(const std::string& bundlePath) {
  std::string stem = bundlePath;
  while (!stem.empty() && stem.back() == '/') stem.pop_back();
  const size_t slash = stem.find_last_of('/');
  std::string name = slash == std::string::npos ? stem : stem.substr(slash + 1);
  if (name.size() > 5 && name.substr(name.size() - 5) == ".vst3") name.resize(name.size() - 5);
  return stem + "/Contents/" + kModuleArchFolder + "/" + name + kModuleSuffix;
}

bool HostedPlugin::LoadModule(const std::string& bundlePath, std::string& error) {
  const std::string path = ModulePathInBundle(bundlePath);
  std::string reason;
  mModule = OpenModule(path, reason);
  if (!mModule) {
    error = std::string("cannot load ") + path + ": " + reason;
    return false;
  }
  auto getFactory = reinterpret_cast<GetFactoryProc>(ModuleSymbol(mModule, "GetPluginFactory"));
  if (!getFactory) {
    error = path + " does not export GetPluginFactory";
    return false;
  }
  if (!EnterModule(mModule)) {
    error = "the module's entry function failed";
    return false;
  }
  mFactory = getFactory();
  if (!mFactory) {
    error = "GetPluginFactory returned no factory";
    return false;
  }
  return true;
}

bool HostedPlugin::CreateInstance(std::string& error) {
  if (!mFactory) {
    error = "no module loaded";
    return false;
  }
  for (int32 i = 0; i < mFactory->countClasses(); ++i) {
    PClassInfo info;
    if (mFactory->getClassInfo(i, &info) != kResultOk || std::strcmp(info.category, kVstAudioEffectClass) != 0)
      continue;
    void* obj = nullptr;
    if (mFactory->createInstance(info.cid, IComponent::iid, &obj) != kResultOk || !obj) continue;
    mComponent = static_cast<IComponent*>(obj);
    break;
  }
  if (!mComponent) {
    error = "the module has no audio effect class that can be created";
    return false;
  }
  if (mComponent->initialize(&mApplication) != kResultOk) {
    error = "initialize failed";
    return false;
  }
  mInitialized = true;
  void* obj = nullptr;
  if (mComponent->queryInterface(IAudioProcessor::iid, &obj) == kResultOk) mProcessor = static_cast<IAudioProcessor*>(obj);
  obj = nullptr;
  if (mComponent->queryInterface(IEditController::iid, &obj) == kResultOk) mController = static_cast<IEditController*>(obj);
  if (!mProcessor || !mController) {
    error = "the component is not also an audio processor and an edit controller";
    return false;
  }
  mController->setComponentHandler(&mHandler);
  return true;
}

bool HostedPlugin::StartProcessing(double sampleRate, int maxBlockFrames, int32 sampleSize, int nChannels,
                                   std::string& error) {
  mNumChannels = nChannels;
  mSampleSize = sampleSize;
  mSampleRate = sampleRate;
  SpeakerArrangement arr = nChannels == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo;
  if (mProcessor->setBusArrangements(&arr, 1, &arr, 1) != kResultTrue) {
    error = "the plug-in refused the bus arrangement";
    return false;
  }
  ProcessSetup setup{kRealtime, sampleSize, maxBlockFrames, sampleRate};
  if (mProcessor->setupProcessing(setup) != kResultTrue) {
    error = "setupProcessing failed";
    return false;
  }
  mComponent->activateBus(kAudio, kInput, 0, true);
  mComponent->activateBus(kAudio, kOutput, 0, true);
  mComponent->setActive(true);
  mProcessor->setProcessing(true);
  mProcessing = true;
  return true;
}

template <typename Sample>
void HostedPlugin::ProcessBlock(Sample** inputs, Sample** outputs, int nFrames, IParameterChanges* changes) {
  AudioBusBuffers in{};
  AudioBusBuffers out{};
  in.numChannels = out.numChannels = mNumChannels;
  if constexpr (sizeof(Sample) == 4) {
    in.channelBuffers32 = inputs;
    out.channelBuffers32 = outputs;
  } else {
    in.channelBuffers64 = inputs;
    out.channelBuffers64 = outputs;
  }
  ProcessContext context{};
  context.sampleRate = mSampleRate;
  context.tempo = 120.0;
  context.state = ProcessContext::kTempoValid;
  ProcessData data{};
  data.processMode = kRealtime;
  data.symbolicSampleSize = sizeof(Sample) == 4 ? kSample32 : kSample64;
  data.numSamples = nFrames;
  data.numInputs = 1;
  data.numOutputs = 1;
  data.inputs = &in;
  data.outputs = &out;
  data.inputParameterChanges = changes;
  data.processContext = &context;
  mProcessor->process(data);
}

void HostedPlugin::Process(float** inputs, float** outputs, int nFrames, const std::vector<ParamChange>& changes) {
  ParameterChanges list(changes);
  ProcessBlock(inputs, outputs, nFrames, &list);
}

void HostedPlugin::Process(double** inputs, double** outputs, int nFrames, const std::vector<ParamChange>& changes) {
  ParameterChanges list(changes);
  ProcessBlock(inputs, outputs, nFrames, &list);
}

void HostedPlugin::Process(float** inputs, float** outputs, int nFrames, IParameterChanges* changes) {
  ProcessBlock(inputs, outputs, nFrames, changes);
}

void HostedPlugin::Process(double** inputs, double** outputs, int nFrames, IParameterChanges* changes) {
  ProcessBlock(inputs, outputs, nFrames, changes);
}

void HostedPlugin::StopProcessing() {
  if (!mProcessing) return;
  mProcessor->setProcessing(false);
  mComponent->setActive(false);
  mProcessing = false;
}

void HostedPlugin::Unload() {
  StopProcessing();
  if (mController) {
    mController->setComponentHandler(nullptr);
    mController->release();
    mController = nullptr;
  }
  if (mProcessor) {
    mProcessor->release();
    mProcessor = nullptr;
  }
  if (mComponent) {
    if (mInitialized) mComponent->terminate();
    mInitialized = false;
    mComponent->release();
    mComponent = nullptr;
  }
  if (mFactory) {
    mFactory->release();
    mFactory = nullptr;
  }
  if (mModule) {
    if (auto exit = reinterpret_cast<ModuleExitProc>(ModuleSymbol(mModule, kModuleExit))) exit();
    CloseModule(mModule);
    mModule = nullptr;
  }
}

bool HostedPlugin::GetState(std::vector<uint8_t>& state) {
  MemoryStream stream;
  if (mComponent->getState(&stream) != kResultOk) return false;
  state.assign(reinterpret_cast<const uint8_t*>(stream.getData()),
               reinterpret_cast<const uint8_t*>(stream.getData()) + stream.getSize());
  return true;
}

tresult HostedPlugin::SetState(const std::vector<uint8_t>& state) {
  MemoryStream stream;
  int32 written = 0;
  if (!state.empty()) stream.write(const_cast<uint8_t*>(state.data()), static_cast<int32>(state.size()), &written);
  stream.seek(0, IBStream::kIBSeekSet, nullptr);
  return mComponent->setState(&stream);
}

long HostedPlugin::FindParameter(const std::string& title) const {
  for (int32 i = 0; i < mController->getParameterCount(); ++i) {
    ParameterInfo info{};
    if (mController->getParameterInfo(i, info) == kResultOk && ToUtf8(info.title) == title)
      return static_cast<long>(info.id);
  }
  return -1;
}

std::string HostedPlugin::ParameterTitle(ParamID id) const {
  for (int32 i = 0; i < mController->getParameterCount(); ++i) {
    ParameterInfo info{};
    if (mController->getParameterInfo(i, info) == kResultOk && info.id == id) return ToUtf8(info.title);
  }
  return {};
}

std::string HostedPlugin::ValueText(ParamID id, double normalized) const {
  String128 text{};
  if (mController->getParamStringByValue(id, normalized, text) != kResultOk) return {};
  return ToUtf8(text);
}

}  // namespace kyr::tools
