// Cuts a list line of the form name,value at its first comma, Shift-JIS aware.
#pragma once
#include <cstddef>

// Walks line (at most length bytes, up to its NUL) with the key as the current side: a Shift-JIS
// lead byte goes to the current side together with the byte after it, so a comma that is the
// trail byte of a two-byte character never cuts; the first single-byte comma switches to the
// value and is dropped, every later comma is dropped too; every other byte is appended.
// key and value are buffers of length bytes each; both are overwritten and always NUL-terminated
// (at most length - 1 bytes each; a two-byte character is never split at that limit).
// A line without a comma is all key. Always answers true.
bool splitAtComma(const char* line, size_t length, char* key, char* value);
