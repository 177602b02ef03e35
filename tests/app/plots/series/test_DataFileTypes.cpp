// The file type chosen in the data dialogs of the series windows comes back
// the next time, also in a fresh window after the program restarted.
#include "plots/series/FormSeriesDataView.h"
#include "plots/series/FormSeriesDataViewEx.h"
#include "plots/series/FrameEditTimeSeries.h"

#include "SeriesTestSupport.h"
#include "base/ScriptedModalCalls.h"
#include "data/TimeConversion.h"

#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Opens one file dialog of a window made afresh, as after a restart.
using TOpenDialog = std::function<void()>;

struct TFileTypeCase {
  const char* name;
  const char* value;
  TOpenDialog open;
};

void SaveFromSeriesTable()
{
  TFSeriesDataViewEx view;
  auto serie = MakeSerie({{0, 1}, {10, 2}}, "U", "кВ");
  const TTimeSerie* series[] = {serie.get()};
  view.ShowSeries(series, 1, TimeCodeSeconds, "t");
  view.Viewer->Bsave->click();
}

void LoadIntoSeriesTable()
{
  TFmEditTimeSeries table;
  auto serie = MakeSerie({{0, 1}});
  const TTimeSerie* series[] = {serie.get()};
  table.SetSeries(series, 1, TimeCodeSeconds, "t");
  table.Bload->click();
}

void SaveFromSeriesDataView()
{
  TFSeriesDataView view;
  view.ShowSerie(*MakeSerie({{0, 1}}));
  view.SBsave->click();
}

// The stored text as a new settings object over the same file reads it.
QString StoredValue(const char* name)
{
  return QSettings("Orvalen", "Kestovar").value(name).toString();
}

class DataFileTypeTest : public ::testing::TestWithParam<TFileTypeCase> {};

TEST_P(DataFileTypeTest, ChosenTypeIsOfferedAgainAfterARestart)
{
  const TFileTypeCase& c = GetParam();
  QSettings("Orvalen", "Kestovar").remove(c.value);
  QTemporaryDir dir;
  const QString path = dir.filePath("data.dat");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("0\t1\n");
  file.close();

  TScriptedModalCalls calls;
  TModalCallsScope scope(calls);
  calls.fileAnswers.push_back(path);
  calls.fileTypeAnswers.push_back(2); // "dat"
  c.open();
  ASSERT_EQ(calls.fileTypeOffers.size(), 1u);
  EXPECT_EQ(calls.fileTypeOffers[0], 1); // nothing stored yet: the first type
  EXPECT_EQ(StoredValue(c.value), "2");

  // A cancelled dialog leaves the stored type alone.
  calls.fileTypeAnswers.push_back(3);
  c.open();
  ASSERT_EQ(calls.fileTypeOffers.size(), 2u);
  EXPECT_EQ(calls.fileTypeOffers[1], 2);
  EXPECT_EQ(StoredValue(c.value), "2");

  // A value that is not a number offers the first type.
  QSettings("Orvalen", "Kestovar").setValue(c.value, "dat");
  c.open();
  EXPECT_EQ(calls.fileTypeOffers.back(), 1);
}

INSTANTIATE_TEST_SUITE_P(SeriesWindows, DataFileTypeTest,
                         ::testing::Values(TFileTypeCase{"TableSave", "DataImpExt", SaveFromSeriesTable},
                                           TFileTypeCase{"TableLoad", "DataImpExt", LoadIntoSeriesTable},
                                           TFileTypeCase{"DataViewSave", "DataExpExt", SaveFromSeriesDataView}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
