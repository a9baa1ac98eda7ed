// Stand-in for a title program (or the DirectX setup) on the sample discs: a window that says
// which program it stands for and closes like any other. Built once per program with TITLE_ID
// (file-name word, e.g. "lantern") and TITLE_NAME (window text) defined.
// On start it writes %TEMP%\started_<TITLE_ID>.txt with its command line and working folder, so a
// test can tell that it was started and how.
#include <windows.h>

#ifndef TITLE_ID
#error "TITLE_ID must be defined, e.g. -DTITLE_ID=\"lantern\""
#endif
#ifndef TITLE_NAME
#error "TITLE_NAME must be defined, e.g. -DTITLE_NAME=\"Lantern\""
#endif

namespace {

const char kWindowClass[] = "VarnisSampleTitle";
const char kCaption[] = TITLE_NAME;
const char kBody[] = TITLE_NAME " - sample program of the Varnis Grand Anthology discs";

// Appends src to dst (capacity bytes); false, dst unchanged, when it does not fit.
bool append(char* dst, size_t capacity, const char* src)
{
    size_t have = lstrlenA(dst), add = lstrlenA(src);
    if (have + add >= capacity) return false;
    lstrcpyA(dst + have, src);
    return true;
}

void writeStartMarker()
{
    char path[MAX_PATH] = "";
    DWORD n = GetTempPathA(sizeof path, path);
    if (n == 0 || n >= sizeof path) return;
    if (!append(path, sizeof path, "started_" TITLE_ID ".txt")) return;

    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    const char* commandLine = GetCommandLineA();

    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    const char* parts[] = {"command line: ", commandLine, "\r\nworking folder: ", folder, "\r\n"};
    for (const char* part : parts) {
        DWORD written = 0;
        WriteFile(file, part, lstrlenA(part), &written, NULL);
    }
    CloseHandle(file);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        DrawTextA(dc, kBody, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    writeStartMarker();

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass)) return 1;

    HWND window = CreateWindowA(kWindowClass, kCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 600, 160,
                                NULL, NULL, instance, NULL);
    if (!window) return 1;
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
