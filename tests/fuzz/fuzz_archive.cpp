// Fuzz target: any file opened as an installer archive, every entry sized and read, never out of bounds.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/archive_reader.h"

namespace {

// A plain array, so the exit handler never sees a destroyed string.
char g_path[4096];

const char* tempArchivePath()
{
    if (!g_path[0]) {
        const char* dir = std::getenv("TMPDIR");
        std::snprintf(g_path, sizeof g_path, "%s/vga_fuzz_archive_%ld.arc", dir && *dir ? dir : "/tmp", long(getpid()));
        std::atexit([] { std::remove(g_path); });
    }
    return g_path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The parser straight from memory, with the file as long as the input.
    std::map<std::string, ArchiveEntry> parsed;
    int32_t packed = 0;
    uint32_t count = 0;
    parseArchiveDirectory(data, size, size, "kavo", &parsed, &packed, &count);

    const char* path = tempArchivePath();
    FILE* f = std::fopen(path, "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);

    CArchiveReader reader;
    reader.SetKey("kavo");
    if (!reader.Open(path)) return 0;
    std::vector<std::string> names;
    for (const auto& entry : reader.Directory()) names.push_back(entry.first);
    // Read each entry twice: the second read of a packed entry comes from the cache.
    for (int pass = 0; pass < 2; ++pass) {
        for (const std::string& name : names) {
            uint32_t entrySize = 0;
            if (!reader.GetSize(name.c_str(), &entrySize)) continue;
            std::vector<uint8_t> buffer(entrySize);
            reader.Read(name.c_str(), buffer.data());
            reader.Exists(name.c_str());
        }
    }
    return 0;
}
