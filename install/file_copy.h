// Copying the installed files in 8192-byte chunks with progress, keeping the pages alive between chunks.
#pragma once
#include <windows.h>

class CopyProgress;

// Progress figures of the per-title installation. titleMbTotal and titleMbDone are set when the
// per-title installation starts (installSelectedTitles); titleMbDone grows by the whole MB
// (2^20 bytes, rounded down) of every title file copied.
extern unsigned int titleMbTotal;
extern unsigned int titleMbDone;
// The last percentage each routine showed; kept for the life of the program, so a copy that
// computes the percentage already shown does not touch the bar or the text again.
extern int lastTitlePercent;
extern int lastListPercent;

// Copies a file of the install list from source to destination ("rb" / "wb"), 8192 bytes at a
// time. After every chunk it updates bytesCopied, shows the list percentage (against
// listSizeMb) when it changed, repaints the picture at most once every 16 ms (progress may be
// null: nothing is shown then) and dispatches one waiting message of the thread.
// True only when every byte was read and written, the bytes copied are the source's size at
// open, and the destination was closed without error; the copy is then logged with its size.
// False when the source does not open, the destination cannot be created (a read-only file in
// the way counts as that), a read or write fails on the way (a full disk), the source ends
// before (or after) the size it had at open, the roll-back closed the files during a dispatched
// message (closeListCopyFiles), or WM_QUIT was met (it is posted again for the message loop). A
// destination left incomplete by a read or write error or a source of another size is deleted;
// one cut short by the roll-back or WM_QUIT is left for the roll-back to remove.
// cancelRequested is not looked at. Both files are closed whatever the answer.
bool copyListFile(CopyProgress* progress, const char* source, const char* destination, int listSizeMb);

// Closes the source and destination of the copyListFile in progress, if any. The copy notices
// after the chunk it is in and answers false. Called by the roll-back.
void closeListCopyFiles();

// Copies one file of a title from source to destination like copyListFile, but counts progress
// against titleMbTotal (the percentage may pass 100) and shows source and destination. True
// when the whole file was copied; its size in
// whole MB is then added to titleMbDone. False when a file does not open, a read or write fails
// or the source's size changes under the copy (the incomplete destination is deleted),
// cancelRequested is set after a chunk (the destination keeps what was written), or WM_QUIT was
// met (posted again).
bool copyTitleFile(CopyProgress& progress, const char* source, const char* destination);

// Tells the player that destination could not be copied ("<destination> のコピーに失敗しました。",
// caption "インストールエラー", Retry and Cancel, owned by owner). True for Retry; Cancel notes
// RunFailure::CopyFailed.
bool askRetryCopy(HWND owner, const char* destination);

// The list percentage for a total of copied bytes: decimal MB (bytes / 1,000,000) times 100
// over the list's size in the same units, capped at 100; 0 while less than 1 MB is copied or
// when the size is below 1.
int listPercent(unsigned int copiedBytes, int listSizeMb);

// The title percentage: (whole MB of the current file + titleMbDone) times 100 over
// titleMbTotal, without a cap; 0 when the total is 0.
int titlePercent(unsigned long long fileBytes, unsigned int mbDone, unsigned int mbTotal);

// Takes one waiting message of the thread, if any, translates and dispatches it. A WM_QUIT is
// not dispatched but posted again (PostQuitMessage with its exit code), so that the message
// loop ends the program: the answer is then false, otherwise true.
bool pumpOneMessage();

// True once pumpOneMessage met WM_QUIT: the program is ending, and the install run stops where
// it is instead of asking for discs or showing messages.
bool quitMessageSeen();

// Tells the player that a path built for copying does not fit in 259 characters, naming the
// part that was being added (owned by owner, caption "インストールエラー"), and notes
// RunFailure::PathTooLong. Nothing is cut short: the caller leaves that file or folder out.
void showPathTooLong(HWND owner, const char* name);
