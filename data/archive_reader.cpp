// CArchiveReader: directory parsing and whole-entry reads of the installer archive.
#include "data/archive_reader.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "data/lzss.h"
#include "support/platform_hooks.h"
#include "support/stdio_file.h"
#include "support/text_buffer.h"

namespace {

constexpr size_t kHeaderSize = 8;
constexpr size_t kEntrySize = 44;
constexpr size_t kNameSize = 32;
// The packer turns two input bytes into at most 18 output bytes, and every byte of flags costs
// input too, so no honest entry unpacks to more than nine times its stored size.
constexpr uint64_t kMaxExpansion = 9;

uint32_t le32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

void showMissingFile(const char* path)
{
    char text[1024] = {};
    textJoin(text, sizeof text, path, "ファイルが見当たりません\n");   // a longer path shows nothing but the text
    if (text[0] == '\0') textCopy(text, sizeof text, "ファイルが見当たりません\n");
    platform::showMessage(text, nullptr);
}

// Reads exactly n bytes at offset; false on a seek failure or a short read.
bool readAt(FILE* f, uint64_t offset, void* dest, size_t n)
{
    if (offset > static_cast<uint64_t>(LONG_MAX)) return false;
    if (std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0) return false;
    return n == 0 || std::fread(dest, 1, n, f) == n;
}

}  // namespace

bool parseArchiveDirectory(const uint8_t* data, size_t dataSize, uint64_t fileSize,
                           const char* key, std::map<std::string, ArchiveEntry>* out,
                           int32_t* packed, uint32_t* count)
{
    if (!data || !out || !packed || !count) return false;
    if (dataSize < kHeaderSize || fileSize < dataSize) return false;
    uint32_t entryCount = le32(data);
    uint32_t packedField = le32(data + 4);
    uint64_t directoryEnd = kHeaderSize + uint64_t(entryCount) * kEntrySize;
    if (directoryEnd > dataSize) return false;

    std::map<std::string, ArchiveEntry> parsed;
    size_t keyLength = key ? std::strlen(key) : 0;
    size_t keyPos = 0;
    uint8_t raw[kEntrySize];
    for (uint32_t i = 0; i < entryCount; ++i) {
        // The key walks on across entries; it restarts only at the start of the block.
        const uint8_t* scrambled = data + kHeaderSize + size_t(i) * kEntrySize;
        for (size_t b = 0; b < kEntrySize; ++b) {
            raw[b] = scrambled[b];
            if (keyLength) {
                raw[b] = static_cast<uint8_t>(raw[b] + static_cast<uint8_t>(key[keyPos]));
                if (++keyPos == keyLength) keyPos = 0;
            }
        }
        const void* nul = std::memchr(raw, 0, kNameSize);
        if (!nul) return false;

        ArchiveEntry entry;
        entry.size = le32(raw + 32);
        entry.storedSize = le32(raw + 36);
        entry.offset = le32(raw + 40);
        // An entry with storedSize 0 is never read, so its other fields are not checked.
        if (entry.storedSize != 0) {
            if (uint64_t(entry.offset) + entry.storedSize > fileSize) return false;
            if (packedField == 0 && entry.size != entry.storedSize) return false;
            if (packedField != 0 && entry.size > uint64_t(entry.storedSize) * kMaxExpansion) return false;
        }

        std::string name(reinterpret_cast<const char*>(raw), static_cast<const uint8_t*>(nul) - raw);
        lowerAsciiBytes(&name[0]);
        parsed[name] = entry;
    }

    out->swap(parsed);
    *packed = static_cast<int32_t>(packedField);
    *count = entryCount;
    return true;
}

CArchiveReader::CArchiveReader() : packed_(0), count_(0), opened_(0)
{
    path_[0] = '\0';
    key_[0] = '\0';
}

CArchiveReader::~CArchiveReader()
{
    directory_.clear();
    cache_.Clear();
}

void CArchiveReader::SetKey(const char* key)
{
    size_t n = key ? strnlen(key, sizeof key_ - 1) : 0;
    if (n) std::memcpy(key_, key, n);
    key_[n] = '\0';
}

int CArchiveReader::Open(const char* path)
{
    if (!path) return 0;
    // Every later read goes through the stored path, so a path that does not fit is one the
    // reader cannot open.
    size_t pathLength = std::strlen(path);
    if (pathLength >= sizeof path_) {
        showMissingFile(path);
        return 0;
    }
    StdioFile file(path, "rb");
    if (!file.get()) {
        showMissingFile(path);
        return 0;
    }

    FILE* f = file.get();
    if (std::fseek(f, 0, SEEK_END) != 0) return 0;
    long endPos = std::ftell(f);
    if (endPos < 0) return 0;
    uint64_t fileSize = static_cast<uint64_t>(endPos);

    uint8_t header[kHeaderSize];
    if (fileSize < kHeaderSize || !readAt(f, 0, header, kHeaderSize)) return 0;
    // The count is checked against the file before anything is allocated for it.
    uint64_t directoryEnd = kHeaderSize + uint64_t(le32(header)) * kEntrySize;
    if (directoryEnd > fileSize) return 0;

    std::vector<uint8_t> block;
    try {
        block.resize(static_cast<size_t>(directoryEnd));
    } catch (...) {
        return 0;
    }
    if (!readAt(f, 0, block.data(), block.size())) return 0;

    std::map<std::string, ArchiveEntry> parsed;
    int32_t packed = 0;
    uint32_t count = 0;
    if (!parseArchiveDirectory(block.data(), block.size(), fileSize, key_, &parsed, &packed, &count))
        return 0;

    directory_.swap(parsed);
    packed_ = packed;
    count_ = count;
    opened_ = 1;
    std::memcpy(path_, path, pathLength + 1);
    return 1;
}

const ArchiveEntry* CArchiveReader::Find(const char* name) const
{
    if (!name) return nullptr;
    std::string lowered(name);
    if (!lowered.empty()) lowerAsciiBytes(&lowered[0]);
    auto it = directory_.find(lowered);
    if (it == directory_.end() || it->second.storedSize == 0) return nullptr;
    return &it->second;
}

int CArchiveReader::GetSize(const char* name, uint32_t* size)
{
    const ArchiveEntry* entry = Find(name);
    if (size) *size = entry ? entry->size : 0;
    return entry ? 1 : 0;
}

int CArchiveReader::Exists(const char* name)
{
    if (!Find(name)) return 0;
    StdioFile file(path_, "rb");
    return file.get() ? 1 : 0;
}

int CArchiveReader::Read(const char* name, void* buffer)
{
    const ArchiveEntry* entry = Find(name);
    if (!entry) return 0;
    StdioFile file(path_, "rb");
    if (!file.get()) {
        showMissingFile(path_);
        return 0;
    }
    uint8_t* out = static_cast<uint8_t*>(buffer);

    if (packed_ == 0) {
        // The directory guarantees size == storedSize for a stored archive.
        if (readAt(file.get(), entry->offset, out, entry->size)) return 1;
        // The file shrank since Open: hand out no partial bytes.
        std::memset(out, 0, entry->size);
        return 0;
    }

    uint8_t* block = static_cast<uint8_t*>(std::malloc(entry->storedSize));
    if (!block) return 0;
    bool ok = readAt(file.get(), entry->offset, block, entry->storedSize);
    if (ok) {
        // The cache is keyed by name alone and outlives a re-open; bytes held for an entry of
        // another size belong to some other archive and are not used.
        uint32_t found = cache_.Find(name);
        if (found && cache_.Budget() != 0 && cache_.SizeAt(found) == entry->size) {
            cache_.Fetch(found, out, entry->size);
        } else {
            ok = lzss::decode(block, entry->storedSize, out, entry->size);
            if (ok) cache_.Add(name, out, entry->size);
        }
    }
    std::free(block);
    if (!ok) std::memset(out, 0, entry->size);
    return ok ? 1 : 0;
}
