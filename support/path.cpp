// Paths in 260-byte Shift-JIS texts, cut and joined only at real backslashes.
#include "support/path.h"

#include <cstring>

size_t charLength(const char* p)
{
    if (*p == '\0') return 0;
    return (isSjisLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') ? 2 : 1;
}

const char* lastBackslash(const char* text)
{
    const char* found = nullptr;
    for (const char* p = text; *p; p += charLength(p))
        if (*p == '\\') found = p;
    return found;
}

size_t folderPartLength(const char* path)
{
    const char* slash = lastBackslash(path);
    return slash ? static_cast<size_t>(slash - path) + 1 : 0;
}

const char* fileNamePart(const char* path)
{
    return path + folderPartLength(path);
}

void folderOf(const char* path, char* out)
{
    const size_t length = folderPartLength(path);
    std::memmove(out, path, length);   // below 260: path is a Text
    out[length] = '\0';
}

bool endsWithBackslash(const char* text)
{
    const char* slash = lastBackslash(text);
    return slash && slash[1] == '\0';
}

bool joinFolder(char* out, const char* folder, const char* name)
{
    return textJoin(out, kTextSize, folder, endsWithBackslash(folder) ? "" : "\\", name);
}

bool isAbsoluteFolder(const char* folder)
{
    const char letter = static_cast<char>(folder[0] | 0x20);
    const bool drive = letter >= 'a' && letter <= 'z' && folder[1] == ':' && folder[2] == '\\';
    const bool network = folder[0] == '\\' && folder[1] == '\\' && folder[2] != '\0';
    return drive || network;
}

bool makeUsableFolder(char* folder)
{
    if (!isAbsoluteFolder(folder)) return false;
    if (endsWithBackslash(folder)) return true;
    return textAppend(folder, kTextSize, "\\");
}
