// Host side of the disc tool: whole-file reads and writes, folders, and the conversion between
// code page 932 (archive names, list texts) and the host's own file names and console text.
//
// On POSIX hosts file names and the console are UTF-8; on Windows they are already code page 932,
// so the conversions there hand the text back unchanged.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace host {

using Bytes = std::vector<uint8_t>;

// Code page 932 text to host text. False (out unchanged) when the bytes are not valid CP932.
bool fromCp932(const std::string& cp932, std::string* out);
// Host text to code page 932. False (out unchanged) when it has no CP932 form.
bool toCp932(const std::string& hostText, std::string* out);
// For messages: the host form of cp932 when it converts, else the text with every byte outside
// printable ASCII written as \xNN.
std::string display(const std::string& cp932);
// For messages: a host file name as it is when it is host text, else with every byte outside
// printable ASCII written as \xNN.
std::string displayHostName(const std::string& name);

// Whole file into data. False with *error set ("cannot open", "read error") on failure.
bool readFile(const std::string& path, Bytes* data, std::string* error);
// Writes data to path + ".tmp" and renames it over path, so a failure never leaves a half
// written file under the final name. False with *error set.
bool writeFileReplacing(const std::string& path, const Bytes& data, std::string* error);

bool isRegularFile(const std::string& path);
bool isDirectory(const std::string& path);
// Size of a regular file; false when path is not one.
bool fileSize(const std::string& path, uint64_t* size);
// Makes path and any missing parents. True when it exists as a folder afterwards.
bool makeDirectories(const std::string& path);
// Names in a folder, without "." and "..". False when it cannot be read.
bool listDirectory(const std::string& path, std::vector<std::string>* names);

// Last component of a host path (after the last '/', and on Windows also '\\' outside two-byte
// characters).
std::string baseName(const std::string& path);
// a + separator + b (no separator doubled).
std::string joinPath(const std::string& a, const std::string& b);

}  // namespace host
