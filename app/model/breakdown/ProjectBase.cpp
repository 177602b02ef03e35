#include "model/breakdown/ProjectBase.h"

std::string ProjectFileBase(const std::string &fileName) {
  const size_t slash = fileName.find_last_of("/\\");
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || dot <= nameStart)
    return fileName;
  return fileName.substr(0, dot);
}
