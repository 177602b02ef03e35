#pragma once
// The program's start: the forms that live for the whole run, the splash, the
// message loop, and the forms' destruction at the end.

class QApplication;

// Sets up the application object (Russian texts of Qt's own dialogs, "C"
// number formats) before any form exists.
void PrepareApplication(QApplication& app);
// Creates the forms, runs the message loop and returns its exit code.
int ApplicationMain(QApplication& app);
