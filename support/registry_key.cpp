// An open registry key that closes itself, with typed reads and writes of its values.
#include "support/registry_key.h"

#include <cstring>

#include "support/action_log.h"
#include "support/text_buffer.h"

namespace {

const char* rootName(HKEY root)
{
    if (root == HKEY_CURRENT_USER) return "HKCU";
    if (root == HKEY_LOCAL_MACHINE) return "HKLM";
    return "?";
}

}  // namespace

void RegistryKey::setName(const char* parentName, const char* path)
{
    if (!textJoin(name_, sizeof name_, parentName, "\\", path)) textCopy(name_, sizeof name_, path);
}

LONG RegistryKey::openNamed(HKEY parent, const char* parentName, const char* path, REGSAM access)
{
    close();
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(parent, path, 0, access, &key);
    if (result == ERROR_SUCCESS) key_ = key;
    setName(parentName, path);
    return result;
}

LONG RegistryKey::createNamed(HKEY parent, const char* parentName, const char* path, REGSAM access)
{
    close();
    HKEY key = nullptr;
    const LONG result =
        RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS) key_ = key;
    setName(parentName, path);
    return result;
}

LONG RegistryKey::open(HKEY parent, const char* path, REGSAM access)
{
    return openNamed(parent, rootName(parent), path, access);
}

LONG RegistryKey::open(const RegistryKey& parent, const char* path, REGSAM access)
{
    return openNamed(parent.get(), parent.name(), path, access);
}

LONG RegistryKey::create(HKEY parent, const char* path, REGSAM access)
{
    return createNamed(parent, rootName(parent), path, access);
}

LONG RegistryKey::create(const RegistryKey& parent, const char* path, REGSAM access)
{
    return createNamed(parent.get(), parent.name(), path, access);
}

LONG RegistryKey::close()
{
    if (!key_) return ERROR_SUCCESS;
    HKEY key = key_;
    key_ = nullptr;
    return RegCloseKey(key);
}

bool RegistryKey::readText(const char* name, char* text, size_t capacity) const
{
    if (capacity == 0) return false;
    std::memset(text, 0, capacity);
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(capacity);
    const bool read = key_ &&
                      RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) ==
                          ERROR_SUCCESS &&
                      type == REG_SZ && size <= capacity;
    // The buffer was cleared, so a shorter text is terminated already; capacity bytes without a
    // NUL among them are a text with no room for its end.
    if (read && (size < capacity || std::memchr(text, 0, size) != nullptr)) {
        text[capacity - 1] = '\0';
        return true;
    }
    std::memset(text, 0, capacity);
    return false;
}

bool RegistryKey::readNumber(const char* name, DWORD* number) const
{
    DWORD type = 0, value = 0, size = sizeof value;
    if (!key_ || RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return false;
    *number = value;
    return true;
}

LONG RegistryKey::readRaw(const char* name, DWORD* type, BYTE* data, DWORD* size) const
{
    if (!key_) return ERROR_INVALID_HANDLE;
    return RegQueryValueExA(key_, name, nullptr, type, data, size);
}

bool RegistryKey::writeText(const char* name, const char* text) const
{
    const DWORD size = static_cast<DWORD>(std::strlen(text) + 1);
    if (!key_ || RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size) != ERROR_SUCCESS)
        return false;
    logAction("registry value set: %s : %s = %s", name_, name, text);
    return true;
}

bool RegistryKey::writeTextBuffer(const char* name, const char* text) const
{
    // Copied into a cleared buffer first, so no stale bytes beyond the NUL reach the registry.
    Text data = {};
    if (!key_ || !textCopy(data, sizeof data, text) ||
        RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data) != ERROR_SUCCESS)
        return false;
    logAction("registry value set: %s : %s = %s", name_, name, data);
    return true;
}

bool RegistryKey::writeNumber(const char* name, DWORD number) const
{
    if (!key_ ||
        RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number) != ERROR_SUCCESS)
        return false;
    logAction("registry value set: %s : %s = %lu", name_, name, static_cast<unsigned long>(number));
    return true;
}

bool RegistryKey::deleteValue(const char* name) const
{
    if (!key_) return false;
    const LONG result = RegDeleteValueA(key_, name);
    if (result == ERROR_SUCCESS) logAction("registry value deleted: %s : %s", name_, name);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool deleteRegistryKey(HKEY root, const char* path)
{
    const LONG result = RegDeleteKeyA(root, path);
    if (result == ERROR_SUCCESS) logAction("registry key deleted: %s\\%s", rootName(root), path);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool deleteRegistryTree(HKEY root, const char* path)
{
    const LONG result = RegDeleteTreeA(root, path);
    if (result == ERROR_SUCCESS) logAction("registry key deleted: %s\\%s", rootName(root), path);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
