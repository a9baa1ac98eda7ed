// Writing installer archives in memory.
#include "tools/vgadisc/archive_writer.h"

#include <cstring>
#include <set>

#include "data/lzss.h"
#include "support/text_buffer.h"

namespace vgadisc {

namespace {

constexpr size_t kHeaderSize = 8;
constexpr size_t kEntrySize = 44;
constexpr uint64_t kMaxOffset = 0xFFFFFFFFu;

void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

std::string quoted(const std::string& cp932Name) { return "\"" + host::display(cp932Name) + "\""; }

}  // namespace

void scrambleDirectory(uint8_t* block, size_t size, const std::string& key)
{
    if (key.empty()) return;
    size_t k = 0;
    for (size_t i = 0; i < size; ++i) {
        block[i] = static_cast<uint8_t>(block[i] - static_cast<uint8_t>(key[k]));
        if (++k == key.size()) k = 0;
    }
}

bool buildArchive(const std::vector<ArchiveInput>& inputs, const ArchiveOptions& options, host::Bytes* out,
                  std::string* error)
{
    std::set<std::string> lowered;
    for (const ArchiveInput& in : inputs) {
        if (in.name.empty()) {
            *error = "an entry has an empty name";
            return false;
        }
        if (in.name.size() > kMaxEntryNameBytes || in.name.find('\0') != std::string::npos) {
            *error = "entry name " + quoted(in.name) + " is " + std::to_string(in.name.size()) +
                     " bytes; names must fit 31 bytes";
            return false;
        }
        std::string low = in.name;
        lowerAsciiBytes(&low[0]);
        if (!lowered.insert(low).second) {
            *error = "entry name " + quoted(in.name) + " occurs twice (names are compared ignoring case)";
            return false;
        }
        if (in.data.empty()) {
            *error = "entry " + quoted(in.name) + " is empty; the archive cannot hold an empty entry";
            return false;
        }
        if (in.data.size() > kMaxOffset) {
            *error = "entry " + quoted(in.name) + " is larger than 4 GiB";
            return false;
        }
    }

    const uint64_t directoryEnd = kHeaderSize + uint64_t(inputs.size()) * kEntrySize;
    if (directoryEnd > kMaxOffset) {
        *error = "too many entries";
        return false;
    }
    host::Bytes result(static_cast<size_t>(directoryEnd), 0);
    put32(&result[0], static_cast<uint32_t>(inputs.size()));
    put32(&result[4], options.packed ? 1u : 0u);

    for (size_t i = 0; i < inputs.size(); ++i) {
        const ArchiveInput& in = inputs[i];
        host::Bytes packed;
        const host::Bytes* stored = &in.data;
        if (options.packed) {
            packed = lzss::encode(in.data.data(), in.data.size());
            // The packer is checked on every entry: an archive that unpacks wrongly would only
            // show itself on the player's machine.
            host::Bytes check(in.data.size());
            if (packed.empty() || !lzss::decode(packed.data(), packed.size(), check.data(), check.size()) ||
                check != in.data) {
                *error = "packing " + quoted(in.name) + " did not give the data back";
                return false;
            }
            stored = &packed;
        }
        uint64_t offset = result.size();
        if (offset + stored->size() > kMaxOffset) {
            *error = "the archive would be larger than 4 GiB";
            return false;
        }
        uint8_t* entry = &result[kHeaderSize + i * kEntrySize];
        std::memcpy(entry, in.name.data(), in.name.size());   // rest of the 32 bytes stays NUL
        put32(entry + 32, static_cast<uint32_t>(in.data.size()));
        put32(entry + 36, static_cast<uint32_t>(stored->size()));
        put32(entry + 40, static_cast<uint32_t>(offset));
        result.insert(result.end(), stored->begin(), stored->end());
    }

    scrambleDirectory(result.data() + kHeaderSize, static_cast<size_t>(directoryEnd - kHeaderSize), options.key);
    out->swap(result);
    return true;
}

}  // namespace vgadisc
