#include "data/Stream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

int64_t TStream::Remaining() const
{
  return std::max<int64_t>(0, GetSize() - GetPosition());
}

void TStream::ReadExact(void* buffer, size_t n)
{
  if (Read(buffer, n) != n)
    throw EStreamError("Stream read error");
}

void TStream::WriteExact(const void* buffer, size_t n)
{
  if (Write(buffer, n) != n)
    throw EStreamError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source)
{
  std::vector<uint8_t> piece(65536);
  int64_t total = 0;
  for (;;) {
    const size_t got = source.Read(piece.data(), piece.size());
    if (got == 0)
      return total;
    WriteExact(piece.data(), got);
    total += static_cast<int64_t>(got);
  }
}

// ---------------------------------------------------------------------------

size_t TMemoryStream::Read(void* buffer, size_t n)
{
  const int64_t left = Remaining();
  const size_t count = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(n)));
  if (count > 0) {
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += static_cast<int64_t>(count);
  }
  return count;
}

size_t TMemoryStream::Write(const void* buffer, size_t n)
{
  if (n == 0)
    return 0;
  const size_t end = static_cast<size_t>(position_) + n;
  if (end > bytes_.size())
    bytes_.resize(end);
  std::memcpy(bytes_.data() + position_, buffer, n);
  position_ = static_cast<int64_t>(end);
  return n;
}

void TMemoryStream::SetSize(int64_t size)
{
  if (size < 0)
    throw EStreamError("Invalid stream size");
  bytes_.resize(static_cast<size_t>(size));
  position_ = std::min(position_, size);
}

void TMemoryStream::SetPosition(int64_t position)
{
  position_ = std::max<int64_t>(0, position);
}

std::vector<uint8_t> TMemoryStream::TakeBytes()
{
  position_ = 0;
  return std::move(bytes_);
}

// ---------------------------------------------------------------------------

TFileStream::TFileStream(const std::string& path, TFileMode mode) : TFileStream(path, path, mode) {}

TFileStream::TFileStream(const std::string& openPath, const std::string& displayPath, TFileMode mode)
    : path_(displayPath), writable_(mode == TFileMode::Create)
{
  file_ = mode == TFileMode::Read ? OpenRegularForReading(openPath, displayPath) : std::fopen(openPath.c_str(), "w+b");
  if (!file_)
    throw EFileOpenError("Cannot create file " + displayPath + ": " + std::strerror(errno));
}

std::FILE* TFileStream::OpenRegularForReading(const std::string& openPath, const std::string& displayPath)
{
  // Without O_NONBLOCK a FIFO would wait in open() for a writer that never
  // comes; a folder or a device has no project in it either.
  const int fd = open(openPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    throw EFileOpenError("Cannot open file " + displayPath + ": " + std::strerror(errno));
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    throw EFileOpenError("Cannot open file " + displayPath + ": it is not a regular file");
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = fdopen(fd, "rb");
  if (!file) {
    const int error = errno;
    close(fd);
    throw EFileOpenError("Cannot open file " + displayPath + ": " + std::strerror(error));
  }
  return file;
}

TFileStream::~TFileStream()
{
  if (file_)
    std::fclose(file_);
}

size_t TFileStream::Read(void* buffer, size_t n)
{
  if (!file_ || n == 0)
    return 0;
  return std::fread(buffer, 1, n, file_);
}

size_t TFileStream::Write(const void* buffer, size_t n)
{
  if (!file_ || n == 0)
    return 0;
  const size_t written = std::fwrite(buffer, 1, n, file_);
  if (written != n && !failed_) {
    failed_ = true;
    error_ = errno;
  }
  return written;
}

int64_t TFileStream::GetSize() const
{
  if (!file_)
    return 0;
  if (writable_)
    std::fflush(file_); // buffered bytes count; flushing a read stream would drop its buffer
  struct stat info {};
  if (fstat(fileno(file_), &info) != 0)
    return 0;
  return static_cast<int64_t>(info.st_size);
}

void TFileStream::SetSize(int64_t size)
{
  if (!file_ || size < 0 || std::fflush(file_) != 0 || ftruncate(fileno(file_), size) != 0) {
    failed_ = true;
    throw EStreamError("Cannot set the size of " + path_);
  }
  if (GetPosition() > size)
    SetPosition(size);
}

int64_t TFileStream::GetPosition() const
{
  return file_ ? static_cast<int64_t>(ftello(file_)) : 0;
}

void TFileStream::SetPosition(int64_t position)
{
  if (file_)
    fseeko(file_, std::max<int64_t>(0, position), SEEK_SET);
}

bool TFileStream::Close()
{
  if (!file_)
    return !failed_;
  if (std::fflush(file_) != 0 || std::ferror(file_))
    failed_ = true;
  if (std::fclose(file_) != 0)
    failed_ = true;
  file_ = nullptr;
  return !failed_;
}

// ---------------------------------------------------------------------------

namespace {

// When this program started: a temporary file older than that is not one of
// its own saves.
const std::time_t programStart = std::time(nullptr);

std::string FolderOf(const std::string& path)
{
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path)
{
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The process's file-creation mask, read without changing it (umask() would,
// for a moment, for every thread).
mode_t CurrentUmask()
{
  if (FILE* status = std::fopen("/proc/self/status", "r")) {
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, status))
      found = std::sscanf(line, "Umask: %o", &mask) == 1;
    std::fclose(status);
    if (found)
      return static_cast<mode_t>(mask);
  }
  const mode_t mask = umask(022);
  umask(mask);
  return mask;
}

// The mode the saved file would have had from a plain create, or the mode of
// the file it replaces: mkstemp's 0600 would hide it from the other users of
// a shared folder.
mode_t SavedFileMode(const std::string& target)
{
  struct stat info;
  if (stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode))
    return info.st_mode & 07777;
  return 0666 & ~CurrentUmask();
}

} // namespace

namespace {

bool StartsWith(const char* name, const char* prefix)
{
  return std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}

// The file a temporary file stands for: its name between the prefix and the
// unique suffix, in the same folder.
std::string TargetOfTemp(const std::string& base, const std::string& name)
{
  const size_t prefix = std::strlen(StartsWith(name.c_str(), TSiblingTempFile::PairPrefix)
                                      ? TSiblingTempFile::PairPrefix
                                      : TSiblingTempFile::Prefix);
  const size_t suffix = name.rfind('.');
  if (suffix == std::string::npos || suffix <= prefix)
    return {};
  return base + name.substr(prefix, suffix - prefix);
}

bool NewerThan(const struct timespec& a, const struct timespec& b)
{
  return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// A pair half that may still be the only whole copy of its target.
bool MayBeNeeded(const std::string& base, const std::string& name, const struct stat& info)
{
  if (!StartsWith(name.c_str(), TSiblingTempFile::PairPrefix))
    return false;
  struct stat target {};
  return stat(TargetOfTemp(base, name).c_str(), &target) != 0 || NewerThan(info.st_mtim, target.st_mtim);
}

// Calls visit(path, info, fd) for every regular temporary file in the folder
// that no save holds; fd carries the lock while visit runs.
template <typename Visit>
void ForEachFreeTemp(const std::string& folder, const Visit& visit)
{
  DIR* dir = opendir(folder.c_str());
  if (!dir)
    return;
  const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + '/';
  while (const dirent* entry = readdir(dir)) {
    if (!StartsWith(entry->d_name, TSiblingTempFile::Prefix))
      continue;
    const std::string name = entry->d_name;
    const std::string path = base + name;
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
      continue;
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0)
      visit(base, name, info);
    close(fd);
  }
  closedir(dir);
}

} // namespace

void RemoveStaleSiblingTemps(const std::string& folder)
{
  // Only a file of an earlier program, and no pair half that a reader may need.
  ForEachFreeTemp(folder, [](const std::string& base, const std::string& name, const struct stat& info) {
    if (info.st_mtime < programStart && !MayBeNeeded(base, name, info))
      unlink((base + name).c_str());
  });
}

std::vector<std::string> FindPairHalves(const std::string& target)
{
  std::vector<std::pair<struct timespec, std::string>> found;
  ForEachFreeTemp(FolderOf(target), [&](const std::string& base, const std::string& name, const struct stat& info) {
    if (StartsWith(name.c_str(), TSiblingTempFile::PairPrefix) && TargetOfTemp(base, name) == base + NameOf(target))
      found.emplace_back(info.st_mtim, base + name);
  });
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return NewerThan(a.first, b.first); });
  std::vector<std::string> paths;
  for (auto& entry : found)
    paths.push_back(std::move(entry.second));
  return paths;
}

void RemoveSiblingTempsOf(const std::string& target)
{
  ForEachFreeTemp(FolderOf(target), [&](const std::string& base, const std::string& name, const struct stat&) {
    if (TargetOfTemp(base, name) == base + NameOf(target))
      unlink((base + name).c_str());
  });
}

TSiblingTempFile::TSiblingTempFile(const std::string& target, TKind kind)
{
  const std::string folder = FolderOf(target);
  RemoveStaleSiblingTemps(folder);
  std::string pattern = (folder == "." ? std::string() : folder) +
                        (kind == TKind::PairHalf ? PairPrefix : Prefix) + NameOf(target) + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  lock_ = mkostemp(name.data(), O_CLOEXEC);
  if (lock_ < 0)
    throw EFileOpenError("Cannot create file " + target + ": " + std::strerror(errno));
  flock(lock_, LOCK_EX);
  fchmod(lock_, SavedFileMode(target));
  path_ = name.data();
}

TSiblingTempFile::~TSiblingTempFile()
{
  Remove();
}

bool TSiblingTempFile::MoveTo(const std::string& target)
{
  if (path_.empty())
    return false;
  const bool moved = std::rename(path_.c_str(), target.c_str()) == 0;
  const int error = errno;
  if (moved)
    path_.clear();
  Remove();
  errno = error; // the caller may report why the rename was refused
  return moved;
}

void TSiblingTempFile::Abandon()
{
  path_.clear();
  Remove();
}

void TSiblingTempFile::Remove()
{
  if (!path_.empty())
    std::remove(path_.c_str());
  path_.clear();
  if (lock_ >= 0)
    close(lock_);
  lock_ = -1;
}

std::unique_ptr<TFileStream> OpenUnnamedTemp(const std::string& path)
{
  auto stream = std::make_unique<TFileStream>(path, TFileMode::Create);
  std::remove(path.c_str());
  return stream;
}

TSaveFileStream::TSaveFileStream(const std::string& path)
    : TSaveFileStream(path, std::make_unique<TSiblingTempFile>(path))
{
}

TSaveFileStream::TSaveFileStream(const std::string& path, std::unique_ptr<TSiblingTempFile> temp)
    : TFileStream(temp->Path(), path, TFileMode::Create), target_(path), temp_(std::move(temp))
{
}

TSaveFileStream::~TSaveFileStream()
{
  if (!done_)
    Close();
}

bool TSaveFileStream::Commit()
{
  if (done_)
    return false;
  done_ = true;
  if (!Close()) {
    temp_->Remove();
    return false;
  }
  return temp_->MoveTo(target_);
}
