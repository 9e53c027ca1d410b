#pragma once

namespace oskel {

// Diagnostic trace lines ("idx:%i src:%s\n" and the like) are handed here. This build writes
// nothing; the hook exists so that a diagnostic build can add a sink. It is called from the
// audio thread (OnParamChange runs inside the host's process call), so it stays an empty inline
// function: no formatting, allocation, lock or I/O happens, and a sink added later must queue
// the line rather than write it on the calling thread.
template <typename... Args>
constexpr void Trace(const char* /*format*/, const Args&... /*args*/) noexcept {}

}  // namespace oskel
