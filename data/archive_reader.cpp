// CArchiveReader: directory parsing and whole-entry reads of the installer archive.
#include "data/archive_reader.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// By name, and among equal names the later in the file first: that one is kept.
int compareEntries(const void* a, const void* b)
{
    const auto* x = static_cast<const ArchiveDirectoryEntry*>(a);
    const auto* y = static_cast<const ArchiveDirectoryEntry*>(b);
    const int byName = std::strcmp(x->name, y->name);
    if (byName != 0) return byName;
    return x->position > y->position ? -1 : x->position < y->position ? 1 : 0;
}

// Sorts the table by name and keeps, of each name, the entry that came last in the file.
// Answers how many entries remain at the front of the table.
uint32_t sortKeepingLastOfEachName(ArchiveDirectoryEntry* table, uint32_t count)
{
    if (count == 0) return 0;
    std::qsort(table, count, sizeof *table, compareEntries);
    uint32_t kept = 1;
    for (uint32_t i = 1; i < count; ++i)
        if (std::strcmp(table[i].name, table[kept - 1].name) != 0) table[kept++] = table[i];
    return kept;
}

}  // namespace

ArchiveDirectory::~ArchiveDirectory() { std::free(entries_); }

void ArchiveDirectory::Adopt(ArchiveDirectoryEntry* entries, uint32_t count)
{
    std::free(entries_);
    entries_ = entries;
    count_ = entries ? count : 0;
}

void ArchiveDirectory::Swap(ArchiveDirectory& other)
{
    ArchiveDirectoryEntry* entries = entries_;
    const uint32_t count = count_;
    entries_ = other.entries_;
    count_ = other.count_;
    other.entries_ = entries;
    other.count_ = count;
}

const ArchiveEntry* ArchiveDirectory::Find(const char* loweredName) const
{
    uint32_t low = 0, high = count_;
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        const int order = std::strcmp(loweredName, entries_[middle].name);
        if (order == 0) return &entries_[middle].entry;
        if (order < 0) high = middle;
        else low = middle + 1;
    }
    return nullptr;
}

bool parseArchiveDirectory(const uint8_t* data, size_t dataSize, uint64_t fileSize,
                           const char* key, ArchiveDirectory* out, int32_t* packed, uint32_t* count)
{
    if (!data || !out || !packed || !count) return false;
    if (dataSize < kHeaderSize || fileSize < dataSize) return false;
    uint32_t entryCount = le32(data);
    uint32_t packedField = le32(data + 4);
    uint64_t directoryEnd = kHeaderSize + uint64_t(entryCount) * kEntrySize;
    if (directoryEnd > dataSize) return false;

    ArchiveDirectoryEntry* table = nullptr;
    if (entryCount != 0) {
        if (entryCount > SIZE_MAX / sizeof *table) return false;
        table = static_cast<ArchiveDirectoryEntry*>(std::malloc(size_t(entryCount) * sizeof *table));
        if (!table) return false;
    }
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
        if (!std::memchr(raw, 0, kNameSize)) {
            std::free(table);
            return false;
        }

        ArchiveEntry entry;
        entry.size = le32(raw + 32);
        entry.storedSize = le32(raw + 36);
        entry.offset = le32(raw + 40);
        // An entry with storedSize 0 is never read, so its other fields are not checked.
        const bool sound = entry.storedSize == 0 ||
                           (uint64_t(entry.offset) + entry.storedSize <= fileSize &&
                            (packedField != 0 || entry.size == entry.storedSize) &&
                            (packedField == 0 || entry.size <= uint64_t(entry.storedSize) * kMaxExpansion));
        if (!sound) {
            std::free(table);
            return false;
        }

        ArchiveDirectoryEntry& item = table[i];
        std::memcpy(item.name, raw, kNameSize);   // NUL-terminated within, as checked above
        lowerAsciiBytes(item.name);
        item.entry = entry;
        item.position = i;
    }

    out->Adopt(table, sortKeepingLastOfEachName(table, entryCount));
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
    directory_.Clear();
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

    // directoryEnd is at most the file's size, which ftell gave as a long.
    const size_t blockSize = static_cast<size_t>(directoryEnd);
    uint8_t* block = static_cast<uint8_t*>(std::malloc(blockSize));
    if (!block) return 0;
    ArchiveDirectory parsed;
    int32_t packed = 0;
    uint32_t count = 0;
    const bool read = readAt(f, 0, block, blockSize) &&
                      parseArchiveDirectory(block, blockSize, fileSize, key_, &parsed, &packed, &count);
    std::free(block);
    if (!read) return 0;

    directory_.Swap(parsed);
    packed_ = packed;
    count_ = count;
    opened_ = 1;
    std::memcpy(path_, path, pathLength + 1);
    return 1;
}

const ArchiveEntry* CArchiveReader::Find(const char* name) const
{
    // No directory name is longer than 31 bytes, so a longer name is found nowhere.
    char lowered[kArchiveNameSize];
    const size_t length = name ? strnlen(name, sizeof lowered) : sizeof lowered;
    if (length == sizeof lowered) return nullptr;
    std::memcpy(lowered, name, length + 1);
    lowerAsciiBytes(lowered);
    const ArchiveEntry* entry = directory_.Find(lowered);
    return entry && entry->storedSize != 0 ? entry : nullptr;
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
