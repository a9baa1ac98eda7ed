// Registry for the Windows test programs: keys and values as the tests set them up and read them
// back, and a private root that stands in for a predefined key.
#pragma once
#include <windows.h>

#include <string>

namespace test_support {

bool keyExists(HKEY root, const std::string& path);

// Creates the key (and the keys above it) when it is not there.
bool createKey(HKEY root, const std::string& path);

// The raw bytes of a value (the key's default value when name is null); false when it is not there.
bool readValue(HKEY root, const std::string& path, const char* name, DWORD* type, std::string* data);

// The value as text, up to its first NUL.
bool readText(HKEY root, const std::string& path, const char* name, DWORD* type, std::string* text);

// Writes text with its NUL as a value of the given type (REG_SZ, REG_EXPAND_SZ), making the key.
bool writeText(HKEY root, const std::string& path, const char* name, DWORD type, const std::string& text);

// Points a predefined key (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE) at a private key of its own
// for the life of the object, so a test never touches the prefix's real keys.
class PrivateRegistryRoot {
public:
    PrivateRegistryRoot(HKEY predefined, const char* name);
    ~PrivateRegistryRoot();
    PrivateRegistryRoot(const PrivateRegistryRoot&) = delete;
    PrivateRegistryRoot& operator=(const PrivateRegistryRoot&) = delete;
    bool ok() const { return ok_; }

private:
    HKEY predefined_;
    std::string path_;
    HKEY root_ = nullptr;
    bool ok_ = false;
};

}  // namespace test_support
