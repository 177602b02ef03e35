#pragma once
// Sign and label fonts between their stored records and the fonts the font
// dialog hands back. The dialog knows no colour and no character set, so those
// stay as the record had them.
#include "data/TagStream.h"

#include <QFont>

TFontRecord FontRecordFromFont(const QFont& font, const TFontRecord& base);
