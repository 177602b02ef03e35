#pragma once
// The input of a fuzz target as a file, for the readers that take a path.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace fuzz {

// The input written to a file of this process, removed with the object.
class TInputFile {
public:
  TInputFile(const uint8_t* data, size_t size)
      : path(std::string(P_tmpdir) + "/kestovar-fuzz-" + std::to_string(getpid()))
  {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
      if (size > 0)
        std::fwrite(data, 1, size, f);
      std::fclose(f);
    }
  }
  ~TInputFile() { std::remove(path.c_str()); }
  TInputFile(const TInputFile&) = delete;
  TInputFile& operator=(const TInputFile&) = delete;
  const std::string path;
};

} // namespace fuzz
