// Copying the installed files in 8192-byte chunks with progress, keeping the pages alive between chunks.
#include "install/file_copy.h"

#include <io.h>

#include <climits>
#include <cstdio>

#include "install/copy_progress.h"
#include "install/run_state.h"
#include "support/stdio_file.h"
#include "support/action_log.h"
#include "support/message_box.h"

unsigned int titleMbTotal = 0;
unsigned int titleMbDone = 0;
int lastTitlePercent = 0;
int lastListPercent = 0;

namespace {

constexpr size_t kChunkSize = 8192;

// Source and destination of the copyListFile in progress. Program-wide so that the roll-back
// can close them while a copy waits in its message dispatch.
StdioFile g_listSource;
StdioFile g_listDestination;

bool g_quitSeen = false;

// Reads one chunk and writes what came. False on a read error or a short write; got is the
// number of bytes read.
bool copyChunk(FILE* in, FILE* out, char* chunk, size_t* got)
{
    *got = std::fread(chunk, 1, kChunkSize, in);
    if (std::ferror(in)) return false;
    if (*got > 0 && std::fwrite(chunk, 1, *got, out) != *got) return false;
    // Fewer bytes than asked without an error is the end of the file, and nothing else:
    // a stream that claimed neither would otherwise keep the loop going for ever.
    return *got == kChunkSize || std::feof(in);
}

// The size of an open file, or -1 when it cannot be asked.
long long openFileSize(FILE* file)
{
    return _filelengthi64(_fileno(file));
}

// Reading until the end of the file stops early, without an error, when the file was cut short
// after it was opened (a disc file replaced, a network copy truncated): the copy would then be
// short and still pass for the whole file. The bytes copied must be the size taken at open.
bool wholeFileCopied(long long sizeAtOpen, unsigned long long copied)
{
    return sizeAtOpen < 0 || static_cast<unsigned long long>(sizeAtOpen) == copied;
}

// Opens destination for writing ("wb": created, or emptied when it exists). A read-only file in
// the way is not one this program made and is not replaced. Windows refuses to open it anyway;
// the test here keeps that so where the attribute is not enforced (Wine run by root).
FILE* openDestination(const char* destination)
{
    const DWORD attributes = GetFileAttributesA(destination);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return nullptr;
    return std::fopen(destination, "wb");
}

// The picture is repainted at once whenever it needs it, but at most once a frame: under Wine
// every UpdateWindow is a round trip to the server (about 50 us), which after every 8192-byte
// chunk halved the copy rate for a picture that looks the same at 60 repaints a second.
bool repaintDue()
{
    static DWORD last = 0;
    const DWORD now = GetTickCount();
    if (now - last < 16) return false;
    last = now;
    return true;
}

void logCopied(const char* source, const char* destination, unsigned long long bytes)
{
    logAction("copied: %s -> %s (%llu bytes)", source, destination, bytes);
}

// A destination that must not pass for the real file goes again.
void deleteIncomplete(const char* destination)
{
    if (DeleteFileA(destination)) logAction("incomplete copy deleted: %s", destination);
}

}  // namespace

int listPercent(unsigned int copiedBytes, int listSizeMb)
{
    const unsigned long long mb = copiedBytes / 1000000u;
    if (mb < 1 || listSizeMb < 1) return 0;
    const unsigned long long percent = mb * 100u / static_cast<unsigned long long>(listSizeMb);
    return percent > 100 ? 100 : static_cast<int>(percent);
}

int titlePercent(unsigned long long fileBytes, unsigned int mbDone, unsigned int mbTotal)
{
    if (mbTotal == 0) return 0;
    const unsigned long long percent = ((fileBytes >> 20) + mbDone) * 100u / mbTotal;
    return percent > INT_MAX ? INT_MAX : static_cast<int>(percent);
}

bool pumpOneMessage()
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return true;
    if (message.message == WM_QUIT) {
        // The message loop must still see it, or the program would not end.
        PostQuitMessage(static_cast<int>(message.wParam));
        g_quitSeen = true;
        return false;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

bool quitMessageSeen() { return g_quitSeen; }

void closeListCopyFiles()
{
    g_listDestination.close();
    g_listSource.close();
}

bool copyListFile(CopyProgress* progress, const char* source, const char* destination, int listSizeMb)
{
    g_listSource.reset(std::fopen(source, "rb"));
    if (!g_listSource) return false;
    const long long sizeAtOpen = openFileSize(g_listSource.get());
    g_listDestination.reset(openDestination(destination));
    if (!g_listDestination) {
        closeListCopyFiles();
        return false;
    }

    char chunk[kChunkSize];
    unsigned long long fileBytes = 0;
    do {
        size_t got = 0;
        if (!copyChunk(g_listSource.get(), g_listDestination.get(), chunk, &got)) {
            closeListCopyFiles();
            deleteIncomplete(destination);
            return false;
        }
        fileBytes += got;
        bytesCopied += static_cast<unsigned int>(got);

        if (progress && fileBytes > 0) {
            const int percent = listPercent(bytesCopied, listSizeMb);
            if (percent != lastListPercent) {
                lastListPercent = percent;
                progress->showPercent(percent);
            }
        }
        if (progress && repaintDue()) progress->repaintPicture();

        const bool goOn = pumpOneMessage();
        if (!g_listSource) return false;   // the roll-back closed the files meanwhile
        if (!goOn) {
            closeListCopyFiles();
            return false;
        }
    } while (!std::feof(g_listSource.get()));

    const bool written = g_listDestination.close();   // the last buffered bytes go out only here
    g_listSource.close();
    if (!written || !wholeFileCopied(sizeAtOpen, fileBytes)) {
        deleteIncomplete(destination);
        return false;
    }
    logCopied(source, destination, fileBytes);
    return true;
}

bool copyTitleFile(CopyProgress& progress, const char* source, const char* destination)
{
    StdioFile in(std::fopen(source, "rb"));
    if (!in) return false;
    const long long sizeAtOpen = openFileSize(in.get());
    StdioFile out(openDestination(destination));
    if (!out) return false;

    progress.showFiles(source, destination);

    char chunk[kChunkSize];
    unsigned long long fileBytes = 0;
    for (;;) {
        size_t got = 0;
        if (!copyChunk(in.get(), out.get(), chunk, &got)) {
            out.close();
            deleteIncomplete(destination);
            return false;
        }
        bytesCopied += static_cast<unsigned int>(got);
        fileBytes += got;

        if (!pumpOneMessage()) return false;
        if (cancelRequested) return false;   // what was written stays; the roll-back removes it

        if (std::feof(in.get())) {
            in.close();
            if (!out.close() || !wholeFileCopied(sizeAtOpen, fileBytes)) {
                deleteIncomplete(destination);
                return false;
            }
            // The bytes read are the file's size: the whole file went through this loop.
            titleMbDone += static_cast<unsigned int>(fileBytes >> 20);
            logCopied(source, destination, fileBytes);
            return true;
        }

        const int percent = titlePercent(fileBytes, titleMbDone, titleMbTotal);
        if (percent != lastTitlePercent) {
            progress.showPercent(percent);
            lastTitlePercent = percent;
        }
    }
}

bool askRetryCopy(HWND owner, const char* destination)
{
    char text[kTextSize + 64] = {};
    wsprintfA(text, "%s のコピーに失敗しました。", destination);
    if (showMessage(owner, text, "インストールエラー", MB_RETRYCANCEL) == IDRETRY) return true;
    noteRunFailure(RunFailure::CopyFailed);
    return false;
}

void showPathTooLong(HWND owner, const char* name)
{
    static const char kPrefix[] = "パスが長すぎるため、インストールできません：\n";
    char text[sizeof kPrefix + kTextSize] = {};
    textJoin(text, sizeof text, kPrefix, name);
    showMessage(owner, text, "インストールエラー", MB_OK);
    noteRunFailure(RunFailure::PathTooLong);
}
