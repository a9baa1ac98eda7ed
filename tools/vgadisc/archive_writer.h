// Writing installer archives: header, scrambled 44-byte directory entries, then the entry data,
// stored as they are or LZSS-packed (one flag for the whole archive).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/vgadisc/host_files.h"

namespace vgadisc {

constexpr size_t kMaxEntryNameBytes = 31;   // the name field is 32 bytes with its NUL
constexpr const char* kDefaultKey = "kavo";

struct ArchiveInput {
    std::string name;   // entry name, code page 932
    host::Bytes data;
};

struct ArchiveOptions {
    std::string key = kDefaultKey;   // "" leaves the directory unscrambled
    bool packed = true;
};

// Subtracts the key's bytes from block in one walk that does not restart between entries
// (the reader adds them back in the same walk). An empty key changes nothing.
void scrambleDirectory(uint8_t* block, size_t size, const std::string& key);

// Builds a whole archive in memory, entries in input order. False with *error (out unchanged)
// when an input cannot be stored so that the reader finds it again: an empty name or one over
// 31 bytes, two names equal after lowering ASCII letters (the reader keeps only the later one),
// an empty file (a zero stored size marks an unusable entry), more than 4 GiB, or packed data
// that does not unpack to the original.
bool buildArchive(const std::vector<ArchiveInput>& inputs, const ArchiveOptions& options, host::Bytes* out,
                  std::string* error);

}  // namespace vgadisc
