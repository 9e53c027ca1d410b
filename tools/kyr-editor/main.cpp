// kyr-editor: hosts the Kyr EQ bundle, plays a file (or a generated demo) through it in a loop
// at real-time pace and shows its editor in Chromium (in a window when a display exists).
//
//   kyr-editor [--bundle DIR] [--input FILE] [--seconds N] [--screenshot OUT.png [--scale F]]
//              [--snapshots DIR] [--after S] [--set NAME=VALUE]...
//
// --screenshot renders the live editor after S seconds (default 3) into a PNG, at F device pixels
// per editor pixel (default 1), and exits;
// --snapshots writes the pictures hosts show in their plug-in browsers into DIR (the bundle's
// Contents/Resources/Snapshots), at scales 1 and 2, named after the class ID, and exits;
// --set changes a parameter (plain value) through the page's own message channel.
// Without --screenshot it runs for N seconds (default: until interrupted).
#include <sndfile.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "DemoSignal.h"
#include "HostedPlugin.h"
#include "ModuleInfo.h"
#include "editor/Base64.h"
#include "vst3/IPluginVST3View.h"

using namespace Steinberg;

namespace {

constexpr int kBlock = 512;
volatile std::sig_atomic_t gStop = 0;

struct Options {
  std::string bundle = KYR_DEFAULT_BUNDLE;
  std::string input;
  std::string screenshot;
  std::string snapshots;
  double scale = 1.0;
  double seconds = 0;  // 0: until interrupted
  double after = 3.0;
  std::vector<std::pair<std::string, double>> sets;
};

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--bundle" && hasValue) o.bundle = argv[++i];
    else if (arg == "--input" && hasValue) o.input = argv[++i];
    else if (arg == "--screenshot" && hasValue) o.screenshot = argv[++i];
    else if (arg == "--snapshots" && hasValue) o.snapshots = argv[++i];
    else if (arg == "--scale" && hasValue) o.scale = std::atof(argv[++i]);
    else if (arg == "--seconds" && hasValue) o.seconds = std::atof(argv[++i]);
    else if (arg == "--after" && hasValue) o.after = std::atof(argv[++i]);
    else if (arg == "--set" && hasValue) {
      const std::string setting = argv[++i];
      const size_t eq = setting.find('=');
      if (eq == std::string::npos) return false;
      o.sets.emplace_back(setting.substr(0, eq), std::atof(setting.c_str() + eq + 1));
    } else {
      return false;
    }
  }
  return o.scale > 0.0 && o.scale <= 4.0;
}

// Interleaved stereo at the file's rate, or the demo at 48 kHz.
bool LoadAudio(const Options& o, std::vector<float>& audio, int& sampleRate) {
  if (o.input.empty()) {
    sampleRate = 48000;
    audio = kyr::tools::MakeDemoSignal(sampleRate, 8.0);
    return true;
  }
  SF_INFO info{};
  SNDFILE* file = sf_open(o.input.c_str(), SFM_READ, &info);
  if (!file || info.frames <= 0 || info.channels <= 0) return false;
  std::vector<float> raw(static_cast<size_t>(info.frames * info.channels));
  sf_readf_float(file, raw.data(), info.frames);
  sf_close(file);
  sampleRate = info.samplerate;
  audio.resize(static_cast<size_t>(info.frames) * 2);
  for (sf_count_t f = 0; f < info.frames; ++f) {
    audio[2 * f] = raw[f * info.channels];
    audio[2 * f + 1] = raw[f * info.channels + (info.channels > 1 ? 1 : 0)];
  }
  return true;
}

// One DevTools command to the editor page; the answer's JSON (null on failure).
nlohmann::json Call(oskel::IEditorDevTools* devTools, const std::string& method, const nlohmann::json& params) {
  std::vector<char> result(32 << 20);
  if (devTools->devToolsCommand(method.c_str(), params.dump().c_str(), result.data(),
                                static_cast<int32>(result.size()), 20000) < 0)
    return nullptr;
  return nlohmann::json::parse(result.data(), nullptr, false);
}

// One picture to take of the live editor.
struct Shot {
  double scale;
  std::string path;
};

// The class ID of the module's first audio effect class (the one HostedPlugin creates).
std::string EffectClassId(IPluginFactory* factory) {
  for (int32 i = 0; i < factory->countClasses(); ++i) {
    PClassInfo info;
    if (factory->getClassInfo(i, &info) == kResultOk && std::string(info.category) == kVstAudioEffectClass)
      return kyr::tools::ClassIdText(info.cid);
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: kyr-editor [--bundle DIR] [--input FILE] [--seconds N] [--screenshot OUT.png [--scale F]] "
                 "[--snapshots DIR] [--after S] [--set NAME=VALUE]...\n");
    return 2;
  }
  if (!options.screenshot.empty() || !options.snapshots.empty()) setenv("KYR_WEBVIEW_HEADLESS", "1", 0);
  std::signal(SIGINT, [](int) { gStop = 1; });
  std::signal(SIGTERM, [](int) { gStop = 1; });

  std::vector<float> audio;
  int sampleRate = 48000;
  if (!LoadAudio(options, audio, sampleRate)) {
    std::fprintf(stderr, "kyr-editor: cannot read %s\n", options.input.c_str());
    return 1;
  }

  kyr::tools::HostedPlugin host("Kyr Editor");
  std::string error;
  if (!host.LoadModule(options.bundle, error) || !host.CreateInstance(error) ||
      !host.StartProcessing(sampleRate, kBlock, Vst::kSample32, 2, error)) {
    std::fprintf(stderr, "kyr-editor: %s\n", error.c_str());
    return 1;
  }
  IPlugView* view = host.Controller()->createView(Vst::ViewType::kEditor);
  oskel::IEditorDevTools* devTools = nullptr;
  if (!view || view->attached(nullptr, kPlatformTypeHWND) != kResultTrue ||
      view->queryInterface(oskel::IEditorDevTools_iid, reinterpret_cast<void**>(&devTools)) != kResultOk) {
    std::fprintf(stderr, "kyr-editor: the editor did not open\n");
    return 1;
  }

  std::vector<Shot> shots;
  if (!options.screenshot.empty()) shots.push_back({options.scale, options.screenshot});
  if (!options.snapshots.empty()) {
    const std::string classId = EffectClassId(host.Factory());
    std::filesystem::create_directories(options.snapshots);
    for (double scale : {1.0, 2.0})
      shots.push_back({scale, options.snapshots + "/" + kyr::tools::SnapshotFileName(classId, scale)});
  }
  // Pictures are taken at the editor's own size; the scale is set that long before each one, so
  // that the page has drawn itself anew.
  ViewRect editorSize;
  view->getSize(&editorSize);
  constexpr double kScaleSettleSec = 0.5;
  size_t nextShot = 0;
  double scaleSetAt = -1.0;

  // The audio loop, paced to real time; parameter changes are set once the page shows them.
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const size_t frames = audio.size() / 2;
  std::vector<float> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
  float* in[2] = {inL.data(), inR.data()};
  float* out[2] = {outL.data(), outR.data()};
  size_t position = 0;
  long blocks = 0;
  bool setsDone = options.sets.empty();
  int status = 0;
  while (!gStop) {
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    if (options.seconds > 0 && elapsed >= options.seconds) break;
    if (!setsDone && elapsed >= 1.0) {
      for (const auto& [name, value] : options.sets) {
        const std::string script = "IPluginSendMsg({msg:'SAMFUI', msgTag:1, ctrlTag:-1, data:btoa(JSON.stringify("
                                   "{paramIdx:" + std::to_string(host.FindParameter(name)) + ", value:" +
                                   std::to_string(value) + "}))}); 0";
        Call(devTools, "Runtime.evaluate", {{"expression", script}});
      }
      setsDone = true;
    }
    if (nextShot < shots.size() && elapsed >= options.after) {
      const Shot& shot = shots[nextShot];
      if (scaleSetAt < 0.0) {
        Call(devTools, "Emulation.setDeviceMetricsOverride",
             {{"width", editorSize.getWidth()}, {"height", editorSize.getHeight()},
              {"deviceScaleFactor", shot.scale}, {"mobile", false}});
        scaleSetAt = elapsed;
      } else if (elapsed - scaleSetAt >= kScaleSettleSec) {
        const nlohmann::json picture = Call(devTools, "Page.captureScreenshot", {{"format", "png"}});
        if (!picture.is_object() || !picture.contains("data")) {
          std::fprintf(stderr, "kyr-editor: no screenshot (is Chromium installed?)\n");
          status = 1;
          break;
        }
        const std::vector<uint8_t> png = oskel::Base64Decode(picture["data"].get<std::string>());
        std::ofstream file(shot.path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        if (!file.flush()) {
          std::fprintf(stderr, "kyr-editor: cannot write %s\n", shot.path.c_str());
          status = 1;
          break;
        }
        std::printf("kyr-editor: wrote %s\n", shot.path.c_str());
        ++nextShot;
        scaleSetAt = -1.0;
      }
    }
    if (!shots.empty() && nextShot == shots.size()) break;
    // Keep the audio about real time: process the blocks that are due, then rest.
    const long due = static_cast<long>(elapsed * sampleRate / kBlock);
    for (; blocks <= due; ++blocks) {
      for (int i = 0; i < kBlock; ++i, position = (position + 1) % frames) {
        inL[i] = audio[2 * position];
        inR[i] = audio[2 * position + 1];
      }
      host.Process(in, out, kBlock);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }

  devTools->release();
  view->removed();
  view->release();
  return status;
}
