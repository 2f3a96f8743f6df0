#pragma once

#include <string>
#include <string_view>

namespace qn {

// The user's home directory: HOME when set and not empty, else the password database.
std::string homeDirectory();

// Expands a leading "~" or "~/..." to the home directory and "~name/..." to that user's home.
// Anything else, and an unknown user, is returned unchanged.
std::string expandTilde(std::string_view path);

// Expands a leading tilde, collapses repeated separators, drops "." components and a trailing
// separator, and resolves ".." lexically in absolute paths.
std::string standardizePath(std::string_view path);

// Joins with exactly one separator between the parts.
std::string appendPath(std::string_view base, std::string_view component);

// The last path component ("tmux" for "/usr/bin/tmux").
std::string lastPathComponent(std::string_view path);

// The path without its last component ("/a/b" for "/a/b/c").
std::string parentPath(std::string_view path);

}  // namespace qn
