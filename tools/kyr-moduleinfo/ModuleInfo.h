#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "pluginterfaces/base/ipluginbase.h"

namespace kyr::tools {

// One picture of a class's editor for hosts' plug-in browsers, found in the bundle's
// Contents/Resources/Snapshots folder. The path is relative to Contents/Resources.
struct Snapshot {
  double scaleFactor = 1.0;
  std::string path;
};

// The snapshots of one class: files named <CID>_snapshot.png (scale 1) and
// <CID>_snapshot_<S>x.png (scale S, such as 2.0), sorted by scale. Other files are ignored.
std::vector<Snapshot> FindSnapshots(const std::filesystem::path& resourcesDir, const std::string& classId);

// The file name of a class's snapshot at a scale: <CID>_snapshot.png or <CID>_snapshot_<S>x.png.
std::string SnapshotFileName(const std::string& classId, double scaleFactor);

// The module description that hosts read instead of loading the module (moduleinfo.json in the
// bundle's Contents/Resources), built from what the factory reports: the factory information,
// every class with its snapshots, and an empty compatibility list. `moduleName` is the bundle's
// name without ".vst3"; the module's version is the version of its first class.
nlohmann::ordered_json MakeModuleInfo(Steinberg::IPluginFactory* factory, const std::string& moduleName,
                                      const std::filesystem::path& resourcesDir);

}  // namespace kyr::tools
