#include "views3d/FormArray3DSelect.h"

#include "data/Cp1251.h"
#include "gis/GIS.h"
#include "gis/GObj.h"
#include "gis/ObjectTypeCode.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The order the list shows names in: letters of either case alike, by their
// code-page-1251 bytes, so that it is the same on every machine.
std::string SortKey(const std::string& name)
{
  std::string key = Utf8ToCp1251(name);
  for (char& c : key) {
    auto b = static_cast<uint8_t>(c);
    if (b >= 'A' && b <= 'Z')
      b = static_cast<uint8_t>(b + 32);
    else if (b >= 0xC0 && b <= 0xDF)
      b = static_cast<uint8_t>(b + 32);
    else if (b == 0xA8) // Ё
      b = 0xB8;
    c = static_cast<char>(b);
  }
  return key;
}

} // namespace

TFArray3DSelect::TFArray3DSelect(QWidget* parent) : TCubeDialog(parent)
{
  auto u = [](const char* text) { return QString::fromUtf8(text); };
  setObjectName(QStringLiteral("FArray3DSelect"));
  setWindowTitle(u("Массивы"));
  setMinimumSize(200, 150);
  CBarrays = new QListWidget(this);
  CBarrays->setObjectName(QStringLiteral("CBarrays"));
  Bok = new QPushButton(u("Ok"), this);
  Bcancel = new QPushButton(u("Отмена"), this);
  Bok->setAutoDefault(false);
  Bcancel->setAutoDefault(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CBarrays);
  // The buttons are placed by hand around the middle of the client area.
  layout->addSpacing(Bok->sizeHint().height() + 8);
  connect(Bok, &QPushButton::clicked, this, [this] { BokClick(); });
  connect(Bcancel, &QPushButton::clicked, this, [this] { BcancelClick(); });
  resize(250, 250);
}

void TFArray3DSelect::FormActivate()
{
  CBarrays->clear();
  if (!Gis)
    return;
  std::vector<std::pair<std::string, TGObj*>> arrays;
  for (int n = 0; TGObj* object = Gis->GetObjectOfType(n, ObjectTypeArray3D); ++n)
    arrays.emplace_back(SortKey(object->GetName()), object);
  std::stable_sort(arrays.begin(), arrays.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [key, object] : arrays) {
    auto* item = new QListWidgetItem(QString::fromStdString(object->GetName()), CBarrays);
    item->setData(Qt::UserRole, object->GetId());
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    const bool chosen = std::find(SelectedIds.begin(), SelectedIds.end(), object->GetId()) != SelectedIds.end();
    item->setCheckState(chosen ? Qt::Checked : Qt::Unchecked);
  }
}

void TFArray3DSelect::BokClick()
{
  // With nothing to choose from the choice stays as it was.
  if (CBarrays->count() == 0) {
    accept();
    return;
  }
  auto checked = [this](int row) { return CBarrays->item(row)->checkState() == Qt::Checked; };
  bool any = false;
  for (int row = 0; row < CBarrays->count(); ++row)
    any = any || checked(row);
  // An empty choice keeps the first array.
  if (!any)
    CBarrays->item(0)->setCheckState(Qt::Checked);
  SelectedIds.clear();
  for (int row = 0; row < CBarrays->count(); ++row)
    if (checked(row))
      SelectedIds.push_back(CBarrays->item(row)->data(Qt::UserRole).toInt());
  accept();
}

void TFArray3DSelect::BcancelClick() { reject(); }

void TFArray3DSelect::resizeEvent(QResizeEvent* event)
{
  TCubeDialog::resizeEvent(event);
  const int middle = width() / 2;
  const int top = height() - Bok->sizeHint().height() - 6;
  Bok->move(middle - Bok->width() - 10, top);
  Bcancel->move(middle + 10, top);
}

TFArray3DSelect* FArray3DSelect() { return OneDialogOfTheRun<TFArray3DSelect>(); }
