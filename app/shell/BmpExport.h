#pragma once
// The names of the BMP export: picture files by window id and image index, and
// the step files of a project in the order of their step numbers.
#include <QString>
#include <QStringList>

#include <cstdint>

// folder/f<id>_<index>.bmp: the id padded with "0" to at least 3 characters,
// the index to at least 4 (in front of a minus sign too); longer numbers whole.
QString BmpExportFileName(const QString& folder, std::int32_t windowId, std::int32_t index);

// The plain files beside the project named like its step files: the project's
// name with "_" and digits before its extension. Sorted by step number.
QStringList FindStepFiles(const QString& projectFileName);

// Files picked by hand in the order the calculation wrote them: grouped by the
// project they belong to, its step files by step number and then the project
// file itself, which holds the state saved after them. Files of one rank keep
// the order they came in.
QStringList InStepOrder(const QStringList& files);
