// The reper and mark frames with their sign editor and the character picker:
// fill from one object, apply to one or several (only the touched groups),
// signs in a symbol font, icons, and the values a frame class keeps.
#include "MapsTestSupport.h"

#include "../../common/gis/GisTestSupport.h"
#include "../model/dialogs/ActingModalCalls.h"
#include "data/Cp1251.h"
#include "data/qt/RegistrySettings.h"
#include "gis/Bitmap.h"
#include "gis/BitmapCanvas.h"
#include "gis/GMark.h"
#include "gis/GReper.h"
#include "maps/FormSelectChar.h"
#include "maps/FrameCoord.h"
#include "maps/FrameIconSelect.h"
#include "maps/FrameMark.h"
#include "maps/FrameReper.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace mapstest;

namespace {

const QString kDiamond = QString(QChar(0x2666));

class SignPointTest : public TMapsFixture {
protected:
  void SetUp() override
  {
    a = Add(std::make_unique<TGReper>(&gis), "A", 100, 200);
    b = Add(std::make_unique<TGReper>(&gis), "B", 300, 400);
    b->SetShowName(false);
  }

  // A 2 x 2 red picture saved as a BMP file.
  QString PictureFile()
  {
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString file = folder.filePath("sign.bmp");
    image.save(file, "BMP");
    return file;
  }

  TGReper* a = nullptr;
  TGReper* b = nullptr;
  QTemporaryDir folder;
};

TEST_F(SignPointTest, ReperFillsFromItsObjectWithTheSymbolSign)
{
  TFmReper frame(a, false, false, nullptr);
  EXPECT_EQ(frame.Ecaption->text(), "A");
  EXPECT_TRUE(frame.CBcaption->isChecked());
  EXPECT_EQ(frame.Coords->GetCoordKind(), TFmCoord::KindRectangular);
  EXPECT_EQ(frame.Coords->Exx->text(), "100.0");
  // The reper's default sign is byte 0xA8 of the Symbol font: a diamond.
  EXPECT_EQ(frame.FmIcon->Es->text(), kDiamond);
  EXPECT_TRUE(frame.FmIcon->RBsign->isChecked());
  // Applied untouched, the sign goes back as the same byte.
  const std::string sign = a->GetSymbol();
  frame.ApplyTo(*a);
  EXPECT_EQ(a->GetSymbol(), sign);
}

TEST_F(SignPointTest, AnObjectWithoutIconNeverShowsTheIconOfThePreviousOne)
{
  QImage red(2, 2, QImage::Format_RGB32);
  red.fill(Qt::red);
  a->SetIcon(TBitmap::FromImage(red), TBitmap::FromImage(red));
  TFmReper frame(a, false, false, nullptr);
  EXPECT_FALSE(frame.FmIcon->IconImage().isNull());
  frame.FillFrom(*b, false, false);
  EXPECT_TRUE(frame.FmIcon->IconImage().isNull());
  frame.ApplyTo(*b);
  EXPECT_EQ(b->GetIcon(), nullptr);
}

TEST_F(SignPointTest, SeveralRepersTakeALoadedIconAndKeepTheirOtherFields)
{
  const QString picture = PictureFile();
  calls.fileAnswers = {picture};
  TFmReper frame(a, false, true, nullptr);
  QTest::mouseClick(frame.FmIcon->RBicon, Qt::LeftButton);
  frame.FmIcon->BloadClick();
  EXPECT_EQ(RegReadSetting("icons", QString()), picture);
  for (TGReper* reper : {a, b})
    frame.ApplyTo(*reper);
  for (TGReper* reper : {a, b}) {
    EXPECT_EQ(reper->GetSymbol(), "");
    ASSERT_NE(reper->GetIcon(), nullptr);
    EXPECT_EQ(reper->GetIcon()->Image().pixelColor(0, 0), QColor(Qt::red));
  }
  EXPECT_EQ(b->GetName(), "B");
  EXPECT_FALSE(b->GetShowName());
  EXPECT_DOUBLE_EQ(b->GetWorldX(), 300);
  // Choosing "Значок" again deletes the icons.
  frame.FillFrom(*a, false, true);
  QTest::mouseClick(frame.FmIcon->RBsign, Qt::LeftButton);
  frame.ApplyTo(*a);
  EXPECT_EQ(a->GetIcon(), nullptr);
}

TEST_F(SignPointTest, FontFromTheDialogKeepsItsColourAndIsKeptForTheClass)
{
  QFont chosen("DejaVu Sans");
  chosen.setPointSize(14);
  chosen.setBold(true);
  calls.fontAnswers = {chosen};
  TFmReper frame(a, false, true, nullptr);
  frame.FmIcon->BfontClick();
  frame.ApplyTo(*b);
  EXPECT_EQ(b->GetSymbolFont().name, "DejaVu Sans");
  EXPECT_EQ(b->GetSymbolFont().size, 14);
  EXPECT_EQ(b->GetSymbolFont().style, TFontRecord::Bold);
  EXPECT_EQ(b->GetSymbolFont().color, a->GetSymbolFont().color);
  // Untouched groups stayed.
  EXPECT_EQ(b->GetName(), "B");
  // A frame filled from the kept values shows what this class applied last.
  frame.Ecaption->setText("K");
  frame.EcaptionChange();
  frame.ApplyTo(*b);
  TFmReper kept(a, true, false, nullptr);
  EXPECT_EQ(kept.Ecaption->text(), "K");
  EXPECT_EQ(kept.FmIcon->SignFont().name, "DejaVu Sans");
}

// Qt's font dialog has no colour: the colour chosen beside it goes into the
// sign font and the sign is drawn in it.
TEST_F(SignPointTest, AColourChosenBesideTheFontIsStoredAndDrawn)
{
  QFont chosen("DejaVu Sans");
  chosen.setPointSize(20);
  chosen.setBold(true);
  calls.fontAnswers = {chosen};
  calls.fontColourAnswers = {QColor(0, 160, 0)};
  TFmReper frame(a, false, false, nullptr);
  frame.FmIcon->Es->setText("W");
  QTest::mouseClick(frame.FmIcon->Bfont, Qt::LeftButton);
  ASSERT_EQ(calls.fontColourStarts.size(), 1u);
  EXPECT_EQ(calls.fontColourStarts[0], TBitmapCanvas::ColorOf(a->GetSymbolFont()));
  EXPECT_EQ(frame.FmIcon->Es->palette().color(QPalette::Text), QColor(0, 160, 0));
  frame.ApplyTo(*a);
  EXPECT_EQ(a->GetSymbolFont().color, 0x00A000);
  EXPECT_EQ(a->GetSymbolFont().name, "DejaVu Sans");

  gistest::TTestBitmap bitmap(100, 80);
  a->SetShowName(false);
  a->SetXY(0.5, 0.5);
  a->Draw(0, 0, 1, 1, bitmap.get());
  int left, top, right, bottom;
  ASSERT_TRUE(bitmap.BoundsOf(0x00A000, left, top, right, bottom)) << "the sign is drawn in its colour";
  EXPECT_NEAR((left + right) / 2.0, 50, 3);

  // A cancelled font dialog keeps the colour too.
  calls.fontColourAnswers = {QColor(255, 0, 0)};
  frame.FmIcon->BfontClick();
  frame.ApplyTo(*a);
  EXPECT_EQ(a->GetSymbolFont().color, 0x00A000);
}

// Marks are edited like repers: with several selected only the touched groups
// are written, and "Показывать" carries the mark's show flag.
TEST_F(SignPointTest, MarksTakeOnlyTheTouchedGroupsAndTheirShowFlag)
{
  TGMark* m1 = Add(std::make_unique<TGMark>(&gis), "M1", 10, 20);
  TGMark* m2 = Add(std::make_unique<TGMark>(&gis), "M2", 30, 40);
  m2->SetShowName(false);
  TFmMark frame(m2, false, false, nullptr);
  EXPECT_FALSE(frame.CBcaption->isChecked());
  EXPECT_EQ(frame.CBcaption->text(), "Показывать");
  frame.FillFrom(*m1, false, true);
  QTest::mouseClick(frame.CBcaption, Qt::LeftButton);
  for (TGMark* mark : {m1, m2})
    frame.ApplyTo(*mark);
  EXPECT_FALSE(m1->GetShowName());
  EXPECT_EQ(m2->GetName(), "M2");
  EXPECT_DOUBLE_EQ(m2->GetWorldX(), 30);
  EXPECT_EQ(m2->GetSymbol(), "#");
}

class CharPickerTest : public SignPointTest {
protected:
  TActingModalCalls acting;
  TModalCallsScope actingInstalled{acting};

  // Clicks the middle of a character's cell while the picker is shown.
  void PickWhileShown(int code)
  {
    acting.whileShown = [code](QDialog* dialog) {
      auto* picker = dynamic_cast<TFSelectChar*>(dialog);
      ASSERT_NE(picker, nullptr);
      const TCharCell& cell = picker->Cells()[static_cast<size_t>(code - TFSelectChar::FirstChar)];
      picker->ImageMouseDown((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
      EXPECT_EQ(picker->result(), TFSelectChar::ResultChosen);
    };
    acting.dialogAnswers = {TFSelectChar::ResultChosen};
  }
};

TEST_F(CharPickerTest, APickedCharacterIsAppendedToTheSign)
{
  TGMark* mark = Add(std::make_unique<TGMark>(&gis), "M", 10, 20);
  TFmMark frame(mark, false, false, nullptr);
  frame.FmIcon->Es->setText("Ё");
  PickWhileShown('*');
  frame.FmIcon->BselectcharClick();
  EXPECT_EQ(frame.FmIcon->Es->text(), "Ё*");
  EXPECT_TRUE(frame.FmIcon->SignEdited());
}

TEST_F(CharPickerTest, SymbolFontSignsShowTheSymbolGlyphs)
{
  TFmReper frame(a, false, false, nullptr);
  PickWhileShown('a');
  frame.FmIcon->BselectcharClick();
  EXPECT_EQ(frame.FmIcon->Es->text(), kDiamond + QChar(0x03B1));
  frame.ApplyTo(*a);
  // Stored as the Symbol bytes 0xA8 and "a".
  EXPECT_EQ(a->GetSymbol(), Cp1251ToUtf8("\xA8" "a"));
}

TEST_F(CharPickerTest, OkWithoutAClickAppendsNothingEvenAfterAnEarlierPick)
{
  TFmReper frame(b, false, false, nullptr);
  PickWhileShown('*');
  frame.FmIcon->BselectcharClick();
  const QString sign = frame.FmIcon->Es->text();
  acting.whileShown = [](QDialog* dialog) { dynamic_cast<TFSelectChar*>(dialog)->SpeedButton1->click(); };
  acting.dialogAnswers = {TFSelectChar::ResultChosen};
  frame.FmIcon->BselectcharClick();
  EXPECT_EQ(frame.FmIcon->Es->text(), sign);
}

TEST(CharPicker, CellsFollowTheDigitOfTheFont)
{
  TFSelectChar picker;
  picker.SetDigitMeasure([](const QFont&) { return QSize(8, 13); });
  picker.Prepare(TFontRecord());
  ASSERT_EQ(picker.Cells().size(), 224u);
  EXPECT_EQ(picker.Picture().size(), QSize(448, 462));
  const TCharCell& cell = picker.Cells()[65 - 32];
  EXPECT_EQ(cell.left, 38);
  EXPECT_EQ(cell.top, 76);
  EXPECT_EQ(cell.right, 66);
  EXPECT_EQ(cell.bottom, 109);
  EXPECT_EQ(cell.code, 65);
  // The line between two cells belongs to neither.
  picker.ImageMouseDown(38, 20);
  EXPECT_TRUE(picker.ChosenText().isEmpty());
  picker.ImageMouseDown(39, 20);
  EXPECT_EQ(picker.ChosenText(), "!");
}

} // namespace

namespace {

TEST(CharPicker, CodesASymbolFontLeavesEmptyGiveNothing)
{
  TFSelectChar picker;
  TFontRecord symbol;
  symbol.name = "Symbol";
  picker.Prepare(symbol);
  const TCharCell& empty = picker.Cells()[0x80 - 32];
  picker.ImageMouseDown((empty.left + empty.right) / 2, (empty.top + empty.bottom) / 2);
  EXPECT_TRUE(picker.ChosenText().isEmpty());
  const TCharCell& alpha = picker.Cells()['a' - 32];
  picker.ImageMouseDown((alpha.left + alpha.right) / 2, (alpha.top + alpha.bottom) / 2);
  EXPECT_EQ(picker.ChosenText(), QString(QChar(0x03B1)));
  EXPECT_EQ(picker.ChosenCode(), 'a');
}

} // namespace
