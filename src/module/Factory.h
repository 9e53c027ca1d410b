#pragma once

#include "pluginterfaces/base/ipluginbase.h"

namespace oskel {

// The module's single factory, created on the first call with the factory and class
// information of Kyr EQ; every call returns the same object with one more reference.
Steinberg::IPluginFactory* GetFactory();

}  // namespace oskel
