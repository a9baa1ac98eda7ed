// The archive directory as a map from name to entry: what the disc tool, the tests and the
// benchmarks walk. The menu keeps the reader's own table and never builds one.
#include "data/archive_reader.h"

namespace {

std::map<std::string, ArchiveEntry> asMap(const ArchiveDirectory& directory)
{
    std::map<std::string, ArchiveEntry> entries;
    for (uint32_t i = 0; i < directory.Count(); ++i) entries.emplace(directory.At(i).name, directory.At(i).entry);
    return entries;
}

}  // namespace

bool parseArchiveDirectory(const uint8_t* data, size_t dataSize, uint64_t fileSize,
                           const char* key, std::map<std::string, ArchiveEntry>* out,
                           int32_t* packed, uint32_t* count)
{
    if (!out) return false;
    ArchiveDirectory directory;
    int32_t parsedPacked = 0;
    uint32_t parsedCount = 0;
    if (!parseArchiveDirectory(data, dataSize, fileSize, key, &directory, &parsedPacked, &parsedCount) || !packed ||
        !count)
        return false;
    std::map<std::string, ArchiveEntry> entries = asMap(directory);
    out->swap(entries);
    *packed = parsedPacked;
    *count = parsedCount;
    return true;
}

std::map<std::string, ArchiveEntry> CArchiveReader::Directory() const { return asMap(directory_); }
