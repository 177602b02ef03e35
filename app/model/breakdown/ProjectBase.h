#pragma once

#include <string>

// Base name of a project's side files: the folder and the file name without
// its last extension. Dots in folder names and a leading dot of the file name
// are not extensions. "" for an empty name.
std::string ProjectFileBase(const std::string &fileName);
