// Starting another program with its path quoted on its command line.
#include "support/process.h"

#include <cstring>

#include "support/text_buffer.h"

bool buildCommandLine(const char* program, const char* arguments, char* out, size_t outSize)
{
    const bool more = arguments && arguments[0] != '\0';
    // A program path with a double quote cannot be quoted; no Windows path has one.
    if (!std::strchr(program, '"') && textJoin(out, outSize, "\"", program, more ? "\" " : "\"") &&
        (!more || textAppend(out, outSize, arguments)))
        return true;
    if (outSize > 0) out[0] = '\0';
    return false;
}

bool startProcess(const char* program, const char* arguments, const char* folder, unsigned flags, KernelHandle* process)
{
    // CreateProcessA may write to the command line, so it lives in a buffer of its own.
    char command[2 * kTextSize + 8];
    if (!buildCommandLine(program, arguments, command, sizeof command)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (flags & kStartShowNormal) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
    }
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(program, command, nullptr, nullptr, (flags & kStartInheritHandles) ? TRUE : FALSE, 0, nullptr,
                        folder, &startup, &started))
        return false;
    KernelHandle thread(started.hThread);
    KernelHandle owned(started.hProcess);
    if (process) process->reset(owned.release());
    return true;
}
