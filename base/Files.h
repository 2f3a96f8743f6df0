#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qn {

// The file's bytes, or none when it cannot be read.
std::optional<std::string> readFile(const std::string& path);

// The file's text, or none when it cannot be read or is not valid UTF-8.
std::optional<std::string> readUtf8File(const std::string& path);

// Writes through a temporary file in the same directory and renames it over the target, so a
// reader sees the old or the new contents, never a mix. False on any failure.
bool writeFileAtomically(const std::string& path, std::string_view contents);

// Writes all of data to the descriptor, continuing partial and interrupted writes. False when the
// descriptor fails (a closed pipe, a full disk).
bool writeAll(int fd, std::string_view data);

// Appends to the file, creating it when missing. False on any failure.
bool appendToFile(const std::string& path, std::string_view contents);

bool fileExists(const std::string& path);
bool isExecutableFile(const std::string& path);
bool isDirectory(const std::string& path);
std::optional<uint64_t> fileSize(const std::string& path);
// Creates the directory and any missing parents. True when it exists afterwards.
bool createDirectories(const std::string& path);
bool removeFile(const std::string& path);
bool renameFile(const std::string& from, const std::string& to);
// Resolves symbolic links; none when the path does not exist.
std::optional<std::string> resolveSymlinks(const std::string& path);

}  // namespace qn
