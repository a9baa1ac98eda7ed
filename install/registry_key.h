// An open registry key that closes itself: one owner, never copied, so it is closed exactly once.
#pragma once
#include <windows.h>

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens parent\path with the given access. Any key held before is closed first.
    // Answers the registry's result; on failure the object holds no key.
    LONG open(HKEY parent, const char* path, REGSAM access)
    {
        close();
        HKEY key = nullptr;
        LONG result = RegOpenKeyExA(parent, path, 0, access, &key);
        if (result == ERROR_SUCCESS) key_ = key;
        return result;
    }

    // Creates parent\path, or opens it when it exists: no class, an ordinary non-volatile key,
    // default security. Any key held before is closed first. On failure the object holds no key.
    LONG create(HKEY parent, const char* path, REGSAM access)
    {
        close();
        HKEY key = nullptr;
        LONG result = RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                      nullptr, &key, nullptr);
        if (result == ERROR_SUCCESS) key_ = key;
        return result;
    }

    // Closes the key now and answers RegCloseKey's result (ERROR_SUCCESS when nothing was held).
    // The object holds no key afterwards, whatever the result.
    LONG close()
    {
        if (!key_) return ERROR_SUCCESS;
        HKEY key = key_;
        key_ = nullptr;
        return RegCloseKey(key);
    }

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

private:
    HKEY key_ = nullptr;
};
