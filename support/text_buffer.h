// Fixed 260-byte Shift-JIS text buffers: bounded copy, append and join.
// Portable: no Win32 header. Every path, registry text and list line of the programs lives in a Text.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kTextSize = 260;          // 259 characters and the NUL
typedef char Text[kTextSize];

// True for a byte that starts a two-byte character in code page 932
// (0x81-0x9F and 0xE0-0xFC). The second byte may be 0x5C ('\\') or 0x2C (',').
inline bool isSjisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Copies src into dst (capacity bytes, NUL included). Answers false and leaves dst as an
// empty string when src does not fit: a text is never cut silently.
bool textCopy(char* dst, size_t capacity, const char* src);

// Appends src to the NUL-terminated text in dst. Answers false and leaves dst unchanged when
// the result would not fit capacity bytes.
bool textAppend(char* dst, size_t capacity, const char* src);

// Joins up to three parts into dst (a, then b, then c; c may be null). False, dst empty, when
// the result does not fit.
bool textJoin(char* dst, size_t capacity, const char* a, const char* b, const char* c = nullptr);

// Lowers ASCII A-Z byte by byte over the whole text, trail bytes included (the installer
// archive's own rule for entry names).
void lowerAsciiBytes(char* text);
