#pragma once
// The mark that a project is open in a running program: a hidden lock file
// beside the project ("." + the file name + ".lock", holding the process id)
// with a flock on it while the object lives. The system drops the flock with
// the process, so the file of a program that died blocks nobody, and two
// programs never write the same project and its step files over each other.

#include <memory>
#include <string>

class TProjectLock {
public:
  enum class TResult {
    Taken,
    HeldElsewhere, // another program (or another lock of this one) has the project open
  };

  // Takes the lock of the project file at projectPath. A folder where no lock
  // file can be made (read-only, a file system without flock) blocks nobody:
  // the lock is then taken but holds nothing.
  static TResult Take(const std::string& projectPath, std::unique_ptr<TProjectLock>& lock);

  ~TProjectLock();
  TProjectLock(const TProjectLock&) = delete;
  TProjectLock& operator=(const TProjectLock&) = delete;

  const std::string& ProjectPath() const { return project; }
  // The lock file of a project.
  static std::string LockFileName(const std::string& projectPath);

private:
  TProjectLock(std::string projectPath, std::string lockPath, int fd);

  std::string project;
  std::string lockFile;
  int fd = -1;
};
