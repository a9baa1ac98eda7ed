// The install discs as folders on the host: finds the files that the lists name, the way Windows
// would on the real discs (backslash paths, letter case ignored).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vgadisc {

class DiscSet {
public:
    explicit DiscSet(std::vector<std::string> roots) : roots_(std::move(roots)) {}

    int count() const { return static_cast<int>(roots_.size()); }
    bool has(int disc) const { return disc >= 1 && disc <= count(); }
    const std::string& root(int disc) const { return roots_[disc - 1]; }

    // Finds the file at the code page 932 list path on disc (1-based). On success *size is its
    // size and *hostPath (when given) its path on the host.
    bool find(int disc, const std::string& listPath, uint64_t* size, std::string* hostPath = nullptr) const;
    // The first disc that holds the file, or 0.
    int locate(const std::string& listPath) const;

private:
    std::vector<std::string> roots_;
};

}  // namespace vgadisc
