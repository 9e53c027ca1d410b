#pragma once

#include <cmath>

// The voicing of Kyr EQ as data: the frequency tables by control index, the gains and Qs of
// the program bands and the constants of the filter stages. The designs read them here, and
// kyr-page-data hands the same numbers to the editor page, so that the curve the page draws
// follows the sound when any of them is retuned.
namespace kyr {

// Section types of DesignBiquad.
enum BiquadType : int { kLowShelf = 0, kHighShelf = 1, kPeaking = 2 };

// One band of the program equaliser at amount a (0..1) and Bandwidth w (0..1):
//   gain (dB) = (gainDb + gainDbPerWidth * w) * a^gainExponent
//   Q         = max(qMin, q + qPerAmount * a + qPerWidth * w)
struct BandVoicing {
  int type;
  double gainDb, gainDbPerWidth, gainExponent;
  double q, qPerAmount, qPerWidth, qMin;
};

inline double BandGainDb(const BandVoicing& v, double amount, double width) {
  const double shaped = v.gainExponent == 1.0 ? amount : std::pow(amount, v.gainExponent);
  return (v.gainDb + v.gainDbPerWidth * width) * shaped;
}

inline double BandQ(const BandVoicing& v, double amount, double width) {
  return std::fmax(v.qMin, v.q + v.qPerAmount * amount + v.qPerWidth * width);
}

// The fixed character shelf, always on (amount 1).
inline constexpr double kCharacterShelfHz = 1589.8;
inline constexpr BandVoicing kCharacterShelf = {kHighShelf, 0.803, 0.0, 1.0, 0.461, 0.0, 0.0, 0.0};

inline constexpr BandVoicing kLowCutVoicing = {kLowShelf, -21.3, 0.0, 1.0, 0.48, 0.0, 0.0, 0.0};
inline constexpr BandVoicing kLowBoostVoicing = {kLowShelf, 21.6, 0.0, 1.0, 0.47, 0.0, 0.0, 0.0};
inline constexpr BandVoicing kMidCutVoicing = {kPeaking, -12.4, 0.0, 1.4, -0.72, 3.7, 0.0, 0.3};
inline constexpr BandVoicing kHighBoostVoicing = {kPeaking, 11.3, 7.1, 1.0, 0.43, 0.0, 0.13, 0.0};
inline constexpr BandVoicing kHighCutVoicing = {kHighShelf, -13.0, 0.0, 1.0, 0.47, 0.0, 0.0, 0.0};
inline constexpr BandVoicing kMidBoostVoicing = {kPeaking, 10.0, 0.0, 1.0, 0.9, -0.25, 0.0, 0.0};

// Frequency tables of the program bands, in hertz, by frequency index.
inline constexpr double kLowCutHz[] = {69.0, 96.0, 198.0, 750.0};
inline constexpr double kLowBoostHz[] = {50.0, 90.0, 116.0, 236.0};
inline constexpr double kMidCutHz[] = {200.0, 300.0, 400.0, 500.0, 600.0, 700.0};
inline constexpr double kHighBoostHz[] = {2000.0, 3000.0,  4000.0,  5000.0,
                                          8000.0, 10000.0, 12000.0, 16000.0};
inline constexpr double kHighCutHz[] = {1700.0, 4000.0, 10000.0, 28000.0};
inline constexpr double kMidBoostHz[] = {200.0,  350.0,  500.0,  700.0,
                                         1000.0, 1500.0, 2000.0, 3000.0};

// Tube drive from Input (0..1): drivePerInput * input + driveOffset, limited to
// driveMin..driveMax. The coupling high-pass sits at drive * kCouplingHzPerDrive +
// kCouplingBaseHz, limited to kCouplingMinHz..kCouplingMaxHz.
inline constexpr double kDrivePerInput = 1.318;
inline constexpr double kDriveOffset = -0.286;
inline constexpr double kDriveMin = 0.05;
inline constexpr double kDriveMax = 4.0;
inline constexpr double kCouplingBaseHz = 1.5;
inline constexpr double kCouplingHzPerDrive = 22.8;
inline constexpr double kCouplingMinHz = 2.0;
inline constexpr double kCouplingMaxHz = 60.0;

// LF Filter and HF Filter corners for setting values 1..6; the second-order Q of the 12 dB
// slope and the two Qs of the 24 dB slope; the resonance multiplies the last Q by
// exp(kResonanceFactor * reso).
inline constexpr double kLowFilterHz[] = {16.0, 22.0, 30.0, 40.0, 55.0, 80.0};
inline constexpr double kHighFilterHz[] = {22000.0, 18000.0, 15000.0, 12000.0, 10000.0, 8000.0};
inline constexpr double kButterworthQ = 0.70710678;
inline constexpr double kFourthOrderQ1 = 0.5411961;
inline constexpr double kFourthOrderQ2 = 1.30656296;
inline constexpr double kResonanceFactor = 1.95;

// Baxandall section: cut corners by setting value (0 is off; "70k" is designed at 40 kHz and
// then limited to 0.49 fs), shelf bases, Tilt pivot and Bass Mono corners.
inline constexpr double kBaxLoCutHz[] = {0.0, 12.0, 18.0, 24.0, 30.0, 36.0, 43.0, 54.0};
inline constexpr double kBaxLoShelfHz[] = {43.0, 74.0, 84.0, 98.0, 116.0, 131.0, 166.0, 230.0, 361.0};
inline constexpr double kBaxHiShelfHz[] = {1600.0, 1800.0, 2100.0, 2500.0,
                                           3400.0, 4800.0, 7100.0, 18000.0};
inline constexpr double kBaxHiCutHz[] = {0.0, 40000.0, 28000.0, 18000.0, 12600.0, 11100.0, 9000.0, 7500.0};
inline constexpr double kBassMonoHz[] = {0.0, 60.0, 90.0, 120.0, 150.0};
inline constexpr double kTiltHz = 700.0;

// Band Listen centres: the frequencies the controls display, by frequency index.
inline constexpr double kListenLowBoostHz[] = {20.0, 40.0, 60.0, 140.0};
inline constexpr double kListenLowCutHz[] = {30.0, 40.0, 100.0, 400.0};
inline constexpr double kListenMidBoostHz[] = {200.0, 350.0, 500.0, 700.0, 1000.0, 1500.0, 2000.0, 3000.0};
inline constexpr double kListenMidCutHz[] = {200.0, 300.0, 400.0, 500.0, 600.0, 700.0};
inline constexpr double kListenHighBoostHz[] = {2000.0, 3000.0,  4000.0,  5000.0,
                                                8000.0, 10000.0, 12000.0, 16000.0};
inline constexpr double kListenHighCutHz[] = {1700.0, 4000.0, 10000.0, 28000.0};
inline constexpr double kListenLoShelfHz[] = {43.0, 74.0, 84.0, 98.0, 116.0, 131.0, 166.0, 230.0, 361.0};
inline constexpr double kListenHiShelfHz[] = {1600.0, 1800.0, 2100.0, 2500.0,
                                              3400.0, 4800.0, 7100.0, 18000.0};
inline constexpr double kListenDefaultHz = 1000.0;

}  // namespace kyr
