#pragma once
// The program's start: the forms that live for the whole run, the splash, the
// message loop, and the forms' destruction at the end.

#include <QStringList>

#include <memory>

class QApplication;

// Sets up the application object (Russian texts of Qt's own dialogs, "C"
// number formats) before any form exists.
void PrepareApplication(QApplication& app);

// The program without its message loop: the forms of the whole run, each in
// its global variable, the project files, the model maker, the view makers and
// the editor frames; destroyed in the order the end of the run takes. The
// arguments are those after the program name.
class TProgram {
public:
  explicit TProgram(const QStringList& arguments);
  ~TProgram();
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

private:
  struct TParts;
  std::unique_ptr<TParts> parts;
};

// Creates the forms, runs the message loop and returns its exit code.
int ApplicationMain(QApplication& app);
