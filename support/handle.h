// Owners of the kernel objects the programs hold: one owner each, never copied, closed exactly once.
#pragma once
#include <windows.h>

// How the kinds of handle differ: the value that means "nothing held", and how one is closed.
inline HANDLE nullHandle() { return nullptr; }
inline HANDLE invalidHandle() { return INVALID_HANDLE_VALUE; }
inline void closeKernelHandle(HANDLE handle) { CloseHandle(handle); }
inline void closeFindHandle(HANDLE handle) { FindClose(handle); }
// The programs create their mutexes without owning them, so the release fails harmlessly; the
// close is what ends a held mutex.
inline void releaseAndCloseMutex(HANDLE handle)
{
    ReleaseMutex(handle);
    CloseHandle(handle);
}

// A handle with one owner, closed when the owner goes or is reset.
template <HANDLE (*None)(), void (*Close)(HANDLE)>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE value) : value_(value) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }

    HANDLE get() const { return value_; }
    explicit operator bool() const { return value_ != None(); }
    // Closes what is held, then holds value (nothing when left out).
    void reset(HANDLE value = None())
    {
        if (value_ != None()) Close(value_);
        value_ = value;
    }
    // Gives the handle up without closing it; the caller owns it then.
    HANDLE release()
    {
        const HANDLE value = value_;
        value_ = None();
        return value;
    }

private:
    HANDLE value_ = None();
};

using KernelHandle = UniqueHandle<nullHandle, closeKernelHandle>;      // processes, threads, named objects
using FileHandle = UniqueHandle<invalidHandle, closeKernelHandle>;     // files from CreateFileA
using FindHandle = UniqueHandle<invalidHandle, closeFindHandle>;       // searches from FindFirstFileA
using HeldMutex = UniqueHandle<nullHandle, releaseAndCloseMutex>;      // a mutex held for the whole run

// True when a mutex of that name exists (it opens); the handle is closed again at once.
inline bool mutexExists(const char* name)
{
    return static_cast<bool>(KernelHandle(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name)));
}
