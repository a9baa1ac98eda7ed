// Looking up list paths on the host's disc folders.
#include "tools/vgadisc/disc_set.h"

#include "tools/vgadisc/host_files.h"
#include "tools/vgadisc/list_paths.h"

namespace vgadisc {

namespace {

// The entry of folder whose name equals name ignoring ASCII case; the exact name wins.
bool resolveComponent(const std::string& folder, const std::string& name, std::string* path)
{
    std::string exact = host::joinPath(folder, name);
    if (host::isRegularFile(exact) || host::isDirectory(exact)) {
        *path = exact;
        return true;
    }
    std::vector<std::string> names;
    if (!host::listDirectory(folder, &names)) return false;
    const std::string wanted = lowered(name);
    for (const std::string& candidate : names) {
        if (lowered(candidate) == wanted) {
            *path = host::joinPath(folder, candidate);
            return true;
        }
    }
    return false;
}

}  // namespace

bool DiscSet::find(int disc, const std::string& listPath, uint64_t* size, std::string* hostPath) const
{
    if (!has(disc)) return false;
    std::vector<std::string> parts = splitListPath(listPath);
    if (parts.empty()) return false;
    std::string path = root(disc);
    for (const std::string& part : parts) {
        std::string hostName;
        if (part == "." || part == ".." || !host::fromCp932(part, &hostName)) return false;
        if (!resolveComponent(path, hostName, &path)) return false;
    }
    if (!host::fileSize(path, size)) return false;
    if (hostPath) *hostPath = path;
    return true;
}

int DiscSet::locate(const std::string& listPath) const
{
    uint64_t size = 0;
    for (int disc = 1; disc <= count(); ++disc)
        if (find(disc, listPath, &size)) return disc;
    return 0;
}

}  // namespace vgadisc
