// A C stream with one owner, closed when the owner goes; never copied. Portable: no Win32 header.
#pragma once
#include <cstdio>

class StdioFile {
public:
    StdioFile() = default;
    explicit StdioFile(FILE* file) : file_(file) {}
    // Opens path with the given fopen mode ("rb", "wb", ...); check with operator bool.
    StdioFile(const char* path, const char* mode) : file_(std::fopen(path, mode)) {}
    ~StdioFile() { close(); }
    StdioFile(const StdioFile&) = delete;
    StdioFile& operator=(const StdioFile&) = delete;

    FILE* get() const { return file_; }
    explicit operator bool() const { return file_ != nullptr; }

    // Closes what is held, then holds file.
    void reset(FILE* file = nullptr)
    {
        close();
        file_ = file;
    }
    // Closes now. False when the close failed (buffered data not written); true when nothing
    // was held.
    bool close()
    {
        if (!file_) return true;
        FILE* file = file_;
        file_ = nullptr;
        return std::fclose(file) == 0;
    }

private:
    FILE* file_ = nullptr;
};
