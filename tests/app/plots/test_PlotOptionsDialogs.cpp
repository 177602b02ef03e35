#include "plots/FormArrayPlotOptions.h"
#include "plots/FormDimPlotOptions.h"
#include "plots/FormTimePlotOptions.h"
#include "plots/FormTreePlotOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

QStringList Items(const QComboBox* combo)
{
  QStringList items;
  for (int i = 0; i < combo->count(); ++i)
    items << combo->itemText(i);
  return items;
}

TEST(PlotKindOptions, EachKindAddsItsListsAndTheyTakeNoTypedText)
{
  TFTimePlotOptions* time = FTimePlotOptions();
  EXPECT_EQ(time, FTimePlotOptions());
  EXPECT_EQ(time->CBxstyle->count(), 10);
  EXPECT_EQ(time->CBxstyle->itemData(4).toInt(), 220);
  time->SetTimeUnits({{"даты", 0}, {"секунды", 220}});
  EXPECT_EQ(Items(time->CBxstyle), (QStringList{"даты", "секунды"}));
  EXPECT_EQ(time->CBxstyle->itemData(1).toInt(), 220);

  EXPECT_EQ(Items(FTreePlotOptions()->CBxstyle).size(), 7);
  EXPECT_EQ(Items(FArrayPlotOptions()->CBsmooth), (QStringList{"нет", "точечное", "билинейное"}));
  for (const QComboBox* combo : std::initializer_list<const QComboBox*>{FArrayPlotOptions()->CBsmooth, FTreePlotOptions()->CBxstyle,
 time->CBtitleAlign})
    EXPECT_FALSE(combo->isEditable());
}

TEST(PlotKindOptions, TheOwnDependenceEditsFollowTheirBox)
{
  TFDimPlotOptions dialog;
  EXPECT_FALSE(dialog.Ea->isEnabled());
  dialog.CBcustom->setChecked(true);
  EXPECT_TRUE(dialog.Ea->isEnabled());
  EXPECT_TRUE(dialog.Eb->isEnabled());
  dialog.CBcustom->setChecked(false);
  EXPECT_FALSE(dialog.Eb->isEnabled());
}

} // namespace
