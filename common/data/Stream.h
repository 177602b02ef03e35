#pragma once
// Byte streams of the persistence layer: an abstract stream, a memory stream and
// file streams. The exact reads and writes raise EStreamError when a stream is
// short, like the stream class every persistent object was written against.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class EStreamError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A stored image that is whole but holds a value its reader cannot take (a
// size beyond what the reader can hold, a number that is no number); the
// text names what is wrong, for the user.
class EDamagedImage : public EStreamError {
public:
  using EStreamError::EStreamError;
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
  // Raises EFileOpenError when the file cannot be opened or created; for
  // reading, also when it is not a regular file (a FIFO, a folder, a device).
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
  // Whether a write failed, and the system's error number of the first failure.
  bool Failed() const { return failed_; }
  int Error() const { return error_; }
  const std::string& Path() const { return path_; }

  // Opens openPath and names it displayPath in messages (a temporary file that
  // stands for another).
  TFileStream(const std::string& openPath, const std::string& displayPath, TFileMode mode);

private:
  // Regular files only: raises EFileOpenError for anything else, at once.
  static std::FILE* OpenRegularForReading(const std::string& openPath, const std::string& displayPath);

  std::FILE* file_ = nullptr;
  std::string path_;
  bool writable_ = false;
  bool failed_ = false;
  int error_ = 0;
};

// A temporary file beside a target, in the target's folder so that it can be
// renamed onto it: "~gfm." + the target's name + a unique suffix. It is locked
// while the object lives, so that a later save in the folder can tell what a
// killed program left (unlocked and older than the running program; removed
// then) from the file of a save under way. Raises EFileOpenError when the file
// cannot be created. The file is removed unless MoveTo put it in place.
class TSiblingTempFile {
public:
  static constexpr const char* Prefix = "~gfm.";
  // The half of a pair of files that goes in place second (a project's lattice
  // after its project file): a program killed between the two moves leaves the
  // only whole copy of it here, so sweeps spare it while it is newer than the
  // file it would replace, and a reader may still take it (FindPairHalves).
  static constexpr const char* PairPrefix = "~gfm.pair.";
  enum class TKind { Plain, PairHalf };

  explicit TSiblingTempFile(const std::string& target, TKind kind = TKind::Plain);
  ~TSiblingTempFile();
  TSiblingTempFile(const TSiblingTempFile&) = delete;
  TSiblingTempFile& operator=(const TSiblingTempFile&) = delete;

  const std::string& Path() const { return path_; }
  // Renames the file onto target; false (the file removed) when refused.
  bool MoveTo(const std::string& target);
  void Remove();
  // Leaves the file where it is and lets it go, as a program killed at this
  // point would: what a save interrupted there leaves behind.
  void Abandon();

private:
  std::string path_;
  int lock_ = -1;
};

// Removes the leftovers of killed saves from a folder (see TSiblingTempFile);
// a pair half newer than its target (or without one) is kept.
void RemoveStaleSiblingTemps(const std::string& folder);

// The pair halves of target that killed saves left (regular files that no
// save holds), newest first.
std::vector<std::string> FindPairHalves(const std::string& target);

// Removes every temporary file of target, of either kind, that no save holds:
// what killed saves of that one file left, whatever their age.
void RemoveSiblingTempsOf(const std::string& target);

// Opens the file at path for writing and reading and removes its name at once:
// a temporary image that nobody needs by name cannot be left behind, not even by
// a program that is killed. Raises EFileOpenError when it cannot be opened.
std::unique_ptr<TFileStream> OpenUnnamedTemp(const std::string& path);

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
  TSaveFileStream(const std::string& path, std::unique_ptr<TSiblingTempFile> temp);
  std::string target_;
  std::unique_ptr<TSiblingTempFile> temp_;
  bool done_ = false;
};
