#include "views3d/FormArray3DInfo.h"

#include "views3d/FormArray3DSelect.h"

#include "base/ModalCalls.h"

#include "data/TagStream.h"
#include "data/TextConversion.h"
#include "gis/GArray3D.h"
#include "gis/GArrayI.h"
#include "gis/GIS.h"
#include "gis/ObjectTypeCode.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int32_t GroupArray3DInfo = 1112;

QString u(const char* text) { return QString::fromUtf8(text); }
QString q(const std::string& text) { return QString::fromStdString(text); }

QString ValueText(double value) { return q(FloatToStrSep(value, ffGeneral, 6, 0)); }

struct TRowText {
  QString name, value, units;
};

} // namespace

TFArray3DInfo::TFArray3DInfo(TFMain* mainWindow, QWidget* owner) : TFGisView(mainWindow, owner)
{
  SetTag(WindowKindArray3DInfo);
  SetAutoCaption(u("Массив"));
  setAttribute(Qt::WA_DeleteOnClose);
  SGdata = new QTableWidget(0, 3, this);
  SGdata->setObjectName(QStringLiteral("SGdata"));
  SGdata->horizontalHeader()->hide();
  SGdata->verticalHeader()->hide();
  SGdata->verticalHeader()->setDefaultSectionSize(15);
  SGdata->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(SGdata);
  // Anywhere on the grid, also where it has no rows.
  SGdata->viewport()->installEventFilter(this);
  resize(250, 70);
}

void TFArray3DInfo::SGdataClick()
{
  TFArray3DSelect* dialog = FArray3DSelect();
  dialog->Gis = FViewGis;
  dialog->SelectedIds = FArrayIds;
  const bool accepted = ModalCalls().ExecDialog(dialog) == QDialog::Accepted;
  dialog->Gis = nullptr;
  if (!accepted)
    return;
  FArrayIds = dialog->SelectedIds;
  Refresh();
}

bool TFArray3DInfo::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == SGdata->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    SGdataClick();
    return true;
  }
  return TFGisView::eventFilter(watched, event);
}

void TFArray3DInfo::mouseDoubleClickEvent(QMouseEvent* event)
{
  TFGisView::mouseDoubleClickEvent(event);
  SGdataClick();
}

void TFArray3DInfo::SetPoints(int32_t arrayId, std::vector<TPoint> points)
{
  if (std::find(FArrayIds.begin(), FArrayIds.end(), arrayId) == FArrayIds.end())
    FArrayIds.push_back(arrayId);
  FPoints = std::move(points);
  Refresh();
}

void TFArray3DInfo::Refresh()
{
  if (!FViewGis)
    return;
  QString a, b, c;
  SGdata->setRowCount(static_cast<int>(FArrayIds.size()));
  for (int row = 0; row < static_cast<int>(FArrayIds.size()); ++row) {
    TRowText text;
    TGObj* object = FViewGis->FindObjectById(FArrayIds[row]);
    if (auto* volume = dynamic_cast<TGArray3D*>(object)) {
      text.name = q(volume->GetName());
      text.units = q(volume->GetUnitText());
      text.value = QStringLiteral("-");
      if (!FPoints.empty()) {
        // A regular volume shows the nearest picked point only, inside or not.
        const TPoint& p = FPoints.front();
        int i = 0, j = 0, k = 0;
        const bool inside = volume->GetCellIndex(p[0], p[1], p[2], i, j, k, false);
        a = QStringLiteral("(%1, %2, %3)").arg(i).arg(j).arg(k);
        double value = 0;
        if (inside && volume->GetCellValue(i, j, k, value))
          text.value = ValueText(value);
      }
    } else if (auto* irregular = dynamic_cast<TGArrayI*>(object)) {
      text.name = q(irregular->GetName());
      text.units = q(irregular->GetUnitText());
      text.value = QStringLiteral("-");
      const bool atNodes = irregular->GetValueLocation() == ValuesAtNodes;
      QString place = atNodes ? QStringLiteral("(p=?, z=?)") : QStringLiteral("(t=?, p=?)");
      for (const TPoint& p : FPoints) {
        int m = 0, n = 0;
        if (!irregular->LocatePoint(p[0], p[1], p[2], m, n))
          continue;
        place = atNodes ? QStringLiteral("(p=%1, z=%2)").arg(m).arg(n) : QStringLiteral("(t=%1, p=%2)").arg(m).arg(n);
        // A located index past the stored values (a mesh rebuilt without them) shows no value.
        const double* values = irregular->GetData();
        if (values && n >= 0 && n < irregular->GetCellCount())
          text.value = ValueText(values[n]);
        break;
      }
      (atNodes ? b : c) = place;
    }
    SGdata->setItem(row, 0, new QTableWidgetItem(text.name));
    SGdata->setItem(row, 1, new QTableWidgetItem(text.value));
    SGdata->setItem(row, 2, new QTableWidgetItem(text.units));
  }
  SetAutoCaption(a + " " + b + " " + c);
  FitColumns();
  TFSimpleView::Refresh();
}

void TFArray3DInfo::FitColumns()
{
  const int width = SGdata->viewport()->width();
  SGdata->setColumnWidth(0, width * 2 / 4);
  SGdata->setColumnWidth(2, width / 6);
  SGdata->setColumnWidth(1, width - width * 2 / 4 - width / 6);
}

void TFArray3DInfo::resizeEvent(QResizeEvent* event)
{
  TFGisView::resizeEvent(event);
  FitColumns();
}

void TFArray3DInfo::showEvent(QShowEvent* event)
{
  TFGisView::showEvent(event);
  Refresh();
}

void TFArray3DInfo::SaveToStream(TTagStream* stream)
{
  TFGisView::SaveToStream(stream);
  stream->SetGroup(GroupArray3DInfo);
}

void TFArray3DInfo::LoadFromStream(TTagStream* stream)
{
  TFGisView::LoadFromStream(stream);
  stream->SetGroup(GroupArray3DInfo);
}
