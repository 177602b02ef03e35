#pragma once
// Names of numbered project clones and the shell script that runs each clone
// unattended. Every rule looks at the file-name part only: folders may hold
// dots of their own.

#include <QString>
#include <QStringList>

struct TCloneNaming {
  QString stem;      // the chosen name without its extension
  QString extension; // from the last "." of the file-name part, with the dot; may be empty
  QString folder;    // up to and including the last "/", empty without one
};

TCloneNaming SplitCloneName(const QString& chosen);
// stem + n with leading zeros to at least digits characters + extension.
QString CloneFileName(const TCloneNaming& naming, int n, int digits);
// The name as one word of a POSIX shell: single quotes around it, every single
// quote inside written as '\'' so blanks, quotes, "$" and backquotes stay literal.
QString ShellQuote(const QString& text);
// The script: "#!/bin/sh" and one line per clone, the program, "-r" and the clone.
QString CloneScript(const QString& program, const QStringList& clones);
// The script's name in the clones' folder.
inline constexpr const char* CloneScriptName = "run.sh";
