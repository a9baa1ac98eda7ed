// Helpers of the install Win32 tests: text buffers and run choices as the menu fills them, a
// progress display that shows nothing, and files put on the simulated discs. The general ones
// (files, registry, dialogs, shell) are in tests/support.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "install/copy_progress.h"
#include "install/install_choices.h"
#include "install/run_state.h"
#include "support/text_buffer.h"
#include "tests/support/files.h"

namespace install_test {

// The text into a program-wide buffer of kTextSize bytes, zeros after it.
inline void setText(char* buffer, const std::string& text)
{
    ASSERT_LT(text.size(), kTextSize);
    std::memset(buffer, 0, kTextSize);
    std::memcpy(buffer, text.data(), text.size());
}

// The choices of a run into root (trailing backslash): the product in root + "Varnis\\Hub\\",
// the given titles, both shortcut options.
inline InstallChoices runInto(const std::string& root, std::initializer_list<int> titles = {})
{
    InstallChoices run = {};
    for (int title : titles) run.titles[title] = true;
    run.desktopShortcuts = run.startMenuShortcuts = true;
    std::memcpy(run.installRoot, root.c_str(), root.size() + 1);
    const std::string dir = root + "Varnis\\Hub\\";
    std::memcpy(run.installDir, dir.c_str(), dir.size() + 1);
    return run;
}

// A progress display that shows nothing and owns the run's boxes with owner.
class QuietProgress : public CopyProgress {
public:
    explicit QuietProgress(HWND owner = nullptr) : owner_(owner) {}
    HWND owner() const override { return owner_; }
    void showFiles(const char* source, const char* destination) override
    {
        lastSource = source;
        lastDestination = destination;
    }
    void showPercent(int percent) override { percents.push_back(percent); }
    void repaintPicture() override { ++repaints; }

    std::string lastSource, lastDestination;
    std::vector<int> percents;
    int repaints = 0;

private:
    HWND owner_;
};

// size bytes of a pattern that does not repeat at the chunk size.
inline std::string patternBytes(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + i / 8191) & 0xFF);
    return bytes;
}

// Files put on the simulated optical drives Q: and R: for one test and taken off again at its
// end (the drives' folders are shared by every test of the prefix).
class DiscFiles {
public:
    DiscFiles() = default;
    ~DiscFiles()
    {
        for (auto it = files_.rbegin(); it != files_.rend(); ++it) {
            SetFileAttributesA(it->c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(it->c_str());
        }
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) RemoveDirectoryA(it->c_str());
    }
    DiscFiles(const DiscFiles&) = delete;
    DiscFiles& operator=(const DiscFiles&) = delete;

    // Puts bytes at drive + relative ("Q:\\" + "lantern\\a.txt"), making folders on the way.
    // Shift-JIS names are walked whole: a trail byte 0x5C is not a folder separator.
    bool put(const std::string& drive, const std::string& relative, const std::string& bytes = "x")
    {
        for (size_t i = 0; i < relative.size(); ++i) {
            if (isSjisLeadByte(static_cast<unsigned char>(relative[i]))) {
                ++i;
            } else if (relative[i] == '\\') {
                const std::string folder = drive + relative.substr(0, i);
                if (CreateDirectoryA(folder.c_str(), nullptr)) folders_.push_back(folder);
            }
        }
        const std::string file = drive + relative;
        files_.push_back(file);
        return test_support::writeFile(file, bytes);
    }

private:
    std::vector<std::string> files_, folders_;
};

}  // namespace install_test
