#pragma once
// Where a report is written: beside the project, named after it and the day,
// so that the student finds it again; a name already taken gets a number.
#include <QDate>
#include <QString>

// folder/"<project name> - отчет <yyyy-MM-dd>.docx", in the project's folder,
// or in fallbackFolder when the project has none (it was never saved); " (2)",
// " (3)" ... before the extension when the name is taken.
QString ReportFileName(const QString& projectFileName, const QString& fallbackFolder, const QDate& date);
