#include "plots/FormSelectTimeSeries.h"

#include "plots/FormSimplePlotOptions.h"

#include "data/TimeSerie.h"
#include "model/FormModel.h"

#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>

namespace {

constexpr int ButtonGap = 20;
constexpr int ButtonBand = 40;

bool Contains(const TAxisLists<TSeriesKey>& lists, const TSeriesKey& key)
{
  return std::any_of(lists.begin(), lists.end(), [&](const std::vector<TSeriesKey>& list) {
    return std::find(list.begin(), list.end(), key) != list.end();
  });
}

} // namespace

TSeriesKey KeyOf(const TTimeSerie& series)
{
  return {series.quantityId, series.objectId};
}

QString SeriesCaption(const TFModel& model, const TTimeSerie& series)
{
  QStringList levels;
  const int depth = model.GetSeriesMenuDepth(&series);
  for (int level = 0; level < depth; ++level)
    levels << QString::fromStdString(model.GetSeriesMenuCaption(&series, level));
  return levels.join(", ");
}

TFSelectTimeSeries::TFSelectTimeSeries(QWidget* parent) : QDialog(parent)
{
  setObjectName("FSelectTimeSeries");
  setWindowTitle(QString::fromUtf8("Выбор временного графика"));
  Lts = new QListWidget(this);
  Lts->setObjectName("Lts");
  Bok = new QPushButton("Ok", this);
  Bok->setObjectName("Bok");
  Bok->setFlat(true);
  Bcancel = new QPushButton(QString::fromUtf8("Отмена"), this);
  Bcancel->setObjectName("Bcancel");
  Bcancel->setFlat(true);
  connect(Bok, &QPushButton::clicked, this, &QDialog::accept);
  connect(Bcancel, &QPushButton::clicked, this, &QDialog::reject);
  resize(300, 400);
}

void TFSelectTimeSeries::FillList(const TFModel& model, const TAxisLists<TSeriesKey>& selected)
{
  Lts->clear();
  for (int i = 0; i < model.GetSeriesCount(); ++i) {
    const TTimeSerie* series = model.GetSeries(i);
    if (!series)
      continue;
    auto* item = new QListWidgetItem(SeriesCaption(model, *series), Lts);
    item->setData(Qt::UserRole, i);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Contains(selected, KeyOf(*series)) ? Qt::Checked : Qt::Unchecked);
  }
}

void TFSelectTimeSeries::resizeEvent(QResizeEvent* event)
{
  QDialog::resizeEvent(event);
  const int w = width();
  const int h = height();
  Lts->setGeometry(0, 0, w, std::max(0, h - ButtonBand));
  const int top = h - ButtonBand + (ButtonBand - Bok->sizeHint().height()) / 2;
  const int centre = w / 2;
  const int bw = Bok->sizeHint().width();
  Bok->setGeometry(centre - ButtonGap - bw, top, bw, Bok->sizeHint().height());
  Bcancel->setGeometry(centre + ButtonGap, top, Bcancel->sizeHint().width(), Bcancel->sizeHint().height());
}

TFSelectTimeSeries* FSelectTimeSeries()
{
  return SharedPlotOptions<TFSelectTimeSeries>();
}
