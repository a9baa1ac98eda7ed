// CArchiveReader: the installer archive "instdata.arc" - a scrambled directory of named entries,
// stored as they are or LZSS-packed - read whole entries by name.
//
// File layout (little-endian 32-bit): count, packed, then count x 44-byte directory entries
// (name[32] NUL-terminated, size, storedSize, offset), scrambled as one block by adding the key's
// bytes in a walk that does not restart between entries. Entry data anywhere after that.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "support/archive_cache.h"

struct ArchiveEntry {
    uint32_t size = 0;         // unpacked size: what the caller receives
    uint32_t storedSize = 0;   // bytes in the file; 0 marks an unusable entry
    uint32_t offset = 0;       // absolute offset of the entry's first byte
};

constexpr size_t kArchiveNameSize = 32;   // a name of at most 31 bytes and its NUL

struct ArchiveDirectoryEntry {
    char name[kArchiveNameSize];   // lowered, NUL-terminated
    ArchiveEntry entry;
    uint32_t position;             // where the entry stands in the file's directory, from 0
};

// The directory as the reader keeps it: one entry per name, sorted by name, in one C-heap table
// that the object owns.
class ArchiveDirectory {
public:
    ArchiveDirectory() = default;
    ~ArchiveDirectory();
    ArchiveDirectory(const ArchiveDirectory&) = delete;
    ArchiveDirectory& operator=(const ArchiveDirectory&) = delete;

    // Takes over a C-heap table of count entries, sorted by name with no name twice (null when
    // count is 0), and frees the table held until now.
    void Adopt(ArchiveDirectoryEntry* entries, uint32_t count);
    void Swap(ArchiveDirectory& other);
    void Clear() { Adopt(nullptr, 0); }

    uint32_t Count() const { return count_; }
    const ArchiveDirectoryEntry& At(uint32_t i) const { return entries_[i]; }   // i < Count()
    // The entry of a lowered name, or null.
    const ArchiveEntry* Find(const char* loweredName) const;

private:
    ArchiveDirectoryEntry* entries_ = nullptr;
    uint32_t count_ = 0;
};

// Parses the header and directory from memory. fileSize is the whole archive's length (entries
// must lie inside it). Answers false for anything malformed (or a table that cannot be
// allocated): out is then unchanged. Names are lowered; a later duplicate replaces an earlier one.
bool parseArchiveDirectory(const uint8_t* data, size_t dataSize, uint64_t fileSize,
                           const char* key, ArchiveDirectory* out, int32_t* packed, uint32_t* count);

// The same directory as a map from name to entry, for the disc tool, the tests and the
// benchmarks (defined in the authoring library; the menu never builds it).
bool parseArchiveDirectory(const uint8_t* data, size_t dataSize, uint64_t fileSize,
                           const char* key, std::map<std::string, ArchiveEntry>* out,
                           int32_t* packed, uint32_t* count);

class CArchiveReader {
public:
    CArchiveReader();
    virtual ~CArchiveReader();
    CArchiveReader(const CArchiveReader&) = delete;
    CArchiveReader& operator=(const CArchiveReader&) = delete;

    // Scrambling key ("kavo" for the menu); "" switches unscrambling off. Longer keys are cut
    // to 255 bytes.
    void SetKey(const char* key);
    // 1 success, 0 failure. A missing file shows "%sファイルが見当たりません\n" through the
    // platform message hook; a malformed archive answers 0 without a message. On failure the
    // reader keeps what it had.
    int Open(const char* path);
    // 1 and the entry's unpacked size, or 0 and size 0 when the name is not found.
    int GetSize(const char* name, uint32_t* size);
    // Fills buffer (GetSize bytes, allocated by the caller) with the entry. 0 when the entry is
    // missing or cannot be read whole (short read, packed stream running out): the caller must
    // not use the buffer then.
    int Read(const char* name, void* buffer);
    // 1 when the entry is found and the archive file can be opened for reading. No message.
    int Exists(const char* name);

    // For the disc tool, the tests and the benchmarks: the directory as read (lowered names), as
    // a map built on each call (defined in the authoring library), and the header fields.
    std::map<std::string, ArchiveEntry> Directory() const;
    bool IsPacked() const { return packed_ != 0; }
    bool IsOpen() const { return opened_ != 0; }
    CArchiveCache& Cache() { return cache_; }

private:
    const ArchiveEntry* Find(const char* name) const;

    char path_[260];
    char key_[256];
    int32_t packed_;
    uint32_t count_;
    int32_t opened_;
    ArchiveDirectory directory_;
    CArchiveCache cache_;
};
