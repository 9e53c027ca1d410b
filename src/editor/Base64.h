#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Base64 (RFC 4648 standard alphabet, "=" fill) for the byte payloads that cross between the
// plug-in and its editor page. Pure functions; any thread.
namespace oskel {

// Length of the zero-terminated buffer that holds the encoding of `size` bytes:
// 4 * ceil(size / 3) + 1. The page receives this number in "SAMFD" statements.
int Base64BufferLength(int size);

// The base64 text of `size` bytes (without the terminating zero of the buffer).
std::string Base64Encode(const void* data, size_t size);

// Decodes a "data" member of a page message. The output size is (3 * L) / 4 minus the "="
// padding at the end of the text; decoding stops at the first character outside the alphabet
// (or when the output is full) and leaves the remaining bytes 0.
std::vector<uint8_t> Base64Decode(std::string_view text);

}  // namespace oskel
