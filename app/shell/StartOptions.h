#pragma once
// What the command line asks of the program at start.

#include <QString>
#include <QStringList>

struct TStartOptions {
  // The project path taken from the command line (empty without arguments).
  QString project;
  // The path names an existing file.
  bool projectFound = false;
  // "-r" came with a path: open the project and start the calculation.
  bool run = false;
  // "-r" came with a path that names no file: the program closes at once.
  bool closeAtStart = false;
};

// The arguments after the program name. Argument 1 is the path, unless it is
// exactly "-r" and a second argument exists, which is then the path; a lone
// "-r" is a file name like any other.
TStartOptions ParseStartOptions(const QStringList& arguments);
