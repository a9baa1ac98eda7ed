// CEngineObject: the small base of the support library's engine objects - a name and a
// window-message hook. Portable: the hook takes the Win32 message arguments as plain integers.
#pragma once
#include <cstdint>

class CEngineObject {
public:
    CEngineObject() = default;
    virtual ~CEngineObject() = default;
    CEngineObject(const CEngineObject&) = delete;
    CEngineObject& operator=(const CEngineObject&) = delete;

    // window is an HWND, message a window message, wParam/lParam as the window procedure gets them.
    virtual int OnMessage(void* window, unsigned message, uintptr_t wParam, intptr_t lParam) = 0;

    const char* Name() const { return name_; }

protected:
    const char* name_ = "Default Name";   // each derived class puts its own class name here

    // Set at construction; nothing in the programs reads them.
    int32_t reserved0_ = 0;
    void* reserved1_ = nullptr;
    int32_t reserved2_ = 0;
    uint32_t reserved3_ = 0x80000000u;
};
