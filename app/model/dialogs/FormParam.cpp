#include "model/dialogs/FormParam.h"

#include "data/TextConversion.h"
#include "maps/Stringgrids.h"
#include "model/dialogs/ParamDialogLayout.h"
#include "base/CaptionWidth.h"
#include "base/ModalCalls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>


TFParam* FParam = nullptr;

namespace {

constexpr int MaterialColumnCount = 11;
// Rows the grids show at least, so that a row or two more need no scrolling.
constexpr int VisibleElectrodeRows = 4;
constexpr int VisibleMaterialRows = 3;

QString Q(const std::string& text)
{
  return QString::fromStdString(text);
}

std::string S(const QLineEdit* edit)
{
  return edit->text().toStdString();
}

QComboBox* MakeCombo(const char* name, const QStringList& items, const char* hint = nullptr)
{
  auto* combo = new QComboBox;
  combo->setObjectName(name);
  combo->addItems(items);
  if (hint)
    combo->setToolTip(QString::fromUtf8(hint));
  return combo;
}

// The extent of one lattice axis: cell size times the node count less the
// extra node of a bounded axis. A node count that is 0 or not a number, or a
// cell size that is not a number, leaves the label as it was.
void ShowExtent(QLabel* label, const QLineEdit* cell, const QLineEdit* nodes, int extraNodes)
{
  int count = 0;
  try {
    count = StrToIntStrict(S(nodes));
  } catch (const EConvertError&) {
    count = 0;
  }
  if (count == 0)
    return;
  double size = 0;
  if (!TryStrToFloatStrict(S(cell), size))
    return;
  label->setText(Q(FloatToStrGeneral(size * (count - extraNodes))));
}

// The line edits and the texts they show, in the order of loading (the lattice
// rows first, so that their extents follow).
struct TEditText {
  QLineEdit* TFParam::*edit;
  std::string TParamTexts::*text;
};

const TEditText EditTexts[] = {
    {&TFParam::Emx, &TParamTexts::Emx},
    {&TFParam::Emy, &TParamTexts::Emy},
    {&TFParam::Emz, &TParamTexts::Emz},
    {&TFParam::Edx, &TParamTexts::Edx},
    {&TFParam::Edy, &TParamTexts::Edy},
    {&TFParam::Edz, &TParamTexts::Edz},
    {&TFParam::Edtinit, &TParamTexts::Edtinit},
    {&TFParam::Edt, &TParamTexts::Edt},
    {&TFParam::Edtspark, &TParamTexts::Edtspark},
    {&TFParam::Etau, &TParamTexts::Etau},
    {&TFParam::EgenU, &TParamTexts::EgenU},
    {&TFParam::EgenC, &TParamTexts::EgenC},
    {&TFParam::EgenL, &TParamTexts::EgenL},
    {&TFParam::EgenR0, &TParamTexts::EgenR0},
    {&TFParam::EgenR1, &TParamTexts::EgenR1},
    {&TFParam::EgenRT, &TParamTexts::EgenRT},
    {&TFParam::EgenCs, &TParamTexts::EgenCs},
    {&TFParam::EgenL1, &TParamTexts::EgenL1},
    {&TFParam::EgenL2, &TParamTexts::EgenL2},
    {&TFParam::EgenNR1, &TParamTexts::EgenNR1},
    {&TFParam::EgenNR2, &TParamTexts::EgenNR2},
    {&TFParam::Edw, &TParamTexts::Edw},
    {&TFParam::Edw0, &TParamTexts::Edw0},
    {&TFParam::Eminnwitr, &TParamTexts::Eminnwitr},
    {&TFParam::Emaxnwitr, &TParamTexts::Emaxnwitr},
    {&TFParam::Eeps0, &TParamTexts::Eeps0},
    {&TFParam::ElimbEn, &TParamTexts::ElimbEn},
    {&TFParam::ElimbMinCond, &TParamTexts::ElimbMinCond},
    {&TFParam::ElimbMaxCond, &TParamTexts::ElimbMaxCond},
    {&TFParam::ElimbDimMinLength, &TParamTexts::ElimbDimMinLength},
    {&TFParam::ElimbDimMinCount, &TParamTexts::ElimbDimMinCount},
};

void SetGridEditable(QTableWidget* grid, bool editable)
{
  grid->setEditTriggers(editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                       QAbstractItemView::AnyKeyPressed
                                 : QAbstractItemView::NoEditTriggers);
}

}  // namespace

TFParam::TFParam(QWidget* owner) : QDialog(owner)
{
  setObjectName("FParam");
  setWindowTitle(QStringLiteral("Параметры моделирования"));
  PageControl = new QTabWidget(this);
  PageControl->addTab(BuildLatticePage(), QStringLiteral("Решетка"));
  PageControl->addTab(BuildPotentialPage(), QStringLiteral("Потенциал"));
  PageControl->addTab(BuildStructurePage(), QStringLiteral("Разрядная структура"));
  PageControl->addTab(BuildMaterialPage(), QStringLiteral("Материал"));
  QHBoxLayout* buttons = MakeOkCancelRow(this, Bok, Bcancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl);
  layout->addLayout(buttons);
  editable = true;
  FitWidthToCaption(*this);
}

QWidget* TFParam::BuildLatticePage()
{
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  struct TRow {
    QLineEdit** cell;
    const char* cellName;
    const char* caption;
    const char* hint;
    QLineEdit** nodes;
    const char* nodesName;
    QLabel** extent;
    const char* extentCaption;
  };
  const TRow rows[] = {{&Edx, "Edx", "dx", "размер ячейки по x", &Emx, "Emx", &Lx, "ширина"},
                       {&Edz, "Edz", "dy", "размер ячейки по z", &Emz, "Emz", &Lz, "глубина"},
                       {&Edy, "Edy", "dz", "размер ячейки по y", &Emy, "Emy", &Ly, "высота"}};
  int r = 0;
  for (const TRow& row : rows) {
    *row.cell = new QLineEdit;
    (*row.cell)->setObjectName(row.cellName);
    (*row.cell)->setToolTip(QString::fromUtf8(row.hint));
    *row.nodes = new QLineEdit;
    (*row.nodes)->setObjectName(row.nodesName);
    *row.extent = new QLabel;
    grid->addWidget(new QLabel(QString::fromUtf8(row.caption)), r, 0);
    grid->addWidget(*row.cell, r, 1);
    grid->addWidget(new QLabel(QStringLiteral("м")), r, 2);
    grid->addWidget(*row.nodes, r, 3);
    grid->addWidget(new QLabel(QStringLiteral("узлов")), r, 4);
    grid->addWidget(new QLabel(QString::fromUtf8(row.extentCaption)), r, 5);
    grid->addWidget(*row.extent, r, 6);
    grid->addWidget(new QLabel(QStringLiteral("м")), r, 7);
    ++r;
  }
  auto* note = new QLabel(QStringLiteral("по осям x и y (ширина, глубина) используются циклические граничные условия, "
                                         "по оси z требуется дополнительный узел"));
  note->setWordWrap(true);
  grid->addWidget(note, r++, 0, 1, 8);
  connect(Edx, &QLineEdit::textChanged, this, &TFParam::EdxChange);
  connect(Emx, &QLineEdit::textChanged, this, &TFParam::EdxChange);
  connect(Edz, &QLineEdit::textChanged, this, &TFParam::EdzChange);
  connect(Emz, &QLineEdit::textChanged, this, &TFParam::EdzChange);
  connect(Edy, &QLineEdit::textChanged, this, &TFParam::EdyChange);
  connect(Emy, &QLineEdit::textChanged, this, &TFParam::EdyChange);

  auto* steps = new QGroupBox(QStringLiteral(" временной шаг "));
  auto* stepGrid = new QGridLayout(steps);
  Edtinit = AddEdit(stepGrid, 0, "Edtinit", "старт", "с", "шаг до начала роста разрядной структуры");
  Edt = AddEdit(stepGrid, 1, "Edt", "рост", "с", "шаг на стадии роста разрядной структуры");
  Edtspark = AddEdit(stepGrid, 2, "Edtspark", "дуга", "с", "шаг на канальной стадии");
  grid->addWidget(steps, r, 0, 1, 8);
  return page;
}

QWidget* TFParam::BuildPotentialPage()
{
  auto* page = new QWidget;
  auto* layout = new QGridLayout(page);

  auto* electrodes = new QGroupBox(QStringLiteral(" электроды "));
  auto* electrodeLayout = new QGridLayout(electrodes);
  SGww = new QTableWidget(0, 2);
  SGww->setObjectName("SGww");
  SGww->setHorizontalHeaderLabels({QStringLiteral("индекс"), QStringLiteral("потенциал")});
  SGww->setToolTip(QStringLiteral("Вольты или доля напряжения с генератора"));
  SGww->verticalHeader()->hide();
  SGww->setWordWrap(false);
  SetGridFixed(*SGww, 1, 0);
  Badd = new QPushButton(QStringLiteral("новый"));
  Bdel = new QPushButton(QStringLiteral("удалить"));
  SGww->viewport()->installEventFilter(this);
  electrodeLayout->addWidget(SGww, 0, 0, 1, 3);
  electrodeLayout->addWidget(Badd, 1, 0);
  electrodeLayout->addWidget(Bdel, 1, 1);
  auto* tauGrid = new QGridLayout;
  Etau = AddEdit(tauGrid, 0, "Etau", "τ", "с",
                 "время нарастания напряжения, если ноль и напряжения генератора ноль - постоянные потенциалы на "
                 "электродах");
  electrodeLayout->addLayout(tauGrid, 2, 0, 1, 3);
  connect(Badd, &QPushButton::clicked, this, &TFParam::BaddClick);
  connect(Bdel, &QPushButton::clicked, this, &TFParam::BdelClick);

  auto* solver = new QGroupBox(QStringLiteral(" итерационный метод расчета "));
  auto* solverGrid = new QGridLayout(solver);
  Edw = AddEdit(solverGrid, 0, "Edw", "ошибка на временной шаг", nullptr);
  Edw0 = AddEdit(solverGrid, 1, "Edw0", "ошибка потенциала 0 заряда", nullptr,
                 "относительная ошибка вспомогательного распределения потенциала");
  CBdwtype = MakeCombo("CBdwtype",
                       {QStringLiteral("локальная относительная ошибка"), QStringLiteral("наибольшая относительная ошибка"),
                        QStringLiteral("абсолютная ошибка")},
                       "метод оценки ошибки");
  CBitrtype = MakeCombo("CBitrtype", {QStringLiteral("явная схема"), QStringLiteral("неявная схема")});
  solverGrid->addWidget(CBdwtype, 2, 0, 1, 3);
  solverGrid->addWidget(CBitrtype, 3, 0, 1, 3);
  Eminnwitr = AddEdit(solverGrid, 4, "Eminnwitr", "число итерац.", nullptr, "делать не менее на временном шаге");
  Emaxnwitr = AddEdit(solverGrid, 5, "Emaxnwitr", "число итерац.", nullptr, "прерывть итерирование, если более");
  CBbsep = new QCheckBox(QStringLiteral("разд."));
  CBbsep->setObjectName("CBbsep");
  CBbsep->setToolTip(QStringLiteral("использовать новое значение только на слудеющей итерации"));
  solverGrid->addWidget(CBbsep, 6, 0, 1, 3);

  auto* generator = new QGroupBox(QStringLiteral(" генератор "));
  auto* genGrid = new QGridLayout(generator);
  EgenU = AddEdit(genGrid, 0, "EgenU", "U", "В", "начальное напряжение, если ноль, схема генератора не используется");
  EgenC = AddEdit(genGrid, 1, "EgenC", "C", "Ф", "емкость генератора");
  EgenL = AddEdit(genGrid, 2, "EgenL", "L", "Гн", "индуктивность генератора");
  EgenR0 = AddEdit(genGrid, 3, "EgenR0", "R", "Ом", "начальное");
  EgenR1 = AddEdit(genGrid, 4, "EgenR1", "R", "Ом", "предельное конечное");
  EgenRT = AddEdit(genGrid, 5, "EgenRT", "ΘR", "с", "показатель экспоненты для сопротивления разрядника");
  EgenCs = AddEdit(genGrid, 6, "EgenCs", "Cs", "Ф", "поразитная емкость схемы");
  // Loaded and applied like the others, but not shown.
  EgenL1 = new QLineEdit(generator);
  EgenL2 = new QLineEdit(generator);
  EgenNR1 = new QLineEdit(generator);
  EgenNR2 = new QLineEdit(generator);
  for (QLineEdit* hidden : {EgenL1, EgenL2, EgenNR1, EgenNR2})
    hidden->hide();

  layout->addWidget(electrodes, 0, 0);
  layout->addWidget(solver, 1, 0);
  layout->addWidget(generator, 0, 1, 2, 1);
  return page;
}

QWidget* TFParam::BuildStructurePage()
{
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  GBgrowth = new QGroupBox(QStringLiteral(" вероятность роста "));
  auto* growthGrid = new QGridLayout(GBgrowth);
  ElimbEn = AddEdit(growthGrid, 0, "ElimbEn", "n", nullptr, "показатель степени");
  GrowthType = MakeCombo("GrowthType", {QStringLiteral("стохастически"), QStringLiteral("детерминистически")});
  growthGrid->addWidget(GrowthType, 1, 0, 1, 3);
  GBcond = new QGroupBox(QStringLiteral(" погонная проводимость "));
  auto* condGrid = new QGridLayout(GBcond);
  ElimbMinCond = AddEdit(condGrid, 0, "ElimbMinCond", "min", "m/Om", "начальная и минимальная проводимость каналов");
  ElimbMaxCond = AddEdit(condGrid, 1, "ElimbMaxCond", "max", "m/Om", "максимальная проводимость каналов");
  GBdim = new QGroupBox(QStringLiteral(" расчет размерности "));
  auto* dimGrid = new QGridLayout(GBdim);
  ElimbDimMinLength = AddEdit(dimGrid, 0, "ElimbDimMinLength", "не учитывать первые", "элементов");
  ElimbDimMinCount = AddEdit(dimGrid, 1, "ElimbDimMinCount", "минимальное число", "элементов");
  CBgenidle = new QCheckBox(QStringLiteral("холостой ход генератора"));
  CBgenidle->setObjectName("CBgenidle");
  CBgenidle->setToolTip(QStringLiteral("отключить процедуру роста РС"));
  // Set from code or by the user, the check box raises the same change.
  connect(CBgenidle, &QCheckBox::toggled, this, &TFParam::CBgenidleClick);
  layout->addWidget(GBgrowth);
  layout->addWidget(GBcond);
  layout->addWidget(GBdim);
  layout->addWidget(CBgenidle);
  layout->addStretch();
  return page;
}

QWidget* TFParam::BuildMaterialPage()
{
  auto* page = new QWidget;
  auto* layout = new QGridLayout(page);
  auto* epsGrid = new QGridLayout;
  Eeps0 = AddEdit(epsGrid, 0, "Eeps0", "ε0", nullptr, "Double click to calculate ...");
  Biso = new QPushButton(QStringLiteral("ISO"));
  Biso->setFlat(true);
  epsGrid->addWidget(Biso, 0, 2);
  connect(Biso, &QPushButton::clicked, this, &TFParam::BisoClick);
  SGmm = new QTableWidget(0, MaterialColumnCount);
  SGmm->setObjectName("SGmm");
  SGmm->setHorizontalHeaderLabels({QStringLiteral("№"), QStringLiteral("Ec, MV/m"), QStringLiteral("ε"),
                                   QStringLiteral("α, m²/V²·s"), QStringLiteral("σ0, S/m"), QStringLiteral("γ0, S·m"),
                                   QStringLiteral("χ, S·m²/J"), QStringLiteral("ξ, s⁻¹"), QStringLiteral("Ec min"),
                                   QStringLiteral("β, m³/J"), QStringLiteral("κ")});
  SGmm->verticalHeader()->hide();
  SGmm->setWordWrap(false);
  SetGridFixed(*SGmm, 1, 0);
  SGmm->viewport()->installEventFilter(this);
  Bmadd = new QPushButton(QStringLiteral("новый"));
  Bmdel = new QPushButton(QStringLiteral("удалить"));
  connect(Bmadd, &QPushButton::clicked, this, &TFParam::BmaddClick);
  connect(Bmdel, &QPushButton::clicked, this, &TFParam::BmdelClick);
  layout->addLayout(epsGrid, 0, 0, 1, 2);
  layout->addWidget(SGmm, 1, 0, 1, 2);
  layout->addWidget(Bmadd, 2, 0);
  layout->addWidget(Bmdel, 2, 1);
  return page;
}

void TFParam::LoadParams(THeap* record, bool canEdit)
{
  heap = record;
  editable = canEdit;
  if (heap) {
    loaded = ParamTextsFromHeap(*heap);
    ShowTexts(loaded);
  }
  SetEditable();
  FormCreate();
}

void TFParam::ShowTexts(const TParamTexts& t)
{
  for (const TEditText& field : EditTexts)
    (this->*field.edit)->setText(Q(t.*field.text));
  SGww->setRowCount(static_cast<int>(t.Potentials.size()));
  for (int i = 0; i < SGww->rowCount(); ++i) {
    SetGridCell(*SGww, 0, i, Q(ElectrodeCodeLabel(i)));
    SetGridCell(*SGww, 1, i, Q(t.Potentials[i]));
  }
  CBdwtype->setCurrentIndex(t.DwType);
  CBitrtype->setCurrentIndex(t.ItrType);
  CBbsep->setChecked(t.BSep);
  CBgenidle->setChecked(t.GenIdle);
  CBgenidleClick();
  GrowthType->setCurrentIndex(t.GrowthType);

  SGmm->setRowCount(static_cast<int>(t.Materials.size()));
  for (int r = 0; r < SGmm->rowCount(); ++r)
    for (int c = 0; c < MaterialColumnCount; ++c)
      SetGridCell(*SGmm, c, r, Q(t.Materials[r][c]));
}

void TFParam::SetEditable()
{
  const bool readOnly = !editable;
  for (const TEditText& field : EditTexts)
    (this->*field.edit)->setReadOnly(readOnly);
  for (QWidget* control : std::initializer_list<QWidget*>{CBdwtype, CBitrtype, CBbsep, CBgenidle, GrowthType, Badd,
                                                          Bdel, Bmadd, Bmdel, Biso})
    control->setEnabled(editable);
  SetGridEditable(SGww, editable);
  SetGridEditable(SGmm, editable);
}

TParamTexts TFParam::CollectTexts() const
{
  TParamTexts t;
  for (const TEditText& field : EditTexts)
    t.*field.text = S(this->*field.edit);
  for (int r = 0; r < SGww->rowCount(); ++r)
    t.Potentials.push_back(GridCell(*SGww, 1, r).toStdString());
  t.DwType = CBdwtype->currentIndex();
  t.ItrType = CBitrtype->currentIndex();
  t.BSep = CBbsep->isChecked();
  t.GrowthType = GrowthType->currentIndex();
  t.GenIdle = CBgenidle->isChecked();
  for (int r = 0; r < SGmm->rowCount(); ++r) {
    TMaterialTexts row;
    for (int c = 0; c < MaterialColumnCount; ++c)
      row[c] = GridCell(*SGmm, c, r).toStdString();
    t.Materials.push_back(row);
  }
  return t;
}

bool TFParam::ApplyParams()
{
  if (!editable || !heap)
    return false;
  TParamValues values;
  if (!CheckOrRefuse(values))
    return false;
  if (!WriteParamValues(*heap, values)) {
    ShowErrorMessage(this, QStringLiteral("Параметры не применены: ядро отклонило размер решетки."));
    return false;
  }
  return true;
}

bool TFParam::CheckOrRefuse(TParamValues& values)
{
  const TParamTexts shown = CollectTexts();
  std::string error;
  const std::string* refused = nullptr;
  if (ParseParamTexts(shown, values, error, &refused))
    return true;
  ShowRefused(shown, refused);
  ShowErrorMessage(this, Q(error));
  return false;
}

void TFParam::ShowRefused(const TParamTexts& shown, const std::string* refused)
{
  if (!refused)
    return;
  for (const TEditText& field : EditTexts)
    if (&(shown.*field.text) == refused) {
      QLineEdit* edit = this->*field.edit;
      edit->setText(Q(loaded.*field.text));
      ShowControl(edit);
      return;
    }
  // A row added since loading has no old value: it gets the last loaded row's.
  const auto oldText = [](const auto& rows, size_t row, auto pick) {
    return rows.empty() ? std::string("0") : pick(rows[std::min(row, rows.size() - 1)]);
  };
  for (size_t r = 0; r < shown.Potentials.size(); ++r)
    if (&shown.Potentials[r] == refused) {
      SetGridCell(*SGww, 1, int(r), Q(oldText(loaded.Potentials, r, [](const std::string& text) { return text; })));
      ShowControl(SGww);
      return;
    }
  for (size_t r = 0; r < shown.Materials.size(); ++r)
    for (int c = 0; c < MaterialColumnCount; ++c)
      if (&shown.Materials[r][c] == refused) {
        SetGridCell(*SGmm, c, int(r),
                    Q(oldText(loaded.Materials, r, [c](const TMaterialTexts& row) { return row[c]; })));
        ShowControl(SGmm);
        return;
      }
}

void TFParam::ShowControl(QWidget* control)
{
  for (int page = 0; page < PageControl->count(); ++page)
    if (PageControl->widget(page)->isAncestorOf(control))
      PageControl->setCurrentIndex(page);
  control->setFocus();
}

void TFParam::accept()
{
  // A bad field keeps the dialog open, so that OK never leads to a partial apply.
  TParamValues values;
  if (editable && heap && !CheckOrRefuse(values))
    return;
  QDialog::accept();
}

void TFParam::FormCreate()
{
  LayOutElectrodeGrid();
  LayOutMaterialGrid();
}

void TFParam::LayOutElectrodeGrid()
{
  // The code column keeps 50 pixels, the potential takes the rest; both
  // widen to what their header and cells need, so nothing wraps or clips.
  const int codeWidth = std::max(50, NeededColumnWidth(SGww, 0));
  const int potentialWidth = NeededColumnWidth(SGww, 1);
  SGww->setColumnWidth(0, codeWidth);
  SGww->setColumnWidth(1, std::max(potentialWidth, SGww->viewport()->width() - codeWidth));
  SGww->setMinimumWidth(codeWidth + potentialWidth + 2 * SGww->frameWidth() +
                        SGww->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, SGww));
  SGww->setMinimumHeight(GridHeightFor(SGww, std::clamp(SGww->rowCount(), VisibleElectrodeRows, 8)));
}

void TFParam::LayOutMaterialGrid()
{
  // Columns 1 to 9 share the width a tenth each (column 2 ten pixels less,
  // column 3 ten more) and column 10 takes what remains. No column is made
  // narrower than its header and cells: what those need more is taken back
  // from the columns with room to spare, the last ones first, and the grid is
  // kept wide enough for all.
  int needed[MaterialColumnCount];
  int neededSum = 0;
  for (int c = 0; c < MaterialColumnCount; ++c) {
    needed[c] = NeededColumnWidth(SGmm, c);
    neededSum += needed[c];
  }
  const int available = SGmm->viewport()->width();
  const int materialWidth = available - MaterialColumnCount;
  const int share = (materialWidth - 25) / 10;
  int widths[MaterialColumnCount];
  widths[0] = 25;
  for (int c = 1; c <= 9; ++c)
    widths[c] = share;
  widths[2] = share - 10;
  widths[3] = share + 10;
  widths[10] = materialWidth - 25 - 9 * share;
  int total = 0;
  for (int c = 0; c < MaterialColumnCount; ++c) {
    widths[c] = std::max(widths[c], needed[c]);
    total += widths[c];
  }
  for (int c = MaterialColumnCount - 1; c >= 0 && total > available; --c) {
    const int cut = std::min(total - available, widths[c] - needed[c]);
    widths[c] -= cut;
    total -= cut;
  }
  for (int c = 0; c < MaterialColumnCount; ++c)
    SGmm->setColumnWidth(c, widths[c]);
  SGmm->setMinimumWidth(neededSum + 2 * SGmm->frameWidth() +
                        SGmm->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, SGmm));
  SGmm->setMinimumHeight(GridHeightFor(SGmm, std::clamp(SGmm->rowCount(), VisibleMaterialRows, 6)));
}

void TFParam::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  FormCreate();
}

void TFParam::resizeEvent(QResizeEvent* event)
{
  QDialog::resizeEvent(event);
  FormCreate();
}

bool TFParam::eventFilter(QObject* watched, QEvent* event)
{
  // A grid gets its size when its page first shows, after the dialog's own
  // resize, and loses width to a scroll bar: its columns follow then too.
  if ((watched == SGww->viewport() || watched == SGmm->viewport()) && event->type() == QEvent::Resize)
    FormCreate();
  return QDialog::eventFilter(watched, event);
}

void TFParam::BaddClick()
{
  const int row = SGww->rowCount();
  SGww->setRowCount(row + 1);
  SetGridCell(*SGww, 0, row, Q(ElectrodeCodeLabel(row)));
  FormCreate();
}

void TFParam::BdelClick()
{
  if (SGww->rowCount() > 2)
    SGww->setRowCount(SGww->rowCount() - 1);
  FormCreate();
}

void TFParam::BmaddClick()
{
  GridInsertRow(*SGmm, std::max(SGmm->currentRow(), 0), false);
  RenumberMaterials();
  FormCreate();
}

void TFParam::BmdelClick()
{
  if (SGmm->rowCount() > 1)
    SGmm->setRowCount(SGmm->rowCount() - 1);
  FormCreate();
}

void TFParam::RenumberMaterials()
{
  for (int r = 0; r < SGmm->rowCount(); ++r)
    SetGridCell(*SGmm, 0, r, QString::number(r));
}

void TFParam::BisoClick()
{
  Eeps0->setText(QStringLiteral("8.8542e-12"));
}

void TFParam::CBgenidleClick()
{
  const bool growth = !CBgenidle->isChecked();
  GBgrowth->setEnabled(growth);
  GBcond->setEnabled(growth);
  GBdim->setEnabled(growth);
}

void TFParam::EdxChange()
{
  ShowExtent(Lx, Edx, Emx, 0);
}

void TFParam::EdzChange()
{
  ShowExtent(Lz, Edz, Emz, 0);
}

void TFParam::EdyChange()
{
  ShowExtent(Ly, Edy, Emy, 1);
}
