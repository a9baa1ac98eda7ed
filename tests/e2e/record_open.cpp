// Stands in for the program that opens text files: writes the path it was given to a file, so a
// test can see which document the menu opened, and ends at once without a window.
//   vga_e2e_record OUTFILE DOCUMENT
#include <windows.h>

#include <cstdlib>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc != 3) return 2;
    HANDLE out = CreateFileA(__argv[1], FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(out, __argv[2], static_cast<DWORD>(std::strlen(__argv[2])), &written, nullptr);
    WriteFile(out, "\n", 1, &written, nullptr);
    CloseHandle(out);
    return 0;
}
