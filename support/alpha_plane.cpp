// CAlphaPlane: allocation, filling (flipped to top-down) and release of a picture's alpha plane.
#include "support/alpha_plane.h"

#include <cstdlib>
#include <cstring>

CAlphaPlane::~CAlphaPlane()
{
    Release();
}

int CAlphaPlane::Allocate(int32_t rowLength, int32_t rowCount)
{
    if (data_) return 1;
    if (rowLength <= 0 || rowCount <= 0) return 2;
    // rowLength x (rowCount + 2) + 8 must fit a size_t (it always does on 64-bit; on 32-bit
    // a picture of that size could not be loaded anyway).
    const uint64_t bytes = static_cast<uint64_t>(rowLength) * (static_cast<uint64_t>(rowCount) + 2) + 8;
    if (bytes > SIZE_MAX || static_cast<uint64_t>(rowCount) > SIZE_MAX / sizeof(uint8_t*)) return 2;

    void* raw = std::malloc(static_cast<size_t>(bytes));
    uint8_t** rows = static_cast<uint8_t**>(std::malloc(static_cast<size_t>(rowCount) * sizeof(uint8_t*)));
    if (!raw || !rows) {
        std::free(raw);
        std::free(rows);
        return 2;
    }
    uint8_t* data = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(raw) & ~uintptr_t(7)) + 8);
    for (int32_t i = 0; i < rowCount; ++i) rows[i] = data + static_cast<size_t>(i) * rowLength;
    raw_ = raw;
    rows_ = rows;
    data_ = data;
    rowCount_ = rowCount;
    rowLength_ = rowLength;
    return 0;
}

int CAlphaPlane::CreateFrom(int32_t rowLength, int32_t rowCount, const uint8_t* source)
{
    int result = Allocate(rowLength, rowCount);
    if (result != 0) return result;
    for (int32_t i = 0; i < rowCount; ++i)
        std::memcpy(rows_[i], source + static_cast<size_t>(rowCount - 1 - i) * rowLength, rowLength);
    return 0;
}

int CAlphaPlane::CreateBlank(int32_t rowLength, int32_t rowCount)
{
    int result = Allocate(rowLength, rowCount);
    if (result != 0) return result;
    std::memset(data_, 0, static_cast<size_t>(rowLength) * rowCount);
    return 0;
}

void CAlphaPlane::Release()
{
    std::free(rows_);
    std::free(raw_);
    data_ = nullptr;
    rows_ = nullptr;
    raw_ = nullptr;
    rowCount_ = 0;
    rowLength_ = 0;
}
