#pragma once

#include <string>

namespace oskel {

// Hosts recognised by name. Values are stable: they identify hosts in saved diagnostics.
enum EHost : int {
  kHostUninit = -1,
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostProTools,
  kHostCubase,
  kHostNuendo,
  kHostSonar,
  kHostVegas,
  kHostFL,
  kHostSamplitude,
  kHostAbletonLive,
  kHostTracktion,
  kHostNTracks,
  kHostMelodyneStudio,
  kHostVSTScanner,
  kHostAULab,
  kHostForte,
  kHostChainer,
  kHostAudition,
  kHostOrion,
  kHostBias,
  kHostSAWStudio,
  kHostLogic,
  kHostGarageBand,
  kHostDigitalPerformer,
  kHostStandalone,
  kHostAudioMulch,
  kHostStudioOne,
  kHostVST3TestHost,
  kHostArdour,
  kHostRenoise,
  kHostOpenMPT,
  kHostWaveLab,
  kHostWaveLabElements,
  kHostTwistedWave,
  kHostBitwig,
  kHostWWW,
  kHostReason,
  kHostGoldWave5x,
  kHostWaveform,
  kHostAudacity,
  kHostAcoustica,
  kHostPluginDoctor,
  kHostiZotopeRX,
  kHostSAVIHost,
  kHostBlueCat,
  kHostMixbus,
};

// The ID of the first known host whose lower-case name fragment occurs in `name`
// (compared lower-cased, byte by byte); kHostUnknown when none does.
EHost IdentifyHost(const std::string& name);

}  // namespace oskel
