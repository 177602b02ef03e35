#pragma once
// Sign and label fonts between their stored records and the fonts the font
// dialog hands back. The dialog knows no character set, so that stays as the
// record had it; the colour comes from the choice beside the dialog.
#include "base/ModalCalls.h"
#include "data/TagStream.h"

#include <QFont>

TFontRecord FontRecordFromFont(const QFont& font, const TFontRecord& base);
// The font and its colour (a system colour of the record shows as black).
TFontChoice FontChoiceOf(const TFontRecord& record);
TFontRecord FontRecordFromChoice(const TFontChoice& choice, const TFontRecord& base);
