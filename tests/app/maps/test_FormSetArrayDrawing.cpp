// The array drawing dialog: the level list, what enables "Применить", what a
// scheme change rebuilds and what a table edit writes as it stands, the range
// and the warning for more levels than the list shows.
#include "MapsTestSupport.h"

#include "maps/ColorSwatch.h"
#include "maps/FormSetArrayDrawing.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

using namespace mapstest;

namespace {

class SetArrayDrawingTest : public TMapsFixture {
protected:
  void SetUp() override
  {
    array = AddArray("P", {"Потенциал"});
    double* data = array->GetData();
    ASSERT_NE(data, nullptr);
    for (int i = 0; i < 12; ++i)
      data[i] = i * 10;
    array->UpdateMinMax();
    array->SetAutomaticRange(false);
    array->SetRange(0, 100);
    // Four levels at 20, 40, 60, 80 and the band above them.
    array->SetLevelScheme(LevelSchemeCount, 4, 100, 10, 2, 4, 1, 2);
    gis.OnChange = [this](void*) { ++changes; };
  }
  void TearDown() override
  {
    gis.OnChange = nullptr;
    dialog.done(0);
  }

  QLineEdit* ValueEdit(int level) const
  {
    return static_cast<QLineEdit*>(dialog.LevelControls()[static_cast<size_t>(3 * level + 2)]);
  }
  TColorSwatch* Swatch(size_t index) const { return static_cast<TColorSwatch*>(dialog.LevelControls()[index]); }

  TGArray* array = nullptr;
  int changes = 0;
  TFSetArrayDrawing dialog;
};

TEST_F(SetArrayDrawingTest, ListsAFillPerBandAndALinePerLevel)
{
  const int count = array->GetLevelCount();
  ASSERT_EQ(count, 5);
  dialog.SetArray(array);
  ASSERT_EQ(dialog.LevelControls().size(), 13u);
  for (int r = 0; r < count; ++r) {
    EXPECT_NE(dynamic_cast<TColorSwatch*>(dialog.LevelControls()[static_cast<size_t>(3 * r)]), nullptr);
    EXPECT_EQ(Swatch(static_cast<size_t>(3 * r))->Color(), array->GetLevels()[r].fillColor);
  }
  EXPECT_EQ(ValueEdit(0)->text(), "20");
  EXPECT_EQ(ValueEdit(3)->text(), "80");
  EXPECT_EQ(dialog.Enumber->value(), 4);
  EXPECT_TRUE(dialog.RBnumber->isChecked());
  EXPECT_TRUE(dialog.Enumber->isEnabled());
  EXPECT_FALSE(dialog.Ebmesh->isEnabled());
  EXPECT_FALSE(dialog.Bapplay->isEnabled());
  // A shorter table on the next showing drops the controls it no longer needs.
  array->SetLevelScheme(LevelSchemeCount, 3, 100, 10, 2, 4, 1, 2);
  dialog.SetArray(array);
  EXPECT_EQ(dialog.LevelControls().size(), static_cast<size_t>(3 * array->GetLevelCount() - 2));
  dialog.done(0);
  EXPECT_TRUE(dialog.LevelControls().empty());
}

TEST_F(SetArrayDrawingTest, TableEditsAreWrittenWithoutRebuildingTheLevels)
{
  dialog.SetArray(array);
  ValueEdit(1)->setText("45,5");
  calls.colourAnswers = {QColor(Qt::red)};
  Swatch(0)->Pressed(Swatch(0));
  EXPECT_TRUE(dialog.TableEdited());
  EXPECT_FALSE(dialog.SchemeChanged());
  ASSERT_TRUE(dialog.Bapplay->isEnabled());
  dialog.Bapplay->click();
  EXPECT_DOUBLE_EQ(array->GetLevels()[1].value, 45.5);
  EXPECT_EQ(array->GetLevels()[0].fillColor, 0x0000FFu);
  EXPECT_DOUBLE_EQ(array->GetLevels()[2].value, 60);
  EXPECT_TRUE(dialog.Applied());
  EXPECT_EQ(changes, 1);
  // The dialog shows the result and starts collecting afresh.
  EXPECT_FALSE(dialog.Bapplay->isEnabled());
  EXPECT_EQ(ValueEdit(1)->text(), "45.5");
}

TEST_F(SetArrayDrawingTest, SchemeChangesRebuildTheLevelsReplacingHandEditedValues)
{
  dialog.SetArray(array);
  ValueEdit(1)->setText("45");
  dialog.Enumber->setValue(2);
  EXPECT_TRUE(dialog.SchemeChanged());
  dialog.Bapplay->click();
  EXPECT_EQ(array->GetLevelScheme().requestedCount, 2);
  EXPECT_EQ(array->GetLevelCount(), 3);
  EXPECT_DOUBLE_EQ(array->GetLevels()[0].value, 100.0 / 3);
  EXPECT_EQ(dialog.LevelControls().size(), 7u);
}

TEST_F(SetArrayDrawingTest, OnlyTheFirstLabelDistanceLeavesApplyDisabledButOkWritesIt)
{
  dialog.SetArray(array);
  dialog.Econtlabelsdst0->setValue(dialog.Econtlabelsdst0->value() + 20);
  EXPECT_FALSE(dialog.Bapplay->isEnabled());
  const int wanted = dialog.Econtlabelsdst0->value();
  dialog.SBok->click();
  EXPECT_EQ(array->GetDrawSettings().labelStart, wanted);
}

TEST_F(SetArrayDrawingTest, OkWithNothingChangedStillApplies)
{
  dialog.SetArray(array);
  dialog.SBok->click();
  EXPECT_TRUE(dialog.Applied());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(array->GetLevelCount(), 5);
}

TEST_F(SetArrayDrawingTest, TheLabelFontTakesTheColourChosenBesideIt)
{
  dialog.SetArray(array);
  QFont chosen("DejaVu Sans");
  chosen.setPointSize(12);
  calls.fontAnswers = {chosen};
  calls.fontColourAnswers = {QColor(200, 0, 50)};
  dialog.SpeedButton1->click();
  EXPECT_TRUE(dialog.Bapplay->isEnabled());
  dialog.SBok->click();
  EXPECT_EQ(array->GetLabelFont().color, 0x3200C8);
  EXPECT_EQ(array->GetLabelFont().size, 12);
}

TEST_F(SetArrayDrawingTest, AutomaticRangeShowsTheDataRangeAndAReversedRangeIsStoredInOrder)
{
  dialog.SetArray(array);
  dialog.CBautolevel->setChecked(true);
  EXPECT_EQ(dialog.Edrawmax->text(), "110");
  EXPECT_EQ(dialog.Edrawmin->text(), "0");
  EXPECT_FALSE(dialog.Edrawmax->isEnabled());
  EXPECT_TRUE(dialog.SchemeChanged());
  dialog.CBautolevel->setChecked(false);
  dialog.Edrawmin->setText("90");
  dialog.Edrawmax->setText("10");
  dialog.Bapplay->click();
  EXPECT_DOUBLE_EQ(array->GetDrawSettings().rangeMin, 10);
  EXPECT_DOUBLE_EQ(array->GetDrawSettings().rangeMax, 90);
}

TEST_F(SetArrayDrawingTest, MoreThanAHundredLevelsWarnAndOnlyTheFirstHundredAreWritten)
{
  array->SetLevelScheme(LevelSchemeStep, 5, 1, 0.5, 2, 4, 1, 2);
  const int count = array->GetLevelCount();
  ASSERT_GT(count, 101);
  const TContourLevel last = array->GetLevels()[count - 2];
  dialog.SetArray(array);
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].icon, QMessageBox::Warning);
  EXPECT_EQ(calls.messages[0].caption, "Предупреждение");
  EXPECT_EQ(calls.messages[0].text,
            QString("Число изолиний слишком велико (%1).\nБудут отображены первые 100").arg(count));
  EXPECT_EQ(dialog.LevelControls().size(), 298u);
  ValueEdit(98)->setText("-1");
  dialog.Bapplay->click();
  EXPECT_DOUBLE_EQ(array->GetLevels()[98].value, -1);
  EXPECT_EQ(array->GetLevelCount(), count);
  EXPECT_DOUBLE_EQ(array->GetLevels()[count - 2].value, last.value);
}

} // namespace
