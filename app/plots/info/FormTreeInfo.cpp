#include "plots/info/FormTreeInfo.h"

#include "plots/info/InfoFields.h"

#include "data/TagStream.h"
#include "data/TextConversion.h"
#include "gis/GArray3D.h"
#include "gis/GIS.h"
#include "model/FormBitModel.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int32_t GroupTreeInfo = 2205;
constexpr int CodePotential = 20001;
constexpr int CodeCriticalField = 10004;
constexpr int CodeMaterial = 10007;
const QColor PaleGreen(0xE6, 0xFF, 0xE6);
const QColor PaleRed(0xFF, 0xF0, 0xF0);

QString u(const char* text) { return QString::fromUtf8(text); }

// A cell of a model array by lattice indices (axis 1, axis 3, axis 2); none
// when the array is missing, the cell lies outside it or holds no value.
std::optional<double> CellOf(TGObj* layer, int i, int j, int k)
{
  auto* volume = dynamic_cast<TGArray3D*>(layer);
  double value = 0;
  if (!volume || !volume->GetCellValue(i, j, k, value) || !std::isfinite(value) || value >= 1e300)
    return std::nullopt;
  return value;
}

// Draws each grid cell as the window describes it.
class TNeighbourDelegate : public QStyledItemDelegate {
public:
  TNeighbourDelegate(const TFTreeInfo* info, QObject* parent) : QStyledItemDelegate(parent), info(info) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
  {
    const TFTreeInfo::TCellLook look = info->CellLook(index.column(), index.row());
    painter->fillRect(option.rect, look.background);
    painter->setPen(Qt::black);
    painter->setFont(option.font);
    const QRect text = option.rect.adjusted(2, 2, 0, 0);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop, look.text);
  }

private:
  const TFTreeInfo* info;
};

} // namespace

TFTreeInfo::TFTreeInfo(TFMain* mainWindow, QWidget* owner, TFModel* model)
    : TFInfoView(mainWindow, owner, model, WindowKindTreeInfo, GroupTreeInfo)
{
  setWindowTitle(u("Structure"));
  auto* grid = new QGridLayout;
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(1);
  int row = 0;
  // Each field is wide enough for the longest text its numbers can give.
  const QString number = WidestInfoNumber();
  auto add = [&](const char* name, const char* caption, const char* hint, const QString& widest) {
    QLineEdit* edit = AddInfoField(grid, row++, 0, name, u(caption), hint);
    FitInfoField(edit, widest);
    return edit;
  };
  const QString count = u("88888888");
  En = add("En", "n", "element number", count);
  Eg = add("Eg", "g", "element conductivity", number + u(" Sm·m"));
  El = add("El", "L", "element length", number + u(" mm"));
  Ew = add("Ew", "f", "element potential", number + u(" - ") + number + u(" V"));
  Esl = add("Esl", "L", "limb length", number + u(" mm"));
  Esn = add("Esn", "N", "limb element count", count);
  EI = add("EI", "I", "element current", number + u(" mA"));
  EE = add("EE", "E", "element strength", number + u(" MV/m"));
  Eq = add("Eq", "q", "element charge", number + u(" - ") + number + u(" C"));
  Ecell = add("Ecell", "", "cell indexes", u("(888,888,888)"));
  Bmore = new QPushButton(u(">>"), this);
  Bmore->setObjectName(QStringLiteral("Bmore"));
  Bmore->setFlat(true);
  Bmore->setFixedWidth(std::max(28, Bmore->fontMetrics().horizontalAdvance(u("<<")) + 12));
  connect(Bmore, &QPushButton::clicked, this, &TFTreeInfo::BmoreClick);
  auto* fields = new QVBoxLayout;
  fields->addLayout(grid);
  fields->addStretch();
  fields->addWidget(Bmore, 0, Qt::AlignLeft);

  // Folded in, the grid is hidden and the window as narrow as its fields.
  GBgrid = new QGroupBox(u(" Strength (MV/m)"), this);
  GBgrid->setObjectName(QStringLiteral("GBgrid"));
  SGdata = new QTableWidget(9, 3, GBgrid);
  SGdata->setObjectName(QStringLiteral("SGdata"));
  SGdata->horizontalHeader()->hide();
  SGdata->verticalHeader()->hide();
  SGdata->setEditTriggers(QAbstractItemView::NoEditTriggers);
  SGdata->setSelectionMode(QAbstractItemView::NoSelection);
  SGdata->setItemDelegate(new TNeighbourDelegate(this, SGdata));
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 9; ++r)
      SGdata->setItem(r, c, new QTableWidgetItem);
  FitNeighbourGrid();
  auto* box = new QVBoxLayout(GBgrid);
  box->addWidget(SGdata);
  GBgrid->hide();
  connect(SGdata, &QTableWidget::cellDoubleClicked, this, &TFTreeInfo::SGdataDblClick);
  GBgrid->installEventFilter(this);

  auto* columns = new QHBoxLayout(this);
  columns->setContentsMargins(4, 2, 4, 2);
  columns->addLayout(fields);
  columns->addWidget(GBgrid);
  resize(sizeHint());
}

void TFTreeInfo::FitNeighbourGrid()
{
  // A cell holds a number of 4 digits written 2 pixels from its left and top edges.
  const QFontMetrics metrics = SGdata->fontMetrics();
  const int cellWidth = metrics.horizontalAdvance(WidestInfoNumber(4)) + 2 + 6;
  const int cellHeight = metrics.height() + 4;
  for (int c = 0; c < 3; ++c)
    SGdata->setColumnWidth(c, cellWidth);
  for (int r = 0; r < 9; ++r)
    SGdata->setRowHeight(r, cellHeight);
  // Every cell in view: the grid is as large as its cells, the window never smaller.
  const int frame = 2 * SGdata->frameWidth();
  SGdata->setFixedSize(3 * cellWidth + frame, 9 * cellHeight + frame);
}

void TFTreeInfo::Refresh()
{
  auto* model = dynamic_cast<TFBitModel*>(Model);
  if (!model || NodeIndex == -1)
    return;
  TNode node{}, parent{};
  const TEngineStatistics s = model->GetSnapshot().Statistics();
  const bool found = model->GetSnapshot().Read([&](const TTree& tree, const TEngineStatistics&) {
    if (tree.count <= 0 || !tree.nodes)
      return false;
    if (NodeIndex >= tree.count || NodeIndex < 0)
      NodeIndex = tree.count - 1;
    node = tree.nodes[NodeIndex];
    parent = node.parent >= 0 && node.parent < tree.count ? tree.nodes[node.parent] : node;
    return true;
  });
  if (!found)
    return;
  En->setText(QString::number(NodeIndex));
  Eg->setText(InfoNumber(node.g) + u(" Sm·m"));
  El->setText(node.invLength != 0 ? InfoNumber(1 / node.invLength * 1000) + u(" mm") : u("-"));
  Ew->setText(InfoNumber(node.potential) + u(" - ") + InfoNumber(parent.potential) + u(" V"));
  Esl->setText(InfoNumber(node.pathLength * 1000) + u(" mm"));
  Esn->setText(QString::number(node.generation));
  EI->setText(InfoNumber(node.current * 1000) + u(" mA"));
  EE->setText(InfoNumber(node.field * 1e-6) + u(" MV/m"));
  Eq->setText(InfoNumber(node.charge) + u(" - ") + InfoNumber(parent.charge) + u(" C"));
  Ecell->setText(QString::asprintf("(%i,%i,%i)", node.x, node.z, node.y));
  GBgrid->setTitle(GridMode == 1 ? u("Probability") : GridMode == 2 ? u("Steps to 1/2 break") : u("Strength, MV/m"));

  TGObj* potentials = FViewGis ? FViewGis->FindArrayByCode(CodePotential) : nullptr;
  TGObj* criticals = FViewGis ? FViewGis->FindArrayByCode(CodeCriticalField) : nullptr;
  TGObj* materials = FViewGis ? FViewGis->FindArrayByCode(CodeMaterial) : nullptr;
  const std::optional<double> own = CellOf(potentials, node.x, node.z, node.y);
  for (int b = -1; b <= 1; ++b)
    for (int c = -1; c <= 1; ++c)
      for (int a = -1; a <= 1; ++a) {
        if (a == 0 && b == 0 && c == 0)
          continue;
        const int column = a + 1, row = 3 * (b + 1) + (c + 1);
        const int i = node.x + a, j = node.z + b, k = node.y + c;
        QString text = u("-");
        NeighbourEc[column][row] = 0;
        const double r = std::sqrt(std::pow(a * s.cellSize1, 2) + std::pow(b * s.cellSize3, 2) +
                                   std::pow(c * s.cellSize2, 2));
        const std::optional<double> other = CellOf(potentials, i, j, k);
        const std::optional<double> ec = CellOf(criticals, i, j, k);
        const bool inside = i >= 0 && i < s.n1 && j >= 0 && j < s.n3 && k >= 0 && k < s.n2;
        if (inside && r > 0 && own && other && ec) {
          const double e = (*own - *other) / r;
          double value = e * 1e-6;
          bool known = true;
          if (GridMode == 1 || GridMode == 2) {
            // The material index comes from a cell value that may be the no-value mark.
            const std::optional<double> material = CellOf(materials, i, j, k);
            const double m = material ? std::floor(*material) : -1;
            known = m >= 0 && m < static_cast<double>(s.growthCoefficients.size());
            if (known) {
              const double am = s.growthCoefficients[static_cast<size_t>(m)];
              const double p = e < 1e-100 ? 0 : 1 - std::exp(-am * std::pow(e, s.growthExponent) * s.dt);
              value = GridMode == 1 ? p : (p == 0 ? 0 : -std::log(2.0) / std::log(1 - p));
              if (e < *ec)
                value = -value;
            }
          }
          if (known) {
            text = InfoNumber(value, 4);
            NeighbourEc[column][row] = *ec * 1e-6;
          }
        }
        SGdata->item(row, column)->setText(text);
      }
  SGdata->viewport()->update();
}

TFTreeInfo::TCellLook TFTreeInfo::CellLook(int column, int row) const
{
  TCellLook look{QString(), Qt::white};
  if (column == 1 && row == 4)
    return look;
  const QTableWidgetItem* item = SGdata->item(row, column);
  look.text = item ? item->text() : QString();
  bool number = false;
  const double value = look.text.toDouble(&number);
  if (!number)
    return look;
  if (GridMode == 1 || GridMode == 2) {
    look.background = value > 0 ? PaleGreen : PaleRed;
    if (value <= 0)
      look.text = InfoNumber(std::fabs(value), 4);
  } else {
    look.background = value < NeighbourEc[column][row] ? PaleRed : PaleGreen;
  }
  return look;
}

void TFTreeInfo::SGdataDblClick()
{
  GridMode = GridMode + 1 > 2 ? 0 : GridMode + 1;
  Refresh();
}

void TFTreeInfo::BmoreClick()
{
  const bool unfold = GBgrid->isHidden();
  GBgrid->setVisible(unfold);
  Bmore->setText(unfold ? u("<<") : u(">>"));
  // The window takes the width its content needs, folded in or out.
  layout()->activate();
  // The content's own hint: the view's sizeHint() never goes below the current size.
  const QSize content = QWidget::sizeHint();
  if (unfold)
    FFoldedWidth = width();
  const int folded = std::max(FFoldedWidth, content.width());
  const QSize wanted(unfold ? std::max(width(), content.width()) : folded, std::max(height(), content.height()));
  if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
    frame->resize(frame->size() + (wanted - size()));
  else
    resize(wanted);
}

bool TFTreeInfo::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == GBgrid && event->type() == QEvent::MouseButtonDblClick) {
    SGdataDblClick();
    return true;
  }
  return TFInfoView::eventFilter(watched, event);
}
