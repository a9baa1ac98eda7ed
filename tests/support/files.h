// Files and folders for the Windows test programs: TEMP, the program's own folder, host paths
// through drive Z:, reading and writing whole files, scratch folders and whole trees.
#pragma once
#include <string>

namespace test_support {

// The TEMP folder of this process, trailing backslash included; empty when it cannot be read.
std::string tempFolder();

// The folder of the running program, trailing backslash included.
std::string ownFolder();

// A host path ("/work/...") as the prefix sees it through Z:; a Windows path stays as it is.
std::string windowsPath(const std::string& path);

// The name after the last separator (two-byte characters are walked whole, so the 0x5C trail
// byte of "ソ" is no separator), and the folder before it, trailing backslash included.
std::string baseName(const std::string& path);
std::string folderOf(const std::string& path);

// The folder with a backslash at its end (unless it ends in a separator already).
std::string withBackslash(std::string folder);

bool pathExists(const std::string& path);   // a file or a folder
bool fileExists(const std::string& path);   // a file, not a folder
bool folderExists(const std::string& path);

// The whole file, read while others may hold it open; empty when it cannot be opened.
std::string readFile(const std::string& path);

// Creates or replaces the file with exactly these bytes.
bool writeFile(const std::string& path, const std::string& bytes);

// Makes every folder of the path that does not exist yet.
bool makeFolders(const std::string& folder);

// Copies a file, replacing a read-only earlier copy.
bool copyReplacing(const std::string& from, const std::string& to);

// Copies a folder with everything in it into to (made as needed), replacing what is there, as a
// player copies a disc onto the hard disk. False when anything could not be copied.
bool copyTree(const std::string& from, const std::string& to);

// Deletes a folder with everything below it, read-only files too. A missing folder is no error.
bool deleteTree(const std::string& folder);

// A scratch folder of its own under TEMP (TEMP\vga_<name>\), empty at the start and removed at
// the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }   // trailing backslash included
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

}  // namespace test_support
