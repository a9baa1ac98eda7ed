// The menu's command line: the disc folder that its restart from TEMP hands over, then the
// options of an unattended run, and the exit codes such a run ends with.
// Portable: no Win32 header; tested natively.
#pragma once
#include <cstddef>

#include "data/catalogue.h"
#include "support/text_buffer.h"

// How a menu started with /silent ends (the README's table). The menu with its pages ends with
// kExitDone, or with kExitBadArguments when it was given options it cannot take.
enum ExitCode : int {
    kExitDone = 0,           // the install or uninstall did everything it was asked
    kExitBadArguments = 1,   // an option is wrong, or asks for nothing the run can do
    kExitMenuRunning = 2,    // another menu (or the program of the same maker) is running
    kExitDiscMissing = 3,    // an install disc, or a file of it, is on no drive: rolled back
    kExitNoSpace = 4,        // the destination's drive has less free space than the titles need
    kExitCopyFailed = 5,     // a file could not be copied: rolled back
    kExitNotInstalled = 6,   // an uninstall of a product or title that is not installed
    kExitFailed = 7,         // any other failure; the log says which
};

// What the word of the exit code means, for the log ("done", "bad arguments", ...).
const char* exitCodeMeaning(int code);

// The options as read. Switches are false and texts empty when not given.
struct CommandOptions {
    bool silent;                 // /silent: no pages, no message boxes
    bool uninstall;              // /uninstall
    bool titlesGiven;            // /titles=
    bool titlesAll;              // /titles=all
    bool titles[kTitleCount];    // the titles named: title number n is index n - 1
    bool dataGiven;              // /data=
    bool dataAll;                // /data=all, or all four kinds named (as the page checks 全データ削除 then)
    bool dataGame, dataSystem, dataRead, dataSave;
    bool noDesktop, noStartMenu, noDirectX, noReadme;
    Text dir;                    // /dir=: the destination root, as given
    Text log;                    // /log=: the log file, as given
};

// The options a run takes when none are given: a run of the pages, every title.
CommandOptions defaultOptions();

enum class OptionError {
    None,
    NotAnOption,          // a word that does not start with '/'
    Unknown,              // '/' and a name the menu does not know
    MissingValue,         // "/dir" without "=", or nothing after the "="
    UnexpectedValue,      // a value given to a switch ("/silent=1")
    Repeated,             // the same option twice
    UnclosedQuote,        // a double quote without its closing one
    PathTooLong,          // a /dir or /log path of 260 bytes or more
    PathNotAbsolute,      // a /dir that is not "X:\..." or "\\server\share..."
    PathInvalid,          // a character no path holds, or a two-byte character cut in half
    BadTitles,            // not "all" nor a list of title numbers 1 to 5, each once
    BadData,              // not "all" nor a list of game, system, read, save, each once
    NeedsSilent,          // an install or uninstall option without /silent
    NeedsUninstall,       // /data without /uninstall
    NotForUninstall,      // an install option together with /uninstall
    MissingForUninstall,  // /uninstall without /titles= or /data=
};

// The first fault of an options text and the word that has it, as given (a word too long for
// option is shortened with "..." at a character boundary: it only names the fault).
struct OptionCheck {
    OptionError error;
    char option[kTextSize];
};

// Splits the text after the program name into the disc folder and the options. The options
// start at the first word that begins with '/' or '"/' (at the start, or after a blank or tab):
// no folder name holds a '/', and none of '/', '"', a blank or a tab is ever the second byte of
// a two-byte character. folder (260 bytes) receives the text before them without the blanks in
// between and without a pair of double quotes around it; *options points at the rest (an empty
// text when there are no options). False, folder empty, when the folder text is longer than
// 259 characters: it is refused, never cut.
bool splitArgument(const char* argument, char* folder, const char** options);

// Reads an options text into *options (which starts from defaultOptions()). Words are parted by
// blanks and tabs outside double quotes; a double quote opens or closes a quoted part and is
// not part of the word, so "/dir=C:\My Games" and /dir="C:\My Games\" are the same option.
// Names take any letter case. Every word is read even after a fault, so that /silent and /log
// take effect to report it; the answer is the first fault (the words in order, then the rules
// of which options go together), or OptionError::None.
OptionCheck parseOptions(const char* text, CommandOptions* options);

// Writes the options as a text that parseOptions reads back to the same options, paths in
// double quotes; nothing for the options of a run of the pages. False, out empty, when it does
// not fit outSize bytes (kOptionsTextSize always suffices).
constexpr size_t kOptionsTextSize = 1200;
bool formatOptions(const CommandOptions& options, char* out, size_t outSize);

// The title numbers of a choice as text ("1,3"; "" for none), into out (at least 16 bytes).
void formatTitleNumbers(const bool titles[kTitleCount], char* out);
