// Host file access and code page 932 conversion for the disc tool.
#include "tools/vgadisc/host_files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <direct.h>
#else
#include <iconv.h>
#include <unistd.h>
#endif

#include "support/stdio_file.h"
#include "support/text_buffer.h"

namespace host {

namespace {

#ifndef _WIN32
// One conversion through iconv; false on any invalid or unconvertible input.
bool convert(const char* to, const char* from, const std::string& in, std::string* out)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string result(in.size() * 3 + 8, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = &result[0];
    size_t dstLeft = result.size();
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    bool ok = rc != static_cast<size_t>(-1) && srcLeft == 0;
    if (ok) ok = iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (!ok) return false;
    result.resize(result.size() - dstLeft);
    *out = result;
    return true;
}
#endif

// Every byte outside printable ASCII written as \xNN.
std::string escaped(const std::string& bytes)
{
    std::string escaped;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            escaped += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            escaped += hex;
        }
    }
    return escaped;
}

#ifdef _WIN32
typedef struct _stat64 StatBuf;
int statPath(const std::string& path, StatBuf* st) { return _stat64(path.c_str(), st); }
#else
typedef struct stat StatBuf;
int statPath(const std::string& path, StatBuf* st) { return stat(path.c_str(), st); }
#endif

bool isSeparator(char c)
{
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

// Position just after the last separator of a host path (0 when there is none). On Windows the
// path is code page 932, so trail bytes are stepped over.
size_t afterLastSeparator(const std::string& path)
{
    size_t after = 0;
    for (size_t i = 0; i < path.size(); ++i) {
#ifdef _WIN32
        if (isSjisLeadByte(static_cast<unsigned char>(path[i]))) {
            ++i;
            continue;
        }
#endif
        if (isSeparator(path[i])) after = i + 1;
    }
    return after;
}

}  // namespace

bool fromCp932(const std::string& cp932, std::string* out)
{
#ifdef _WIN32
    *out = cp932;
    return true;
#else
    return convert("UTF-8", "CP932", cp932, out);
#endif
}

bool toCp932(const std::string& hostText, std::string* out)
{
#ifdef _WIN32
    *out = hostText;
    return true;
#else
    return convert("CP932", "UTF-8", hostText, out);
#endif
}

std::string display(const std::string& cp932)
{
    std::string converted;
    return fromCp932(cp932, &converted) ? converted : escaped(cp932);
}

std::string displayHostName(const std::string& name)
{
#ifdef _WIN32
    return display(name);
#else
    std::string same;
    return convert("UTF-8", "UTF-8", name, &same) ? name : escaped(name);
#endif
}

bool readFile(const std::string& path, Bytes* data, std::string* error)
{
    StdioFile f(path.c_str(), "rb");
    if (!f) {
        *error = std::strerror(errno);
        return false;
    }
    Bytes result;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0) result.insert(result.end(), chunk, chunk + n);
    const bool failed = std::ferror(f.get()) != 0;
    f.close();
    if (failed) {
        *error = "read error";
        return false;
    }
    data->swap(result);
    return true;
}

bool writeFileReplacing(const std::string& path, const Bytes& data, std::string* error)
{
    std::string temp = path + ".tmp";
    StdioFile f(temp.c_str(), "wb");
    if (!f) {
        *error = std::strerror(errno);
        return false;
    }
    bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f.get()) == data.size();
    if (!f.close()) ok = false;
    if (!ok) {
        *error = "write error";
        std::remove(temp.c_str());
        return false;
    }
#ifdef _WIN32
    std::remove(path.c_str());   // rename does not replace an existing file here
#endif
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        *error = std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

bool isRegularFile(const std::string& path)
{
    StatBuf st;
    return statPath(path, &st) == 0 && (st.st_mode & S_IFMT) == S_IFREG;
}

bool isDirectory(const std::string& path)
{
    StatBuf st;
    return statPath(path, &st) == 0 && (st.st_mode & S_IFMT) == S_IFDIR;
}

bool fileSize(const std::string& path, uint64_t* size)
{
    StatBuf st;
    if (statPath(path, &st) != 0 || (st.st_mode & S_IFMT) != S_IFREG) return false;
    *size = static_cast<uint64_t>(st.st_size);
    return true;
}

bool makeDirectories(const std::string& path)
{
    if (path.empty() || isDirectory(path)) return !path.empty();
    size_t cut = afterLastSeparator(path);
    if (cut > 1) {
        std::string parent = path.substr(0, cut - 1);
        if (!parent.empty() && !isDirectory(parent) && !makeDirectories(parent)) return false;
    }
#ifdef _WIN32
    int rc = _mkdir(path.c_str());
#else
    int rc = mkdir(path.c_str(), 0777);
#endif
    return rc == 0 || isDirectory(path);
}

bool listDirectory(const std::string& path, std::vector<std::string>* names)
{
    DIR* dir = opendir(path.c_str());
    if (!dir) return false;
    names->clear();
    while (struct dirent* e = readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names->push_back(e->d_name);
    }
    closedir(dir);
    return true;
}

std::string baseName(const std::string& path) { return path.substr(afterLastSeparator(path)); }

std::string joinPath(const std::string& a, const std::string& b)
{
    if (a.empty()) return b;
    if (afterLastSeparator(a) == a.size()) return a + b;
    return a + "/" + b;
}

}  // namespace host
