// An installer archive as the tests write it: entries added one by one, directory fields that a
// test may spoil before the directory is scrambled with the key. Portable (native tests).
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "data/lzss.h"

namespace test_support {

using Bytes = std::vector<uint8_t>;

inline Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

struct ArchiveImage {
    struct Entry {
        char name[32] = {};
        uint32_t size = 0, storedSize = 0, offset = 0;
    };
    uint32_t packed = 0;
    std::vector<Entry> dir;
    Bytes data;                  // follows the directory
    uint32_t countOverride = 0;  // a count other than the entries'

    // A hidden entry has stored size 0: listed, but not readable.
    void add(const std::string& name, const Bytes& content, bool hidden = false)
    {
        Entry e;
        std::memcpy(e.name, name.c_str(), name.size() + 1);
        Bytes stored = packed ? lzss::encode(content.data(), content.size()) : content;
        e.size = uint32_t(content.size());
        e.storedSize = hidden ? 0 : uint32_t(stored.size());
        e.offset = uint32_t(data.size());   // made absolute in bytes()
        dir.push_back(e);
        data.insert(data.end(), stored.begin(), stored.end());
    }

    // The file: the writer subtracts the key in the same walk the reader adds it. An empty key
    // leaves the directory plain.
    Bytes bytes(const std::string& key) const
    {
        Bytes out, block;
        auto put = [](Bytes& b, uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i))); };
        const uint32_t base = uint32_t(8 + dir.size() * 44);
        for (const Entry& e : dir) {
            block.insert(block.end(), e.name, e.name + 32);
            put(block, e.size);
            put(block, e.storedSize);
            put(block, e.offset + base);
        }
        for (size_t i = 0; !key.empty() && i < block.size(); ++i) block[i] = uint8_t(block[i] - key[i % key.size()]);
        put(out, countOverride ? countOverride : uint32_t(dir.size()));
        put(out, packed);
        out.insert(out.end(), block.begin(), block.end());
        out.insert(out.end(), data.begin(), data.end());
        return out;
    }
};

}  // namespace test_support
