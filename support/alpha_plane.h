// CAlphaPlane: one byte per pixel of a picture, rows top-down without padding, held on the C heap.
// Portable: no Win32 header.
#pragma once
#include <cstdint>

class CAlphaPlane {
public:
    CAlphaPlane() = default;
    virtual ~CAlphaPlane();
    CAlphaPlane(const CAlphaPlane&) = delete;
    CAlphaPlane& operator=(const CAlphaPlane&) = delete;

    // Makes a plane of rowCount rows of rowLength bytes from source, which holds the rows
    // bottom-up (source row rowCount - 1 becomes plane row 0). 0 done; 1 a plane already exists
    // (nothing changes); 2 the block cannot be allocated or the sizes are not positive or too
    // large (the plane stays empty).
    int CreateFrom(int32_t rowLength, int32_t rowCount, const uint8_t* source);
    // The same with every byte zero.
    int CreateBlank(int32_t rowLength, int32_t rowCount);
    // Frees the plane; harmless when it is empty.
    void Release();

    bool IsEmpty() const { return data_ == nullptr; }
    uint8_t* Data() const { return data_; }                 // rowLength x rowCount bytes, 8-byte aligned
    uint8_t* Row(int32_t i) const { return rows_[i]; }      // 0 <= i < RowCount()
    int32_t RowCount() const { return rowCount_; }
    int32_t RowLength() const { return rowLength_; }

private:
    int Allocate(int32_t rowLength, int32_t rowCount);

    uint8_t* data_ = nullptr;    // raw rounded down to 8 and advanced by 8: 1 to 8 bytes above raw
    uint8_t** rows_ = nullptr;   // rowCount pointers, top row first
    void* raw_ = nullptr;        // rowLength x (rowCount + 2) + 8 bytes
    int32_t rowCount_ = 0;
    int32_t rowLength_ = 0;
};
