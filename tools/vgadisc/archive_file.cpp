// An installer archive read whole into memory for listing, extracting and checking.
#include "tools/vgadisc/archive_file.h"

#include <algorithm>

#include "data/lzss.h"
#include "support/text_buffer.h"

namespace vgadisc {

bool ArchiveFile::open(const std::string& path, const std::string& key, std::string* error)
{
    if (!host::isRegularFile(path)) {
        *error = path + ": no such file";
        return false;
    }
    host::Bytes data;
    std::string why;
    if (!host::readFile(path, &data, &why)) {
        *error = path + ": " + why;
        return false;
    }
    std::map<std::string, ArchiveEntry> directory;
    int32_t packed = 0;
    uint32_t count = 0;
    if (!parseArchiveDirectory(data.data(), data.size(), data.size(), key.c_str(), &directory, &packed, &count)) {
        *error = path + ": not an installer archive, or wrong key";
        return false;
    }
    data_.swap(data);
    directory_.swap(directory);
    packed_ = packed;
    return true;
}

std::vector<ArchiveFile::Item> ArchiveFile::items() const
{
    std::vector<Item> result;
    for (const auto& kv : directory_) result.push_back(Item{kv.first, kv.second});
    std::stable_sort(result.begin(), result.end(),
                     [](const Item& a, const Item& b) { return a.entry.offset < b.entry.offset; });
    return result;
}

const ArchiveEntry* ArchiveFile::find(const std::string& name) const
{
    std::string lowered = name;
    if (!lowered.empty()) lowerAsciiBytes(&lowered[0]);
    auto it = directory_.find(lowered);
    if (it == directory_.end() || it->second.storedSize == 0) return nullptr;
    return &it->second;
}

bool ArchiveFile::read(const ArchiveEntry& entry, host::Bytes* out) const
{
    // The directory parser has checked that the stored bytes lie inside the file.
    if (entry.storedSize == 0 || uint64_t(entry.offset) + entry.storedSize > data_.size()) return false;
    const uint8_t* stored = data_.data() + entry.offset;
    if (!packed_) {
        out->assign(stored, stored + entry.storedSize);
        return true;
    }
    host::Bytes unpacked(entry.size);
    if (!lzss::decode(stored, entry.storedSize, unpacked.data(), unpacked.size())) return false;
    out->swap(unpacked);
    return true;
}

}  // namespace vgadisc
