// The tree plot over a real breakdown model: channel quantities chosen from the
// popup, the four channel modes with the pick of the 3D view, the fixed element
// asked as an integer in range, the length units and the project record.

#include "ActingModalCalls.h"
#include "ModelRunSuite.h"

#include "plots/FormTreePlot.h"
#include "plots/FormTreePlotOptions.h"

#include "base/ModalCalls.h"
#include "base/WindowKind.h"
#include "data/Stream.h"
#include "data/TagStream.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class TreePlot : public TModelRunSuite<TFModel::StopOnEvent> {
protected:
  void SetUp() override
  {
    plot = std::make_unique<TFTreePlot>(nullptr, nullptr, &rig->gis, rig->model.get());
    plot->resize(500, 350);
  }

  TFBitModel& Model() { return *rig->model; }
  int LastIndex() { return Model().GetSnapshot().NodeCount() - 1; }

  // The popup's item of a channel quantity, along its caption path.
  QAction* MenuItem(int id)
  {
    emit plot->PMGraphic->aboutToShow();
    QMenu* menu = plot->PMGraphic;
    for (int level = 0; level < Model().GetChannelDataLevels(); ++level) {
      const QString caption = QString::fromStdString(Model().GetChannelDataCaption(id, level));
      QAction* found = nullptr;
      for (QAction* item : menu->actions())
        if (item->text() == caption)
          found = item;
      if (!found || level == Model().GetChannelDataLevels() - 1)
        return found;
      menu = found->menu();
    }
    return nullptr;
  }

  std::vector<double> ChannelX(int id, int end)
  {
    int count = 0;
    double* x = nullptr;
    double* y = nullptr;
    Model().GetChannelData(id, end, &count, &x, &y);
    std::vector<double> result(x, x + count);
    std::free(x);
    std::free(y);
    return result;
  }

  std::vector<double> PlottedX()
  {
    return plot->GetSeriesData()[0].at(0).x;
  }

  std::vector<QAction*> Checked()
  {
    std::vector<QAction*> checked;
    for (QAction* item : plot->PMIChannel->actions())
      if (item->isChecked())
        checked.push_back(item);
    return checked;
  }

  std::unique_ptr<TFTreePlot> plot;
};

TEST_F(TreePlot, ANewWindowShowsTheLongestChannelInMetres)
{
  EXPECT_EQ(plot->Tag(), WindowKindTreePlot);
  EXPECT_EQ(plot->ChannelMode, TFTreePlot::Longest);
  ASSERT_GT(Model().GetChannelDataCount(), 1);
  const int id = Model().GetChannelDataId(0);
  QAction* item = MenuItem(id);
  ASSERT_NE(item, nullptr);
  item->trigger();
  ASSERT_TRUE(plot->LastBuild().built);
  EXPECT_EQ(plot->LastBuild().bottom.title, QString::fromUtf8("Длина, м"));
  EXPECT_TRUE(MenuItem(id)->isChecked());
  const std::vector<double> longest = ChannelX(id, TFTreePlot::DeepestElement);
  ASSERT_GT(longest.size(), 1u);
  EXPECT_EQ(PlottedX(), longest);

  // Angstroms from the options dialog: lengths times 1e10.
  TActingModalCalls calls;
  TModalCallsScope scope(calls);
  calls.dialogAnswers = {QDialog::Accepted};
  calls.whileShown = [](QDialog* shown) { static_cast<TFTreePlotOptions*>(shown)->CBxstyle->setCurrentIndex(0); };
  plot->PMIOptions->trigger();
  EXPECT_EQ(plot->LastBuild().bottom.title, QString::fromUtf8("Длина, A"));
  double lastX = 0;
  for (const TChartSeries& s : plot->LastBuild().series)
    if (s.tag == SeriesTagData && !s.points.empty())
      lastX = s.points.back().x();
  EXPECT_NEAR(lastX, longest.back() * 1e10, longest.back() * 1e-2);
}

TEST_F(TreePlot, ChannelModesAndThePickOfThe3DView)
{
  const int id = Model().GetChannelDataId(0);
  plot->SeriesItemClick({id, 0});
  const int last = LastIndex();
  ASSERT_GT(last, 2);

  struct {
    QAction* TFTreePlot::*item;
    int32_t mode;
    int32_t index;
  } cases[] = {
      {&TFTreePlot::PMINewChannel, TFTreePlot::LastGrowth, TFTreePlot::LastElement},
      {&TFTreePlot::PMILookupChannel, TFTreePlot::ByPointer, last},
      {&TFTreePlot::PMILongChannel, TFTreePlot::Longest, TFTreePlot::DeepestElement},
  };
  for (const auto& c : cases) {
    (plot.get()->*c.item)->trigger();
    EXPECT_EQ(plot->ChannelMode, c.mode);
    EXPECT_EQ(plot->ChannelIndex, c.index);
    emit plot->PMGraphic->aboutToShow();
    EXPECT_EQ(Checked(), std::vector<QAction*>{plot.get()->*c.item});
  }
  EXPECT_EQ(PlottedX(), ChannelX(id, TFTreePlot::DeepestElement));

  // A pick in the 3D view changes nothing in mode 3 and moves the channel in mode 2.
  plot->SetPointedChannel(2);
  EXPECT_EQ(plot->ChannelIndex, TFTreePlot::DeepestElement);
  plot->PMILookupChannel->trigger();
  plot->SetPointedChannel(2);
  EXPECT_EQ(plot->ChannelIndex, 2);
  EXPECT_EQ(PlottedX(), ChannelX(id, 2));
}

TEST_F(TreePlot, TheFixedElementIsAnIntegerInRange)
{
  const int last = LastIndex();
  TScriptedModalCalls calls;
  TModalCallsScope scope(calls);
  calls.inputAnswers = {QString("abc"), QString("-1"), QString::number(last + 1), QString("2.5"), std::nullopt,
                        QString(" 3 ")};
  for (int refused = 0; refused < 4; ++refused) {
    plot->PMIFixChannel->trigger();
    EXPECT_EQ(plot->ChannelMode, TFTreePlot::Longest);
    EXPECT_EQ(plot->ChannelIndex, TFTreePlot::DeepestElement);
  }
  EXPECT_EQ(calls.messages.size(), 4u);
  ASSERT_FALSE(calls.inputs.empty());
  EXPECT_EQ(calls.inputs[0].caption, QString::fromUtf8("Номер конечного элемента"));
  EXPECT_TRUE(calls.inputs[0].prompt.endsWith(" " + QString::number(last)));
  EXPECT_EQ(calls.inputs[0].text, QString::number(last));

  plot->PMIFixChannel->trigger(); // cancelled
  EXPECT_EQ(plot->ChannelMode, TFTreePlot::Longest);
  plot->PMIFixChannel->trigger();
  EXPECT_EQ(plot->ChannelMode, TFTreePlot::Fixed);
  EXPECT_EQ(plot->ChannelIndex, 3);
  EXPECT_EQ(calls.messages.size(), 4u);
}

TEST_F(TreePlot, TheChoiceAndChannelComeBackFromTheProjectRecord)
{
  const int first = Model().GetChannelDataId(0);
  const int second = Model().GetChannelDataId(1);
  plot->SeriesItemClick({first, 0});
  plot->SeriesItemClick({second, 0});
  plot->PMILookupChannel->trigger();
  plot->SetPointedChannel(4);
  plot->Settings.XUnit = 3;
  TFTreePlot loaded(nullptr, nullptr, &rig->gis, rig->model.get());
  LoadRecord(loaded, SavedRecord(*plot));
  EXPECT_EQ(loaded.SelectedSeries, plot->SelectedSeries);
  EXPECT_EQ(loaded.ChannelMode, TFTreePlot::ByPointer);
  EXPECT_EQ(loaded.ChannelIndex, 4);
  EXPECT_EQ(loaded.Settings.XUnit, 3);
}

} // namespace
