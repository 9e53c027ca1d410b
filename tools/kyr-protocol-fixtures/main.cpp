// kyr-protocol-fixtures: writes the exact statements that Kyr EQ runs in its editor page, for
// the page's own browser tests (which read the file named by KYR_PROTOCOL_FIXTURES):
//   {"params": the parameter descriptions statement, "values": the 53 default value statements,
//    "meters": a meter statement, "spectrum": a spectrum statement of a test signal,
//    "rate": the sample-rate statement for 44.1 kHz, "levels": the levels statement after that
//    meter statement, "size": the editor-scale statement answering a request for 1.5,
//    "pageState": the page-state statement returning a stored text after a page load}
// Usage: kyr-protocol-fixtures [output.json]   (standard output without an argument)
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "editor/EditorProtocol.h"
#include "engine/Meters.h"
#include "plugin/LUMAEQ5.h"

namespace {

// The plug-in with its page replaced by a list of the statements it is sent.
class CapturingPlugin : public LUMAEQ5 {
 public:
  CapturingPlugin() : LUMAEQ5(oskel::InstanceInfo{}) {}
  void EvaluateJavaScript(const char* statement) override { statements.emplace_back(statement); }
  std::vector<std::string> statements;
};

// Two seconds of a stereo test signal: a 440 Hz tone and a quieter 3 kHz tone.
void ProcessTestSignal(LUMAEQ5& plugin, double sampleRate) {
  constexpr int kBlock = 512;
  kyr::EqProcessor& processor = plugin.GetProcessor();
  processor.Reset(sampleRate, kBlock);
  std::vector<double> left(kBlock), right(kBlock), outLeft(kBlock), outRight(kBlock);
  double* inputs[2] = {left.data(), right.data()};
  double* outputs[2] = {outLeft.data(), outRight.data()};
  long n = 0;
  for (int block = 0; block < static_cast<int>(2 * sampleRate) / kBlock; ++block) {
    for (int i = 0; i < kBlock; ++i, ++n) {
      const double t = static_cast<double>(n) / sampleRate;
      left[i] = 0.5 * std::sin(2 * M_PI * 440.0 * t) + 0.1 * std::sin(2 * M_PI * 3000.0 * t);
      right[i] = left[i];
    }
    processor.Process(inputs, outputs, 2, 2, kBlock);
  }
}

std::string FirstWithPrefix(const std::vector<std::string>& statements, const std::string& prefix) {
  for (const auto& s : statements)
    if (s.rfind(prefix, 0) == 0) return s;
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  CapturingPlugin plugin;
  plugin.OnWebContentLoaded();  // descriptions, then one value statement per parameter
  nlohmann::ordered_json fixtures;
  fixtures["params"] = plugin.statements.at(0);
  fixtures["values"] = std::vector<std::string>(plugin.statements.begin() + 1, plugin.statements.end());

  ProcessTestSignal(plugin, 48000.0);
  plugin.OnIdle();  // the resend tick
  plugin.statements.clear();
  // Plausible values beside the measured ones, so that every field differs from its default.
  kyr::Meters& meters = plugin.GetProcessor().GetMeters();
  kyr::SetMeter(meters.thd, 1.234);
  kyr::SetMeter(meters.drive, 0.373);
  kyr::SetMeter(meters.loRed, 1.5);
  kyr::SetMeter(meters.hiRed, 0.75);
  kyr::SetMeter(meters.xf, 62.5);
  kyr::SetMeter(meters.tb, 37.5);
  kyr::SetMeter(meters.ease, -2.25);
  for (int i = 0; i < 6; ++i) kyr::SetMeter(meters.ppg[i], 0.8 + 0.1 * i);
  kyr::SetMeter(meters.ppbg[0], 1.2);
  kyr::SetMeter(meters.ppbg[1], 0.9);
  meters.processed.store(1);
  for (int tick = 0; tick < 3; ++tick) plugin.OnIdle();
  fixtures["meters"] = FirstWithPrefix(plugin.statements, "SAMFD(0, ");
  fixtures["spectrum"] = FirstWithPrefix(plugin.statements, "SAMFD(3, ");
  fixtures["levels"] = FirstWithPrefix(plugin.statements, "SAMFD(5, ");
  // The sample-rate message after the engine moves to 44.1 kHz.
  plugin.GetProcessor().Reset(44100.0, 512);
  plugin.statements.clear();
  plugin.OnIdle();
  fixtures["rate"] = FirstWithPrefix(plugin.statements, "SAMFD(4, ");

  // The editor's scale, then a stored page state handed back to a reloaded page.
  const std::string sizeRequest = R"({"scale":1.5})";
  plugin.statements.clear();
  plugin.OnMessage(oskel::kMsgTagEditorSize, 0, static_cast<int>(sizeRequest.size()), sizeRequest.data());
  fixtures["size"] = FirstWithPrefix(plugin.statements, "SAMFD(7, ");
  const std::string pageState = R"({"ab":{"lit":"A"},"history":[],"note":"caf\u00e9 \"A\""})";
  plugin.OnMessage(oskel::kMsgTagStorePageState, 0, static_cast<int>(pageState.size()), pageState.data());
  plugin.OnUIOpen();
  plugin.statements.clear();
  plugin.OnIdle();
  fixtures["pageState"] = FirstWithPrefix(plugin.statements, "SAMFD(6, ");

  const std::string text = fixtures.dump(2) + "\n";
  if (argc > 1) {
    std::ofstream out(argv[1], std::ios::binary);
    out << text;
    if (!out) {
      std::fprintf(stderr, "kyr-protocol-fixtures: cannot write %s\n", argv[1]);
      return 1;
    }
  } else {
    std::cout << text;
  }
  for (const char* key : {"meters", "spectrum", "rate", "levels", "size", "pageState"})
    if (fixtures[key].get<std::string>().empty()) return 1;
  return 0;
}
