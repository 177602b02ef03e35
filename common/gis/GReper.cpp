#include "gis/GReper.h"

#include "data/Cp1251.h"
#include "gis/EditorFrames.h"

namespace {
// The diamond of the Symbol font.
constexpr char kReperSign = static_cast<char>(0xA8);
} // namespace

TGReper::TGReper(TGIS* owner) : TGMark(owner)
{
  SetTypeCode(ObjectTypeReper);
  SetKindNames("Репер", "Реперы");
  TFontRecord font;
  font.name = "Symbol";
  font.size = 8;
  font.color = 0x800000;
  // Text is kept as UTF-8 of the stored code-page bytes.
  SetSymbolDefaults(Cp1251ToUtf8(std::string(1, kReperSign)), font);
}

TEditorFrame* TGReper::CreateEditorFrame(bool fromKeptValues, bool multiple, QWidget* owner)
{
  TEditorFrameFactory* factory = GetEditorFrameFactory();
  return factory ? factory->CreateReperFrame(*this, fromKeptValues, multiple, owner) : nullptr;
}

void TGReper::ApplyEditorFrame(TEditorFrame* frame)
{
  ApplyOwnFrame<TReperFrame>(frame, *this);
}

void TGReper::FillEditorFrame(TEditorFrame* frame, bool fromKeptValues, bool multiple)
{
  FillOwnFrame<TReperFrame>(frame, *this, fromKeptValues, multiple);
}
