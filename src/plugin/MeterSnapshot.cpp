#include "MeterSnapshot.h"

namespace kyr {

oskel::MeterValues SnapshotMeters(const Meters& m) {
  constexpr auto r = std::memory_order_relaxed;
  oskel::MeterValues v;
  v.thd = m.thd.load(r);
  v.drive = m.drive.load(r);
  v.loRed = m.loRed.load(r);
  v.hiRed = m.hiRed.load(r);
  v.tp = m.tp.load(r);
  v.lufs = m.lufs.load(r);
  v.xf = m.xf.load(r);
  v.tb = m.tb.load(r);
  v.ease = m.ease.load(r);
  for (int i = 0; i < 6; ++i) v.ppg[i] = m.ppg[i].load(r);
  for (int i = 0; i < 2; ++i) v.ppbg[i] = m.ppbg[i].load(r);
  return v;
}

}  // namespace kyr
