#pragma once
// The label font file of an array as the desktop's font configuration knows
// it: the installed file of the record's family, in its bold and italic style
// where the family has one. A family that is not installed falls back to the
// DejaVu face that labels always had.
#include "data/TagStream.h"

#include <string>

// The file to draw a label font record with; empty only when not even the
// fallback face is installed.
std::string FontconfigLabelFontFile(const TFontRecord& font);

// The installed file of the record's family, or empty when fontconfig knows no
// such family (its best match then is a substitute, never taken here).
std::string InstalledFamilyFile(const TFontRecord& font);
