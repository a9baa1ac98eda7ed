// COM for one operation: the thread's initialisation and interface pointers that release themselves.
#pragma once
#include <objbase.h>

// Initialises COM for the calling thread (apartment-threaded) and uninitialises it at the end of
// the scope, but only when the initialisation succeeded (S_FALSE, already initialised, also
// counts and is balanced). Never copied.
class ComScope {
public:
    ComScope() : result_(CoInitialize(nullptr)) {}
    ~ComScope()
    {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool ok() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};

// An interface pointer with one owner, released when the owner goes. Never copied.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    // For the out-parameter of CoCreateInstance and QueryInterface; releases what was held.
    void** out()
    {
        reset();
        return reinterpret_cast<void**>(&pointer_);
    }
    T* operator->() const { return pointer_; }
    T* get() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    void reset()
    {
        if (pointer_) pointer_->Release();
        pointer_ = nullptr;
    }

private:
    T* pointer_ = nullptr;
};
