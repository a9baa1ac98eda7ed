// CArchiveCache: unpacked copies of installer-archive entries, kept under a byte budget.
#include "support/archive_cache.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "support/platform_hooks.h"

namespace {

constexpr uint32_t kFoundBit = 0x80000000u;

// Entry names are compared without regard to ASCII letter case; other bytes (Shift-JIS lead and
// trail bytes among them) must be equal.
bool sameNameIgnoringCase(const char* held, const char* name)
{
    const unsigned char* a = reinterpret_cast<const unsigned char*>(held);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(name);
    for (;; ++a, ++b) {
        unsigned char ca = *a, cb = *b;
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb - 'A' + 'a');
        if (ca != cb) return false;
        if (ca == 0) return true;
    }
}

}  // namespace

CArchiveCache::CArchiveCache() : budget_(kDefaultBudget), totalBytes_(0), entries_(nullptr), count_(0), capacity_(0) {}

CArchiveCache::~CArchiveCache()
{
    Clear();
    std::free(entries_);
}

uint32_t CArchiveCache::Find(const char* name) const
{
    if (!name) return 0;
    for (size_t i = 0; i < count_; ++i)
        if (sameNameIgnoringCase(entries_[i]->name, name)) return static_cast<uint32_t>(i) | kFoundBit;
    return 0;
}

uint32_t CArchiveCache::SizeAt(uint32_t found) const
{
    if (!(found & kFoundBit)) return 0;
    size_t position = found & ~kFoundBit;
    return position < count_ ? entries_[position]->size : 0;
}

void CArchiveCache::Fetch(uint32_t found, void* dest, uint32_t length)
{
    if (budget_ == 0) return;
    // A value without the top bit is a miss, not position 0.
    if (!(found & kFoundBit)) return;
    size_t position = found & ~kFoundBit;
    if (position >= count_) return;

    CacheEntry* entry = entries_[position];
    uint32_t n = length < entry->size ? length : entry->size;
    if (n != 0) std::memcpy(dest, entry->data, n);
    ++entry->useCount;
    Reorder();
    Trim();
}

int CArchiveCache::Add(const char* name, const void* source, uint32_t length)
{
    if (budget_ == 0 || !name) return 0;
    if (Contains(name)) return 1;
    // A total that would wrap around could no longer be trimmed; such an entry is not kept.
    if (length > UINT32_MAX - totalBytes_) return 0;

    totalBytes_ += length;
    Reorder();
    Trim();

    // The caller already holds the unpacked bytes, so an allocation failure only costs the caching.
    const size_t nameBytes = std::strlen(name) + 1;
    const size_t head = sizeof(CacheEntry) + nameBytes;
    CacheEntry* entry = nullptr;
    if (length <= SIZE_MAX - head && Reserve()) entry = static_cast<CacheEntry*>(std::malloc(head + length));
    if (!entry) {
        totalBytes_ -= length;
        return 0;
    }
    char* copiedName = reinterpret_cast<char*>(entry + 1);
    std::memcpy(copiedName, name, nameBytes);
    entry->name = copiedName;
    entry->size = length;
    entry->useCount = 0;
    entry->data = reinterpret_cast<unsigned char*>(copiedName + nameBytes);
    if (length != 0) std::memcpy(entry->data, source, length);
    entry->stamp = platform::tickNow();
    entries_[count_++] = entry;
    return 0;
}

int CArchiveCache::Contains(const char* name) const { return Find(name) != 0 ? 1 : 0; }

void CArchiveCache::Clear()
{
    for (size_t i = 0; i < count_; ++i) std::free(entries_[i]);
    count_ = 0;
    totalBytes_ = 0;
}

const char* CArchiveCache::NameAt(size_t position) const
{
    return position < count_ ? entries_[position]->name : nullptr;
}

uint32_t CArchiveCache::UseCountAt(size_t position) const
{
    return position < count_ ? entries_[position]->useCount : 0;
}

bool CArchiveCache::Reserve()
{
    if (count_ < capacity_) return true;
    const size_t grown = capacity_ ? capacity_ * 2 : 16;
    if (grown > SIZE_MAX / sizeof(CacheEntry*)) return false;
    void* table = std::realloc(entries_, grown * sizeof(CacheEntry*));
    if (!table) return false;
    entries_ = static_cast<CacheEntry**>(table);
    capacity_ = grown;
    return true;
}

// Newest first, then most used first. Two plain exchange passes, not stable sorts: the order
// among equal use counts is whatever these loops leave, and the trimming order depends on it.
void CArchiveCache::Reorder()
{
    size_t n = count_;
    if (n < 2) return;
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i; j < n; ++j)
            if (entries_[i]->stamp < entries_[j]->stamp) std::swap(entries_[i], entries_[j]);
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i; j < n; ++j)
            if (entries_[i]->useCount < entries_[j]->useCount) std::swap(entries_[i], entries_[j]);
}

// Drops entries from the end until the total fits. An entry larger than the whole budget leaves
// the table empty with the total still above the budget.
void CArchiveCache::Trim()
{
    while (budget_ < totalBytes_ && count_ != 0) {
        CacheEntry* last = entries_[--count_];
        totalBytes_ -= last->size;
        std::free(last);
    }
}
