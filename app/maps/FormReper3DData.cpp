#include "maps/FormReper3DData.h"

#include "base/ModalCalls.h"
#include "gis/GArray3D.h"
#include "gis/GIS.h"
#include "gis/GObj.h"
#include "gis/ObjectTypeCode.h"
#include "maps/FormArrayData.h"
#include "maps/Stringgrids.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <utility>

namespace {

TFReper3DData* theForm = nullptr;
TFReper3DData2* theSwappedForm = nullptr;

// A cell keeps the exact number it was shown with while its text is the one
// shown, so that opening and closing the table does not round the entries to
// the digits on screen.
constexpr int ExactRole = Qt::UserRole + 1;

QString NumberText(double value)
{
  return QString::number(value, 'g', 6);
}

void SetNumberCell(QTableWidget& grid, int col, int row, double value)
{
  SetGridCell(grid, col, row, NumberText(value));
  if (QTableWidgetItem* item = grid.item(row, col))
    item->setData(ExactRole, value);
}

// The number of a cell; nothing for an empty cell or a text that does not
// stand for a finite number.
std::optional<double> CellNumber(const QTableWidget& grid, int col, int row)
{
  const QTableWidgetItem* item = grid.item(row, col);
  const QString text = item ? item->text().trimmed() : QString();
  if (text.isEmpty())
    return std::nullopt;
  const QVariant exact = item->data(ExactRole);
  if (exact.isValid() && text == NumberText(exact.toDouble()))
    return exact.toDouble();
  const double value = ParseCellText(text);
  if (!std::isfinite(value))
    return std::nullopt;
  return value;
}

// A three-dimensional array names itself with its current level, which says
// nothing about values that belong to every level.
QString ObjectName(const TGObj* object)
{
  return object ? QString::fromStdString(object->TGObj::GetName()) : QString();
}

bool RowIsEmpty(const QTableWidget& grid, int row)
{
  for (int c = 0; c < grid.columnCount(); ++c)
    if (!GridCell(grid, c, row).trimmed().isEmpty())
      return false;
  return true;
}

// A damaged file may hold a depth that is not a number: it sorts last and
// still finds its own row.
bool DepthBefore(double a, double b)
{
  return std::isnan(b) ? !std::isnan(a) : a < b;
}

bool SameDepth(double a, double b)
{
  return a == b || (std::isnan(a) && std::isnan(b));
}

// (position, value) pairs of one code, sorted, to tell whether a store changed them.
std::vector<std::pair<double, double>> EntriesOf(const TGObj& object, int code)
{
  std::vector<std::pair<double, double>> entries;
  double value = 0, position = 0;
  for (int n = 0; object.GetReperValue(n, code, value, position); ++n)
    entries.emplace_back(position, value);
  std::sort(entries.begin(), entries.end());
  return entries;
}

} // namespace

std::vector<TGObj*> ReperKeyObjects(const TGIS& gis)
{
  std::vector<TGObj*> objects;
  for (int n = 0; n < gis.GetObjectCount(); ++n)
    if (TGObj* object = gis.GetObject(n); object && gis.TypeFlagBit1(object->GetTypeCode()))
      objects.push_back(object);
  return objects;
}

std::vector<TGArray3D*> ReperTargetArrays(const TGIS& gis)
{
  std::vector<TGArray3D*> arrays;
  std::set<int> codes;
  for (int n = 0; n < gis.GetObjectCount(); ++n) {
    TGObj* object = gis.GetObject(n);
    auto* array = object && object->GetTypeCode() == ObjectTypeArray3D ? dynamic_cast<TGArray3D*>(object) : nullptr;
    if (array && !array->IsReadOnly() && codes.insert(array->GetCode()).second)
      arrays.push_back(array);
  }
  return arrays;
}

TFReper3DData::TFReper3DData(QWidget* owner) : TFReper3DData(owner, QStringLiteral("FReper3DData"), false) {}

TFReper3DData::TFReper3DData(QWidget* owner, const QString& formName, bool swapped)
    : TFSized(owner, formName), byArray(swapped)
{
  BuildDesign();
  RestorePlacement();
}

void TFReper3DData::BuildDesign()
{
  setWindowTitle(QStringLiteral("Реперные значения для массивов"));
  resize(540, 360);
  setMinimumSize(360, 240);
  auto* layout = new QVBoxLayout(this);
  Splitter = new QSplitter(Qt::Horizontal, this);
  layout->addWidget(Splitter);

  Lgroup = new QListWidget(Splitter);
  Splitter->addWidget(Lgroup);

  auto* right = new QWidget(Splitter);
  auto* column = new QVBoxLayout(right);
  column->setContentsMargins(0, 0, 0, 0);
  auto* values = new QHBoxLayout;
  Lvalues = new QLabel(QStringLiteral("Реперные значения:"), right);
  Lunit = new QLabel(right);
  values->addWidget(Lvalues);
  values->addWidget(Lunit);
  values->addStretch();
  column->addLayout(values);
  // Names what the columns are: arrays here, reper objects in the swapped table.
  Lheading = new QLabel(byArray ? QStringLiteral("объекты") : QStringLiteral("массивы"), right);
  column->addWidget(Lheading);
  SGdata = new QTableWidget(3, 3, right);
  SGdata->horizontalHeader()->hide();
  SGdata->verticalHeader()->hide();
  SGdata->verticalHeader()->setDefaultSectionSize(16);
  SGdata->setSelectionMode(QAbstractItemView::ContiguousSelection);
  SGdata->setContextMenuPolicy(Qt::CustomContextMenu);
  SGdata->installEventFilter(this);
  SetGridFixed(*SGdata, 0, 1);
  column->addWidget(SGdata);
  Splitter->addWidget(right);
  Splitter->setStretchFactor(1, 1);
  Splitter->setSizes({140, 380});

  Bok = new QPushButton(QStringLiteral("Ok"), this);
  Bok->setDefault(true);
  layout->addWidget(Bok, 0, Qt::AlignRight);

  PMdata = new QMenu(this);
  PMIedit = AddCheckable(PMdata, QStringLiteral("Редактирование"), true);
  PMIselect = AddCheckable(PMdata, QStringLiteral("Выделение"), false);
  PMdata->addSeparator();
  PMICopy = PMdata->addAction(QStringLiteral("Копировать"));
  PMICopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  PMIPast = PMdata->addAction(QStringLiteral("Вставить"));
  PMIPast->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));

  connect(Bok, &QPushButton::clicked, this, [this] { done(1); });
  connect(Lgroup, &QListWidget::currentRowChanged, this, &TFReper3DData::LgroupClick);
  connect(SGdata, &QTableWidget::cellChanged, this, [this] {
    if (!filling)
      KeepTwoEmptyRows();
  });
  connect(SGdata, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PMdata->popup(SGdata->viewport()->mapToGlobal(at)); });
  connect(PMIedit, &QAction::triggered, this, &TFReper3DData::PMIeditClick);
  connect(PMIselect, &QAction::triggered, this, &TFReper3DData::PMIselectClick);
  connect(PMICopy, &QAction::triggered, this, &TFReper3DData::PMICopyClick);
  connect(PMIPast, &QAction::triggered, this, &TFReper3DData::PMIPastClick);
}

void TFReper3DData::SetGis(TGIS* shownGis, TGObj* first)
{
  gis = shownGis;
  firstId = first ? first->GetId() : 0;
}

void TFReper3DData::ShowModal()
{
  if (!FormShow())
    return;
  ModalCalls().ExecDialog(this);
  FormClose();
}

bool TFReper3DData::CollectGroups()
{
  reperIds.clear();
  arrayIds.clear();
  for (const TGObj* object : ReperKeyObjects(*gis))
    reperIds.push_back(object->GetId());
  if (reperIds.empty()) {
    ModalCalls().Message(this, QMessageBox::Information, QStringLiteral("Сообщение"),
                         QStringLiteral("Нет реперных объектов"), QMessageBox::Ok);
    return false;
  }
  for (const TGArray3D* array : ReperTargetArrays(*gis))
    arrayIds.push_back(array->GetId());
  if (arrayIds.empty()) {
    ModalCalls().Message(this, QMessageBox::Information, QStringLiteral("Сообщение"),
                         QStringLiteral("Нет исходных трехмерных массивов"), QMessageBox::Ok);
    return false;
  }
  return true;
}

int TFReper3DData::GroupCount() const
{
  return static_cast<int>(byArray ? arrayIds.size() : reperIds.size());
}

int TFReper3DData::ColumnCount() const
{
  return static_cast<int>(byArray ? reperIds.size() : arrayIds.size());
}

TFReper3DData::TEntryKey TFReper3DData::KeyOf(int group, int column) const
{
  const std::int32_t reperId = reperIds[static_cast<size_t>(byArray ? column : group)];
  const TGObj* array = gis->FindObjectById(arrayIds[static_cast<size_t>(byArray ? group : column)]);
  return {reperId, array ? array->GetCode() : 0};
}

bool TFReper3DData::FormShow()
{
  shownGroup = -1;
  if (!gis || !CollectGroups())
    return false;
  int first = 0;
  const TGObj* firstObject = gis->FindObjectById(firstId);
  {
    const QSignalBlocker quiet(Lgroup);
    Lgroup->clear();
    for (int g = 0; g < GroupCount(); ++g) {
      const TGObj* object = gis->FindObjectById(byArray ? arrayIds[static_cast<size_t>(g)] : reperIds[static_cast<size_t>(g)]);
      Lgroup->addItem(ObjectName(object));
      // The swapped table opens on the array's quantity, whichever array of it was asked for.
      if (firstObject && (byArray ? object && object->GetCode() == firstObject->GetCode() : object == firstObject))
        first = g;
    }
  }
  PMIeditClick();
  ShowGroup(first);
  return true;
}

void TFReper3DData::FormClose()
{
  StoreGroup();
  shownGroup = -1;
  SGdata->clearSelection();
  gis = nullptr;
}

void TFReper3DData::LgroupClick(int row)
{
  if (row >= 0 && row < GroupCount() && row != shownGroup)
    ShowGroup(row);
}

void TFReper3DData::ShowGroup(int group)
{
  StoreGroup();
  shownGroup = group;
  {
    const QSignalBlocker quiet(Lgroup);
    Lgroup->setCurrentRow(group);
  }
  FillTable();
  Lunit->setText(UnitOfColumns());
}

QString TFReper3DData::UnitOfColumns() const
{
  std::set<std::string> units;
  for (size_t a = 0; a < arrayIds.size(); ++a)
    if (!byArray || static_cast<int>(a) == shownGroup)
      if (const auto* array = dynamic_cast<const TGArray*>(gis->FindObjectById(arrayIds[a])))
        units.insert(array->GetUnitText());
  return units.size() == 1 ? QString::fromStdString(*units.begin()) : QString();
}

void TFReper3DData::FillTable()
{
  struct TRow {
    double depth;
    std::vector<std::optional<double>> values;
  };
  const int columns = ColumnCount();
  std::vector<TRow> rows;
  for (int c = 0; c < columns; ++c) {
    const TEntryKey key = KeyOf(shownGroup, c);
    const TGObj* object = gis->FindObjectById(key.objectId);
    double value = 0, position = 0;
    for (int n = 0; object && object->GetReperValue(n, key.code, value, position); ++n) {
      auto row = std::find_if(rows.begin(), rows.end(), [&](const TRow& r) { return SameDepth(r.depth, position); });
      if (row == rows.end())
        row = rows.insert(rows.end(), TRow{position, std::vector<std::optional<double>>(static_cast<size_t>(columns))});
      row->values[static_cast<size_t>(c)] = value;
    }
  }
  std::stable_sort(rows.begin(), rows.end(), [](const TRow& a, const TRow& b) { return DepthBefore(a.depth, b.depth); });

  filling = true;
  SGdata->clearContents();
  SGdata->setColumnCount(columns + 1);
  SGdata->setRowCount(static_cast<int>(rows.size()) + 3);
  SetGridCell(*SGdata, 0, 0, QStringLiteral("глубина (м)"));
  for (int c = 0; c < columns; ++c) {
    const TGObj* object = gis->FindObjectById(byArray ? reperIds[static_cast<size_t>(c)] : arrayIds[static_cast<size_t>(c)]);
    SetGridCell(*SGdata, c + 1, 0, ObjectName(object));
  }
  SetGridFixed(*SGdata, 0, 1);
  for (size_t r = 0; r < rows.size(); ++r) {
    const int row = static_cast<int>(r) + 1;
    SetNumberCell(*SGdata, 0, row, rows[r].depth);
    for (int c = 0; c < columns; ++c)
      if (const auto& value = rows[r].values[static_cast<size_t>(c)])
        SetNumberCell(*SGdata, c + 1, row, *value);
  }
  filling = false;
  SGdata->setCurrentCell(1, 0);
}

void TFReper3DData::StoreGroup()
{
  if (!gis || shownGroup < 0 || shownGroup >= GroupCount())
    return;
  // Moving off the current cell hands a text still in its editor to the grid.
  SGdata->setCurrentIndex(QModelIndex());
  std::vector<std::pair<int, double>> depths; // grid row, depth
  for (int row = 1; row < SGdata->rowCount(); ++row)
    if (const auto depth = CellNumber(*SGdata, 0, row))
      depths.emplace_back(row, *depth);
  for (int c = 0; c < ColumnCount(); ++c) {
    const TEntryKey key = KeyOf(shownGroup, c);
    TGObj* object = gis->FindObjectById(key.objectId);
    if (!object)
      continue;
    const auto before = EntriesOf(*object, key.code);
    object->DeleteReperValues(key.code);
    for (const auto& [row, depth] : depths)
      if (const auto value = CellNumber(*SGdata, c + 1, row))
        object->SetReperValue(*value, key.code, depth);
    if (EntriesOf(*object, key.code) != before)
      gis->SetModified(true);
  }
}

void TFReper3DData::KeepTwoEmptyRows()
{
  int empty = 0;
  for (int row = SGdata->rowCount() - 1; row >= 1 && empty < 2 && RowIsEmpty(*SGdata, row); --row)
    ++empty;
  if (empty < 2)
    SGdata->setRowCount(SGdata->rowCount() + 2 - empty);
}

void TFReper3DData::SetGridEditing(bool on)
{
  SGdata->setEditTriggers(on ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
}

void TFReper3DData::PMIeditClick()
{
  PMIedit->setChecked(true);
  PMIselect->setChecked(false);
  SetGridEditing(true);
}

void TFReper3DData::PMIselectClick()
{
  PMIedit->setChecked(false);
  PMIselect->setChecked(true);
  SetGridEditing(false);
}

void TFReper3DData::PMICopyClick()
{
  GridCopyToClipboard(*QApplication::clipboard(), *SGdata, false, false);
}

void TFReper3DData::PMIPastClick()
{
  // A pasted list of depths may be longer than the table.
  GridPasteFromClipboard(*QApplication::clipboard(), *SGdata, false, true);
  KeepTwoEmptyRows();
}

bool TFReper3DData::eventFilter(QObject* watched, QEvent* event)
{
  if (watched != SGdata || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
    return TFSized::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  // Shift held down selects cells instead of opening their editor.
  if (key->key() == Qt::Key_Shift && !key->isAutoRepeat()) {
    SetGridEditing(event->type() == QEvent::KeyRelease && PMIedit->isChecked());
    return false;
  }
  if (event->type() == QEvent::KeyPress &&
      (key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) == Qt::ControlModifier) {
    if (key->key() == Qt::Key_C) {
      PMICopyClick();
      return true;
    }
    if (key->key() == Qt::Key_V) {
      PMIPastClick();
      return true;
    }
  }
  return TFSized::eventFilter(watched, event);
}

TFReper3DData2::TFReper3DData2(QWidget* owner) : TFReper3DData(owner, QStringLiteral("FReper3DData2"), true) {}

TFReper3DData* Reper3DDataForm()
{
  if (!theForm)
    theForm = new TFReper3DData();
  return theForm;
}

TFReper3DData2* Reper3DData2Form()
{
  if (!theSwappedForm)
    theSwappedForm = new TFReper3DData2();
  return theSwappedForm;
}

void DestroyReper3DData()
{
  delete theForm;
  theForm = nullptr;
  delete theSwappedForm;
  theSwappedForm = nullptr;
}
