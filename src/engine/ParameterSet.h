#pragma once

#include <array>
#include <vector>

#include "EParams.h"

namespace kyr {

// Definition of one of the plug-in's parameters: what the plug-in's constructor passes to
// the framework's initialisers, in index order.
struct ParamDef {
  enum Kind { kDouble, kEnum, kBool };
  const char* name;
  Kind kind;
  double defaultValue;
  double minValue;   // enum and bool: 0
  double maxValue;   // enum and bool: count - 1
  double step;       // enum and bool: 1
  const char* label;
  std::vector<const char*> texts;  // display texts of values 0, 1, ...; empty for doubles
  const char* unit = "";           // unit of a choice's texts ("Hz", "dB/oct"), for the editor
};

// The 53 parameters of Kyr EQ, indexed by EParams.
const std::array<ParamDef, kNumParams>& ParameterTable();

}  // namespace kyr
