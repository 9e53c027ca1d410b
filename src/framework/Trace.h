#pragma once

namespace oskel {

// Diagnostic trace lines ("idx:%i src:%s\n" and the like) are formatted and handed here.
// This build writes nothing; the hook exists so that a diagnostic build can add a sink.
template <typename... Args>
inline void Trace(const char* /*format*/, const Args&... /*args*/) {}

}  // namespace oskel
