// Registry for the Windows test programs (see registry.h).
#include "tests/support/registry.h"

namespace test_support {

bool keyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool createKey(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool readValue(HKEY root, const std::string& path, const char* name, DWORD* type, std::string* data)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    BYTE buffer[2048] = {};
    DWORD size = sizeof buffer;
    const LONG result = RegQueryValueExA(key, name, nullptr, type, buffer, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return false;
    data->assign(reinterpret_cast<const char*>(buffer), size);
    return true;
}

bool readText(HKEY root, const std::string& path, const char* name, DWORD* type, std::string* text)
{
    std::string data;
    if (!readValue(root, path, name, type, &data)) return false;
    *text = data.c_str();
    return true;
}

bool writeText(HKEY root, const std::string& path, const char* name, DWORD type, const std::string& text)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                       static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

PrivateRegistryRoot::PrivateRegistryRoot(HKEY predefined, const char* name)
    : predefined_(predefined), path_(std::string("Software\\VarnisTests\\") + name)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_, nullptr) ==
        ERROR_SUCCESS)
        ok_ = RegOverridePredefKey(predefined_, root_) == ERROR_SUCCESS;
}

PrivateRegistryRoot::~PrivateRegistryRoot()
{
    RegOverridePredefKey(predefined_, nullptr);
    if (root_) RegCloseKey(root_);
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
}

}  // namespace test_support
