#include "MeterMessage.h"

#include <cstdio>

namespace oskel {

std::string FormatMeterMessage(const MeterValues& m) {
  char buffer[512];
  const int n = std::snprintf(
      buffer, sizeof buffer,
      "{\"t\":\"meters\",\"thd\":%.3f,\"drive\":%.3f,\"loRed\":%.2f,\"hiRed\":%.2f,\"tp\":%.2f,\"lufs\":%.1f,"
      "\"xf\":%.3f,\"tb\":%.3f,\"ease\":%.2f,\"ppg\":[%.3f,%.3f,%.3f,%.3f,%.3f,%.3f],\"ppbg\":[%.3f,%.3f]}",
      double{m.thd}, double{m.drive}, double{m.loRed}, double{m.hiRed}, double{m.tp}, double{m.lufs}, double{m.xf},
      double{m.tb}, double{m.ease}, double{m.ppg[0]}, double{m.ppg[1]}, double{m.ppg[2]}, double{m.ppg[3]},
      double{m.ppg[4]}, double{m.ppg[5]}, double{m.ppbg[0]}, double{m.ppbg[1]});
  if (n < 0) return {};
  return std::string(buffer, static_cast<size_t>(n < static_cast<int>(sizeof buffer) ? n : sizeof buffer - 1));
}

}  // namespace oskel
