#include "model/TempFileName.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

std::string CreateIn(const std::string &folder) {
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '/')
    pattern += '/';
  pattern += "gfmXXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0)
    return {};
  close(fd);
  return std::string(name.data());
}

} // namespace

std::string MakeTempFileNameIn(const std::string &folder) {
  std::string name = folder.empty() ? std::string() : CreateIn(folder);
  if (name.empty())
    name = CreateIn("./");
  return name;
}

std::string MakeTempFileName() {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  return MakeTempFileNameIn(error ? std::string() : folder.string());
}
