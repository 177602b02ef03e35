#pragma once

#include <string>

// Creates a new, empty file named "gfm" plus a unique suffix in the system's
// temporary folder, or in the current folder when that fails, and returns its
// name; "" when neither folder takes the file.
std::string MakeTempFileName();
// The same in the given folder, then in the current one.
std::string MakeTempFileNameIn(const std::string &folder);
