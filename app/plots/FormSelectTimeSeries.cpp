#include "plots/FormSelectTimeSeries.h"

#include "plots/FormSimplePlotOptions.h"

#include "data/TagStream.h"
#include "data/TimeSerie.h"
#include "model/FormModel.h"

#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>
#include <cstring>

namespace {

constexpr int ButtonGap = 20;
constexpr int ButtonBand = 40;
constexpr int32_t KeySize = 8;

} // namespace

bool IsChosen(const TAxisLists<TSeriesKey>& lists, const TSeriesKey& key)
{
  return std::any_of(lists.begin(), lists.end(), [&](const std::vector<TSeriesKey>& list) {
    return std::find(list.begin(), list.end(), key) != list.end();
  });
}

TSeriesKey KeyOf(const TTimeSerie& series)
{
  return {series.quantityId, series.objectId};
}

void SaveKeyLists(TTagStream& stream, const TAxisLists<TSeriesKey>& lists)
{
  for (const auto& list : lists) {
    std::vector<std::vector<uint8_t>> records;
    for (const TSeriesKey& key : list) {
      std::vector<uint8_t> record(KeySize);
      std::memcpy(record.data(), &key.quantityId, 4);
      std::memcpy(record.data() + 4, &key.objectId, 4);
      records.push_back(std::move(record));
    }
    stream.WriteRecordList(records, KeySize);
  }
}

void LoadKeyLists(TTagStream& stream, TAxisLists<TSeriesKey>& lists)
{
  for (auto& list : lists) {
    std::vector<std::vector<uint8_t>> records;
    stream.ReadRecordList(records, KeySize);
    list.clear();
    for (const auto& record : records)
      if (record.size() >= KeySize) {
        TSeriesKey key;
        std::memcpy(&key.quantityId, record.data(), 4);
        std::memcpy(&key.objectId, record.data() + 4, 4);
        list.push_back(key);
      }
  }
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
    item->setCheckState(IsChosen(selected, KeyOf(*series)) ? Qt::Checked : Qt::Unchecked);
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
