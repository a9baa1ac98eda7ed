// Cuts a list line of the form name,value at its first comma, Shift-JIS aware.
#include "install/split_at_comma.h"

#include "support/text_buffer.h"

namespace {

// One side of the cut: appends whole characters while they fit, leaving room for the NUL.
struct Side {
    char* text;
    size_t used;
    size_t capacity;

    void append(const char* bytes, size_t count)
    {
        if (capacity == 0 || used + count > capacity - 1) return;   // never half a character
        for (size_t i = 0; i < count; ++i) text[used++] = bytes[i];
        text[used] = '\0';
    }
};

}  // namespace

bool splitAtComma(const char* line, size_t length, char* key, char* value)
{
    if (length == 0) return true;
    key[0] = '\0';
    value[0] = '\0';
    Side keySide{key, 0, length};
    Side valueSide{value, 0, length};
    Side* current = &keySide;

    // The text ends at its NUL: bytes the buffer may hold beyond it are not part of the line.
    for (size_t i = 0; i < length && line[i] != '\0'; ++i) {
        unsigned char b = static_cast<unsigned char>(line[i]);
        if (isSjisLeadByte(b)) {
            if (i + 1 < length && line[i + 1] != '\0') {
                current->append(line + i, 2);
                ++i;
            } else {
                current->append(line + i, 1);   // a lead byte cut off by the end of the text
                break;
            }
        } else if (b == ',') {
            current = &valueSide;                // the first comma cuts; every comma is dropped
        } else {
            current->append(line + i, 1);
        }
    }
    return true;
}
