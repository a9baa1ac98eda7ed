// An installer archive opened by the disc tool: the whole file in memory, its directory parsed by
// the same code as the menu's reader, entries unpacked on request.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "data/archive_reader.h"
#include "tools/vgadisc/host_files.h"

namespace vgadisc {

class ArchiveFile {
public:
    struct Item {
        std::string name;   // lowered, code page 932
        ArchiveEntry entry;
    };

    // Reads path and parses its directory with key. False with *error when the file cannot be
    // read, or when the directory is refused ("not an installer archive, or wrong key").
    bool open(const std::string& path, const std::string& key, std::string* error);

    bool packed() const { return packed_ != 0; }
    // Every directory entry, unusable ones (storedSize 0) included, in the order of their data.
    std::vector<Item> items() const;
    // The usable entry of that name (ASCII case ignored), or null.
    const ArchiveEntry* find(const std::string& name) const;
    // The entry's unpacked bytes. False when its data does not unpack to its size.
    bool read(const ArchiveEntry& entry, host::Bytes* out) const;

private:
    host::Bytes data_;
    std::map<std::string, ArchiveEntry> directory_;
    int32_t packed_ = 0;
};

}  // namespace vgadisc
