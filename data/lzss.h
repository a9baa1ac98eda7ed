// LZSS codec of the installer archive: 4096-byte ring zero-filled, write position 0xFEE,
// matches of 3 to 18 bytes, one flag byte per eight items (bit set = literal).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lzss {

// Decodes in[0..inSize) into exactly outSize bytes at out. A match that would pass outSize is
// cut there. Answers false when the input runs out before outSize bytes were produced (the
// rest of out is then zero-filled); never reads or writes out of bounds.
bool decode(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize);

// The straightforward byte-at-a-time decoder, kept as the reference for tests and benchmarks.
bool decodeReference(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize);

// Packs data with a real match search (hash chains over the ring); decode() gives it back.
std::vector<uint8_t> encode(const uint8_t* data, size_t size);

}  // namespace lzss
