#pragma once
// A small plot kind that drives the chart window base in the tests: it shows
// the series it is given and adds one data-choice item to the popup menu.

#include "plots/FormSimplePlot.h"

#include <QAction>
#include <QMenu>

class TTestPlot : public TFSimplePlot {
public:
  explicit TTestPlot(TPlotSeriesData series, bool ready = true) : TFSimplePlot(nullptr, nullptr), Data(std::move(series))
  {
    if (ready)
      MarkReady();
  }

  TPlotSeriesData Data;
  bool WithData = true;
  QAction* ChoiceItem = nullptr;

  TPlotXAxis GetXAxis() override { return {"t, s", 0, 1}; }
  bool HasData() override { return WithData; }
  TPlotAxisTitles GetAxisTitles() override
  {
    TPlotAxisTitles titles;
    titles.names = {"U", "I"};
    titles.units = {"V", "A"};
    titles.used = {!Data[0].empty(), !Data[1].empty()};
    return titles;
  }
  TPlotSeriesData GetSeriesData() override { return Data; }
  void BuildDataMenu(QMenu* menu) override
  {
    ChoiceItem = new QAction("choice", menu);
    menu->insertAction(menu->actions().value(0), ChoiceItem);
  }
  void ClearDataMenu(QMenu*) override
  {
    delete ChoiceItem;
    ChoiceItem = nullptr;
  }
};
