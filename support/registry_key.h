// An open registry key that closes itself, with typed reads and writes of its values. Every write
// and delete goes into the action log with the key's name ("HKCU\Software\...").
#pragma once
#include <windows.h>

#include <cstddef>

// One owner, never copied, so the key is closed exactly once.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens parent\path with the given access; parent is a root (HKEY_CURRENT_USER,
    // HKEY_LOCAL_MACHINE) or a key this program holds. Any key held before is closed first.
    // Answers the registry's result; on failure the object holds no key.
    LONG open(HKEY parent, const char* path, REGSAM access);
    LONG open(const RegistryKey& parent, const char* path, REGSAM access);

    // Creates parent\path, or opens it when it exists: no class, an ordinary non-volatile key,
    // default security. Any key held before is closed first. On failure the object holds no key.
    LONG create(HKEY parent, const char* path, REGSAM access);
    LONG create(const RegistryKey& parent, const char* path, REGSAM access);

    // Closes the key now and answers RegCloseKey's result (ERROR_SUCCESS when nothing was held).
    // The object holds no key afterwards, whatever the result.
    LONG close();

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

    // A REG_SZ value into text (capacity bytes, cleared first), always NUL-terminated: the stored
    // bytes need not end in a NUL, but they must leave room for one. False, text empty, when the
    // value is missing, has another type or does not fit.
    bool readText(const char* name, char* text, size_t capacity) const;
    // A REG_DWORD value. False, number unchanged, when it is missing or has another type or size.
    bool readNumber(const char* name, DWORD* number) const;
    // The raw value: its type and up to *size bytes into data; *size becomes the stored size.
    // Answers the registry's result.
    LONG readRaw(const char* name, DWORD* type, BYTE* data, DWORD* size) const;

    // REG_SZ with a data length of the text and its NUL.
    bool writeText(const char* name, const char* text) const;
    // REG_SZ with a data length of a whole 260-byte buffer: the text, its NUL and zero bytes up
    // to 260 (how the product's and the titles' paths are stored). False for a longer text.
    bool writeTextBuffer(const char* name, const char* text) const;
    bool writeNumber(const char* name, DWORD number) const;
    // Deletes the value; true when it is gone (or was not there).
    bool deleteValue(const char* name) const;

    // The key's name for the log: its root ("HKCU", "HKLM") and path.
    const char* name() const { return name_; }

private:
    void setName(const char* parentName, const char* path);
    // open and create with the name the log gives parent.
    LONG openNamed(HKEY parent, const char* parentName, const char* path, REGSAM access);
    LONG createNamed(HKEY parent, const char* parentName, const char* path, REGSAM access);

    HKEY key_ = nullptr;
    char name_[2 * 260] = {};
};

// Deletes the key root\path (only when it has no subkeys) or the key with everything below it;
// logged when a key went. True when it is gone (or was not there).
bool deleteRegistryKey(HKEY root, const char* path);
bool deleteRegistryTree(HKEY root, const char* path);
