#pragma once
// Names of numbered step files. Every rule looks at the file-name part only,
// since folders may hold dots and underscores of their own: the step file of
// "runs.v2/model.vzt" is "runs.v2/model_0003.vzt".

#include <QString>

// The project's name with "_" and the number (at least four digits, leading
// zeros) put before the extension; at the end when the name has none.
QString StepFileName(const QString& projectName, int n);
// Takes a step suffix ("_" and digits right before the extension) out of the
// name; false (name unchanged) when there is none.
bool StripStepNumber(QString& name);
// The name the program keeps, shows and saves to for a file it opened whose
// run has counted stepCounter steps: a step file of a run stands for its
// project; any other file (a run not begun yet) for itself.
QString ProjectNameOf(const QString& fileName, int stepCounter);
// The name with ".ext" appended when its file-name part has no extension.
QString WithExtension(const QString& name, const QString& extension);
