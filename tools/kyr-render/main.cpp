// kyr-render: processes an audio file through the Kyr EQ bundle, loaded through its VST 3
// interfaces exactly as a host does, writes the result and prints the final meter values.
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "DemoSignal.h"
#include "HostedPlugin.h"
#include "RenderOptions.h"
#include "plugin/IKyrMeters.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using kyr::tools::HostedPlugin;
using kyr::tools::ParamChange;

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "kyr-render: %s\n", message.c_str());
  return 1;
}

// Resolves "NAME=VALUE" to a parameter change: a display text for choices, otherwise a plain
// value inside the parameter's range.
bool ResolveSetting(HostedPlugin& host, const std::string& name, const std::string& value, ParamChange& change,
                    std::string& error) {
  const long id = host.FindParameter(name);
  if (id < 0) {
    error = "unknown parameter \"" + name + "\"";
    return false;
  }
  IEditController* c = host.Controller();
  ParameterInfo info{};
  for (int32 i = 0; i < c->getParameterCount(); ++i)
    if (c->getParameterInfo(i, info) == kResultOk && info.id == static_cast<ParamID>(id)) break;
  change = {static_cast<ParamID>(id), 0, 0.0};

  std::string texts;
  if (info.stepCount > 0) {
    for (int32 s = 0; s <= info.stepCount; ++s) {
      const double n = static_cast<double>(s) / info.stepCount;
      const std::string text = host.ValueText(change.id, n);
      if (text == value) {
        change.value = n;
        return true;
      }
      texts += (s ? ", " : "") + text;
    }
  }
  char* end = nullptr;
  const double plain = std::strtod(value.c_str(), &end);
  const double lo = c->normalizedParamToPlain(change.id, 0.0);
  const double hi = c->normalizedParamToPlain(change.id, 1.0);
  if (value.empty() || *end || !std::isfinite(plain)) {
    error = "\"" + value + "\" is not a value of \"" + name + "\"";
    if (!texts.empty()) error += " (one of: " + texts + ")";
    return false;
  }
  if (plain < lo || plain > hi) {
    char range[96];
    std::snprintf(range, sizeof range, " (%g..%g)", lo, hi);
    error = "value " + value + " of \"" + name + "\" is out of range" + range;
    return false;
  }
  change.value = c->plainParamToNormalized(change.id, plain);
  return true;
}

template <typename Sample>
void Render(HostedPlugin& host, std::vector<float>& interleaved, int channels, int block,
            const std::vector<ParamChange>& settings) {
  const size_t frames = interleaved.size() / static_cast<size_t>(channels);
  std::vector<Sample> planes[2];
  for (auto& p : planes) p.resize(static_cast<size_t>(block));
  Sample* ptrs[2] = {planes[0].data(), planes[1].data()};
  for (size_t start = 0; start < frames; start += static_cast<size_t>(block)) {
    const int n = static_cast<int>(std::min(frames - start, static_cast<size_t>(block)));
    for (int c = 0; c < channels; ++c)
      for (int i = 0; i < n; ++i)
        planes[c][static_cast<size_t>(i)] = static_cast<Sample>(interleaved[(start + static_cast<size_t>(i)) * static_cast<size_t>(channels) + static_cast<size_t>(c)]);
    host.Process(ptrs, ptrs, n, start == 0 ? settings : std::vector<ParamChange>{});
    for (int c = 0; c < channels; ++c)
      for (int i = 0; i < n; ++i)
        interleaved[(start + static_cast<size_t>(i)) * static_cast<size_t>(channels) + static_cast<size_t>(c)] = static_cast<float>(planes[c][static_cast<size_t>(i)]);
  }
}

void PrintMeters(HostedPlugin& host) {
  FUnknownPtr<kyr::IKyrMeters> meters(host.Component());
  char8 text[512] = {};
  if (!meters || meters->getMeterText(text, sizeof text) != kResultOk) {
    std::printf("meters: not available from this module\n");
    return;
  }
  const nlohmann::json m = nlohmann::json::parse(text, nullptr, false);
  if (m.is_discarded()) return;
  std::printf("meters (last block):\n");
  std::printf("  tp     %8.2f dBTP   lufs  %7.1f\n", m.value("tp", 0.0), m.value("lufs", 0.0));
  std::printf("  thd    %8.3f %%      drive %7.3f\n", m.value("thd", 0.0), m.value("drive", 0.0));
  std::printf("  xf     %8.3f %%      tb    %7.3f %%\n", m.value("xf", 0.0), m.value("tb", 0.0));
  std::printf("  ease   %8.2f dB     loRed %7.2f dB   hiRed %6.2f dB\n", m.value("ease", 0.0), m.value("loRed", 0.0),
              m.value("hiRed", 0.0));
  std::printf("  ppg    %s   ppbg %s\n", m["ppg"].dump().c_str(), m["ppbg"].dump().c_str());
}

}  // namespace

int main(int argc, char** argv) {
  kyr::tools::RenderOptions options;
  options.bundle = KYR_DEFAULT_BUNDLE;
  std::string error;
  if (!kyr::tools::ParseRenderOptions(argc, argv, options, error)) {
    if (!error.empty()) std::fprintf(stderr, "kyr-render: %s\n", error.c_str());
    std::fputs(kyr::tools::RenderUsage(), stderr);
    return error.empty() ? 0 : 2;
  }

  std::vector<float> audio;
  SF_INFO info{};
  if (options.demo) {
    info.samplerate = 48000;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    audio = kyr::tools::MakeDemoSignal(info.samplerate, options.demoSeconds);
    info.frames = static_cast<sf_count_t>(audio.size() / 2);
  } else {
    SNDFILE* in = sf_open(options.input.c_str(), SFM_READ, &info);
    if (!in) return Fail("cannot read " + options.input + ": " + sf_strerror(nullptr));
    if (info.channels < 1 || info.channels > 2) {
      sf_close(in);
      return Fail(options.input + " has " + std::to_string(info.channels) + " channels; Kyr EQ takes mono or stereo");
    }
    audio.resize(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
    const sf_count_t read = sf_readf_float(in, audio.data(), info.frames);
    sf_close(in);
    audio.resize(static_cast<size_t>(read) * static_cast<size_t>(info.channels));
  }

  HostedPlugin host("kyr-render");
  if (!host.LoadModule(options.bundle, error) || !host.CreateInstance(error)) return Fail(error);
  std::vector<ParamChange> settings;
  for (const auto& [name, value] : options.settings) {
    ParamChange change{};
    if (!ResolveSetting(host, name, value, change, error)) return Fail(error);
    host.Controller()->setParamNormalized(change.id, change.value);
    settings.push_back(change);
  }
  // The printed meters are measured only for a host that asks for them before processing.
  if (FUnknownPtr<kyr::IKyrMeters> meters(host.Component()); meters) meters->setMeterReader(true);
  const int32 sampleSize = options.doublePrecision ? kSample64 : kSample32;
  if (!host.StartProcessing(info.samplerate, options.blockFrames, sampleSize, info.channels, error)) return Fail(error);
  if (options.doublePrecision)
    Render<double>(host, audio, info.channels, options.blockFrames, settings);
  else
    Render<float>(host, audio, info.channels, options.blockFrames, settings);

  SF_INFO outInfo = info;
  SNDFILE* out = sf_open(options.output.c_str(), SFM_WRITE, &outInfo);
  if (!out) return Fail("cannot write " + options.output + ": " + sf_strerror(nullptr));
  sf_command(out, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  sf_writef_float(out, audio.data(), static_cast<sf_count_t>(audio.size() / static_cast<size_t>(info.channels)));
  sf_close(out);

  std::printf("rendered %s: %lld frames, %d channel(s), %d Hz, blocks of %d, %s samples\n", options.output.c_str(),
              static_cast<long long>(audio.size() / static_cast<size_t>(info.channels)), info.channels, info.samplerate,
              options.blockFrames, options.doublePrecision ? "64-bit" : "32-bit");
  for (const auto& [name, value] : options.settings) std::printf("  %s = %s\n", name.c_str(), value.c_str());
  PrintMeters(host);
  return 0;
}
