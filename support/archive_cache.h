// CArchiveCache: unpacked copies of installer-archive entries, so a second read skips the decoding.
// Holds at most a byte budget (20000000); drops entries from the end of an order that favours
// the most used ones. Owned by one CArchiveReader; single-threaded.
#pragma once
#include <cstddef>
#include <cstdint>

class CArchiveCache {
public:
    static constexpr uint32_t kDefaultBudget = 20000000u;   // twenty million bytes

    CArchiveCache();
    virtual ~CArchiveCache();
    CArchiveCache(const CArchiveCache&) = delete;
    CArchiveCache& operator=(const CArchiveCache&) = delete;

    // Position of the first entry whose name equals name ignoring ASCII case, with the top bit
    // set (position | 0x80000000); 0 when there is none.
    uint32_t Find(const char* name) const;
    // Copies length bytes of the entry that Find answered into dest, counts the use, then
    // reorders and trims. Copies at most the entry's own size. Nothing when the budget is 0.
    void Fetch(uint32_t found, void* dest, uint32_t length);
    // Keeps a copy of length bytes under name. 0 kept (or budget 0: nothing kept), 1 the name
    // is already held (nothing kept).
    int Add(const char* name, const void* source, uint32_t length);
    int Contains(const char* name) const;
    void Clear();

    // Size of the entry that Find answered (0 for a miss).
    uint32_t SizeAt(uint32_t found) const;

    // For tests and benchmarks.
    void SetBudget(uint32_t budget) { budget_ = budget; }
    uint32_t Budget() const { return budget_; }
    uint32_t TotalBytes() const { return totalBytes_; }
    size_t EntryCount() const { return count_; }
    const char* NameAt(size_t position) const;
    uint32_t UseCountAt(size_t position) const;

private:
    // One C-heap block per entry: this header, then the name with its NUL, then the data.
    struct CacheEntry {
        const char* name;      // as the caller spelled it; inside the entry's block
        uint32_t size;
        uint32_t useCount;
        unsigned char* data;   // inside the entry's block
        uint32_t stamp;        // tick when added; never updated
    };
    void Reorder();
    void Trim();
    // Room for one more entry pointer; false when the table cannot grow.
    bool Reserve();

    uint32_t budget_;
    uint32_t totalBytes_;
    CacheEntry** entries_;   // C heap, count_ used of capacity_
    size_t count_;
    size_t capacity_;
};
