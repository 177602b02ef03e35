#include "shell/ProjectLock.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool SameFile(int fd, const std::string& path)
{
  struct stat open {};
  struct stat named {};
  return fstat(fd, &open) == 0 && stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

void WriteProcessId(int fd)
{
  const std::string pid = std::to_string(getpid()) + "\n";
  if (ftruncate(fd, 0) == 0)
    (void)!pwrite(fd, pid.data(), pid.size(), 0);
}

} // namespace

std::string TProjectLock::LockFileName(const std::string& projectPath)
{
  const size_t slash = projectPath.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : projectPath.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? projectPath : projectPath.substr(slash + 1);
  return folder + "." + name + ".lock";
}

TProjectLock::TProjectLock(std::string projectPath, std::string lockPath, int fd)
    : project(std::move(projectPath)), lockFile(std::move(lockPath)), fd(fd)
{
}

TProjectLock::~TProjectLock()
{
  if (fd < 0)
    return;
  // Removed while still held: whoever opens the name next makes a new file.
  unlink(lockFile.c_str());
  close(fd);
}

TProjectLock::TResult TProjectLock::Take(const std::string& projectPath, std::unique_ptr<TProjectLock>& lock)
{
  const std::string lockPath = LockFileName(projectPath);
  // A lock file that its holder removed between our open and our flock is no
  // lock any more: try again on the name as it is now.
  for (int attempt = 0; attempt < 8; ++attempt) {
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
      break;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      close(fd);
      if (error == EWOULDBLOCK)
        return TResult::HeldElsewhere;
      break;
    }
    if (SameFile(fd, lockPath)) {
      WriteProcessId(fd);
      lock.reset(new TProjectLock(projectPath, lockPath, fd));
      return TResult::Taken;
    }
    close(fd);
  }
  lock.reset(new TProjectLock(projectPath, lockPath, -1));
  return TResult::Taken;
}
