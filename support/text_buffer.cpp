// Fixed 260-byte Shift-JIS text buffers: bounded copy, append and join.
#include "support/text_buffer.h"

#include <cstring>

bool textCopy(char* dst, size_t capacity, const char* src)
{
    size_t n = std::strlen(src);
    if (capacity == 0) return false;
    if (n >= capacity) { dst[0] = '\0'; return false; }
    std::memmove(dst, src, n + 1);
    return true;
}

bool textAppend(char* dst, size_t capacity, const char* src)
{
    size_t have = strnlen(dst, capacity);
    size_t n = std::strlen(src);
    if (have >= capacity || n >= capacity - have) return false;
    std::memmove(dst + have, src, n + 1);
    return true;
}

bool textJoin(char* dst, size_t capacity, const char* a, const char* b, const char* c)
{
    size_t la = std::strlen(a), lb = std::strlen(b), lc = c ? std::strlen(c) : 0;
    if (capacity == 0) return false;
    if (la + lb + lc >= capacity) { dst[0] = '\0'; return false; }
    // Parts may alias dst only as its prefix (textJoin(buf, n, buf, "x")).
    std::memmove(dst, a, la);
    std::memcpy(dst + la, b, lb);
    if (c) std::memcpy(dst + la + lb, c, lc);
    dst[la + lb + lc] = '\0';
    return true;
}

void lowerAsciiBytes(char* text)
{
    for (char* p = text; *p; ++p)
        if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
}
