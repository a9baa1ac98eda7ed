// Whole files for the native tests.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace test_support {

// Creates or replaces the file with exactly these bytes.
template <typename Container>
bool writeBytes(const std::string& path, const Container& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// The whole file; empty when it cannot be opened.
inline std::string readText(const std::string& path)
{
    std::string text;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return text;
    char chunk[4096];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, f)) > 0;) text.append(chunk, got);
    std::fclose(f);
    return text;
}

inline bool fileExists(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

}  // namespace test_support
