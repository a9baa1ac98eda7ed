// The grammar of the lines inside the install lists.
#include "data/list_grammar.h"

#include <cstring>

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

void splitAtComma(const char* line, size_t length, char* key, char* value)
{
    if (length == 0) return;
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
}

bool isDiscChangeEntry(const char* entry)
{
    return std::strncmp(entry, "CDCHANGE", 8) == 0;
}

int discChangeNumber(const char* entry)
{
    return std::strlen(entry) > 9 ? listAtoi(entry + 9) : 0;
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isDiscKey(const char* key)
{
    return (std::strncmp(key, "disc", 4) == 0 || std::strncmp(key, "disk", 4) == 0) && isDigit(key[4]);
}

}  // namespace

TitleLineKind titleLineKind(const char* key)
{
    if (key[0] == '\0' || std::strcmp(key, "end") == 0) return TitleLineKind::End;
    if (std::strcmp(key, "setdir") == 0) return TitleLineKind::SetFolder;
    if (isDiscKey(key)) return TitleLineKind::Disc;
    return TitleLineKind::File;
}

int discLineNumber(const char* key)
{
    return isDiscKey(key) ? listAtoi(key + 4) : 0;
}

bool forEachTitleFile(const TitleRecord& title, TitleFileVisit visit, void* context)
{
    Text subfolder = {};
    const int count = listCount(title.fileLineCount, kTitleFileLines);
    for (int i = 0; i < count; ++i) {
        Text key = {}, value = {};
        splitAtComma(title.fileLines[i], kTextSize, key, value);
        const TitleLineKind kind = titleLineKind(key);
        if (kind == TitleLineKind::End) break;
        if (kind == TitleLineKind::SetFolder) {
            std::memcpy(subfolder, value, kTextSize);   // both are 260-byte texts
            continue;
        }
        if (value[0] == '\0') continue;   // a disc line without a file, or an empty file line
        if (!visit(context, subfolder, value)) return false;
    }
    return true;
}
