#pragma once

#include "editor/MeterMessage.h"
#include "engine/Meters.h"

namespace kyr {

// Copies the engine's meter values (written by the audio thread) into the editor's record.
// Each value is read once; values of one snapshot may come from different blocks.
oskel::MeterValues SnapshotMeters(const Meters& meters);

}  // namespace kyr
