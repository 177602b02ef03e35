#pragma once
// Byte streams of the persistence layer: an abstract stream, a memory stream and
// file streams. The exact reads and writes raise EStreamError when a stream is
// short, like the stream class every persistent object was written against.
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

class EStreamError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A file that cannot be opened or created.
class EFileOpenError : public EStreamError {
public:
  using EStreamError::EStreamError;
};

class TStream {
public:
  virtual ~TStream() = default;

  // Reads at most n bytes at the position; returns how many were read (0 at the end).
  virtual size_t Read(void* buffer, size_t n) = 0;
  // Writes at most n bytes at the position; fewer than n means the device failed.
  virtual size_t Write(const void* buffer, size_t n) = 0;
  virtual int64_t GetSize() const = 0;
  // Cuts or extends the stream; raises EStreamError when the device refuses.
  virtual void SetSize(int64_t size) = 0;
  virtual int64_t GetPosition() const = 0;
  virtual void SetPosition(int64_t position) = 0;

  // Bytes between the position and the end, never negative.
  int64_t Remaining() const;
  void ReadExact(void* buffer, size_t n);
  void WriteExact(const void* buffer, size_t n);
  // Copies the rest of the source from its position; returns the bytes copied.
  int64_t CopyFrom(TStream& source);
};

class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  size_t Read(void* buffer, size_t n) override;
  size_t Write(const void* buffer, size_t n) override;
  int64_t GetSize() const override { return static_cast<int64_t>(bytes_.size()); }
  void SetSize(int64_t size) override;
  int64_t GetPosition() const override { return position_; }
  void SetPosition(int64_t position) override;

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::vector<uint8_t> TakeBytes();
  void Reserve(size_t n) { bytes_.reserve(n); }

private:
  std::vector<uint8_t> bytes_;
  int64_t position_ = 0;
};

enum class TFileMode { Read, Create };

// A file opened for reading, or created (emptied) for writing in place.
class TFileStream : public TStream {
public:
  // Raises EFileOpenError when the file cannot be opened or created.
  TFileStream(const std::string& path, TFileMode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  size_t Read(void* buffer, size_t n) override;
  size_t Write(const void* buffer, size_t n) override;
  int64_t GetSize() const override;
  void SetSize(int64_t size) override;
  int64_t GetPosition() const override;
  void SetPosition(int64_t position) override;

  // Flushes and closes; false when any write since opening failed.
  bool Close();
  const std::string& Path() const { return path_; }

protected:
  TFileStream(const std::string& openPath, const std::string& displayPath, TFileMode mode);

private:
  std::FILE* file_ = nullptr;
  std::string path_;
  bool writable_ = false;
  bool failed_ = false;
};

// Writes a file under a temporary name beside the target and moves it into place
// only on Commit, so a failed save never leaves a truncated file under the name.
class TSaveFileStream : public TFileStream {
public:
  explicit TSaveFileStream(const std::string& path);
  ~TSaveFileStream() override;

  // Flushes, closes and renames onto the target; false (and no target change)
  // when any write failed or the rename was refused.
  bool Commit();

private:
  TSaveFileStream(const std::string& path, const std::string& tempPath);
  std::string target_;
  std::string temp_;
  bool done_ = false;
};
