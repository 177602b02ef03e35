#include "maps/FormGridInfo.h"

#include "base/ModalCalls.h"
#include "gis/GArrayI.h"
#include "gis/GIS.h"
#include "gis/GMeshSource.h"
#include "gis/ObjectTypeCode.h"
#include "maps/FormTriangleSelect.h"
#include "MeliscoTypes.h"

#include <QColor>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

TFGridInfo* theForm = nullptr;

QString General(double value)
{
  return QString::number(value, 'g', 6);
}

void SetCell(QTableWidget* grid, int row, int col, const QString& text)
{
  auto* item = new QTableWidgetItem(text);
  item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  grid->setItem(row, col, item);
}

void SetHeaders(QTableWidget* grid, const QStringList& headers)
{
  grid->setColumnCount(static_cast<int>(headers.size()));
  grid->setHorizontalHeaderLabels(headers);
}

int PrismStart(const TIrregularMesh& mesh, int t)
{
  return mesh.prismRanges ? mesh.prismRanges[t] : 0;
}

} // namespace

TMeshPrismCounts CountMeshPrisms(const TIrregularMesh& mesh)
{
  TMeshPrismCounts counts;
  const int T = mesh.triangleCount;
  if (T <= 0 || !mesh.prismRanges)
    return counts;
  counts.smallest = counts.largest = PrismStart(mesh, 1) - PrismStart(mesh, 0);
  for (int t = 2; t <= T; ++t) {
    const int count = PrismStart(mesh, t) - PrismStart(mesh, t - 1);
    counts.smallest = std::min(counts.smallest, count);
    counts.largest = std::max(counts.largest, count);
  }
  const long long total = PrismStart(mesh, T);
  counts.mean = static_cast<double>(total * 100 / T) * 0.01;
  return counts;
}

int PrismLayer(const TIrregularMesh& mesh, int t, int prism)
{
  // The mesh keeps, per layer and triangle, the prisms that bound it; the
  // layer of a prism is the one that lists it.
  if (!mesh.surfacePrisms)
    return -1;
  for (int layer = 0; layer < mesh.layerCount; ++layer) {
    const long long at = 2LL * (static_cast<long long>(layer) * mesh.triangleCount + t);
    if (mesh.surfacePrisms[at] == prism || mesh.surfacePrisms[at + 1] == prism)
      return layer;
  }
  return -1;
}

TFGridInfo::TFGridInfo(QWidget* owner) : TFSized(owner, QStringLiteral("FGridInfo"))
{
  setObjectName("FGridInfo");
  setWindowTitle(QString::fromUtf8("Сетка"));
  resize(482, 453);
  setMinimumSize(465, 350);

  Minfo = new QPlainTextEdit(this);
  Minfo->setReadOnly(true);
  Minfo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  Label1 = new QLabel(QString::fromUtf8("плановый треугольник:"), this);
  Etriangle = new QSpinBox(this);
  Etriangle->setRange(0, 0);
  Bselect = new QPushButton(QStringLiteral("..."), this);
  SGtr = new QTableWidget(4, 4, this);
  SGtr->verticalHeader()->hide();
  SetHeaders(SGtr, {QStringLiteral("N"), QString::fromUtf8("узел"), QStringLiteral("x"), QStringLiteral("y")});
  SGtr->setColumnWidth(0, 25);
  SGtr->setColumnWidth(1, 45);
  SGtr->setColumnWidth(2, 70);
  SGtr->setColumnWidth(3, 70);
  Label2 = new QLabel(QString::fromUtf8("призматические элементы:"), this);
  SGpr = new QTableWidget(1, 6, this);
  SGpr->verticalHeader()->hide();
  SetHeaders(SGpr, {QStringLiteral("N"), QString::fromUtf8("призма"), QString::fromUtf8("гориз."),
                    QStringLiteral("z1"), QStringLiteral("z2"), QStringLiteral("z3")});
  SGpr->setColumnWidth(0, 25);
  SGpr->setColumnWidth(1, 50);
  SGpr->setColumnWidth(2, 50);
  Bok = new QPushButton(QStringLiteral("Ok"), this);

  auto* pick = new QHBoxLayout;
  pick->addWidget(Label1);
  pick->addWidget(Etriangle);
  pick->addWidget(Bselect);
  pick->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Bok);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Minfo, 2);
  layout->addLayout(pick);
  layout->addWidget(SGtr, 1);
  layout->addWidget(Label2);
  layout->addWidget(SGpr, 2);
  layout->addLayout(buttons);

  connect(Etriangle, &QSpinBox::valueChanged, this, &TFGridInfo::EtriangleChange);
  connect(Bok, &QPushButton::clicked, this, &TFGridInfo::BokClick);
  connect(Bselect, &QPushButton::clicked, this, &TFGridInfo::BselectClick);
  RestorePlacement();
}

void TFGridInfo::SetGrid(TGMeshSource* meshSource, TGArrayI* meshArray)
{
  source = meshSource;
  array = meshArray;
  QString caption;
  if (source)
    caption = QString::fromStdString(source->GetTypeName()) + QStringLiteral(": ") +
              QString::fromStdString(source->GetName());
  if (array)
    caption += QStringLiteral(", ") + QString::fromStdString(array->GetTypeName()) + QStringLiteral(": ") +
               QString::fromStdString(array->GetName());
  setWindowTitle(caption.isEmpty() ? QString::fromUtf8("Сетка") : caption);

  TIrregularMesh* mesh = source ? source->GetIrregularMesh() : nullptr;
  TIrregularMesh none{};
  const TIrregularMesh& shown = mesh ? *mesh : none;
  const TMeshPrismCounts counts = CountMeshPrisms(shown);
  const int volumeNodes = shown.nodeColumns ? shown.nodeColumns[shown.nodeCount] : 0;
  const int prisms = shown.triangleCount > 0 ? PrismStart(shown, shown.triangleCount) : 0;
  Minfo->clear();
  const QStringList lines = {
      QString::fromUtf8("плановых   узлов: ") + QString::number(shown.nodeCount),
      QString::fromUtf8("плановых  треуг.: ") + QString::number(shown.triangleCount),
      QString::fromUtf8("узол  по  объему: ") + QString::number(volumeNodes),
      QString::fromUtf8("призм. элементов: ") + QString::number(prisms),
      QString::fromUtf8("призм. элементов"),
      QString::fromUtf8("  на треугольник:"),
      QString::fromUtf8("       мин. : ") + QString::number(counts.smallest),
      QString::fromUtf8("       макс.: ") + QString::number(counts.largest),
      QString::fromUtf8("       сред.: ") + QString::number(counts.mean, 'g', 12),
  };
  Minfo->setPlainText(lines.join('\n'));

  const QSignalBlocker quiet(Etriangle);
  Etriangle->setRange(0, std::max(shown.triangleCount - 1, 0));
  Etriangle->setValue(0);
  ShowTriangle(0);
}

int TFGridInfo::ShowModal()
{
  const int result = ModalCalls().ExecDialog(this);
  // The window lives for the whole run, the mesh and its array only as long as their project.
  source = nullptr;
  array = nullptr;
  return result;
}

void TFGridInfo::EtriangleChange()
{
  ShowTriangle(Etriangle->value());
}

void TFGridInfo::BselectClick()
{
  TFTriangleSelect* picker = TriangleSelectForm();
  picker->Source = source;
  picker->Selected = Etriangle->value();
  picker->SpinEdit = Etriangle;
  if (picker->ShowModal() == 1)
    Etriangle->setValue(picker->Selected);
  picker->SpinEdit = nullptr;
  picker->Source = nullptr;
}

void TFGridInfo::BokClick()
{
  accept();
}

void TFGridInfo::ShowTriangle(int t)
{
  TIrregularMesh* mesh = source ? source->GetIrregularMesh() : nullptr;
  SGtr->clearContents();
  SGpr->clearContents();
  SGpr->setRowCount(1);
  if (!mesh || t < 0 || t >= mesh->triangleCount) {
    SetHeaders(SGtr, {QStringLiteral("N"), QString::fromUtf8("узел"), QStringLiteral("x"), QStringLiteral("y")});
    return;
  }
  FillTriangleTable(*mesh, t);
  FillPrismTable(*mesh, t);
}

void TFGridInfo::FillTriangleTable(const TIrregularMesh& mesh, int t)
{
  const bool plane = array && array->GetTypeCode() == ObjectTypeArrayI;
  QStringList headers = {QStringLiteral("N"), QString::fromUtf8("узел"), QStringLiteral("x"), QStringLiteral("y")};
  if (plane)
    headers << QStringLiteral("data");
  SetHeaders(SGtr, headers);
  SGtr->setRowCount(3);
  TGIS* gis = source->GetOwner();
  for (int corner = 0; corner < 3; ++corner) {
    const int node = mesh.triangles[3 * t + corner];
    double X = mesh.nodeXY[2 * node];
    double Y = mesh.nodeXY[2 * node + 1];
    if (gis)
      gis->RelativeToWorld(X, Y);
    SetCell(SGtr, corner, 0, QString::number(corner + 1));
    SetCell(SGtr, corner, 1, QString::number(node));
    SetCell(SGtr, corner, 2, General(X));
    SetCell(SGtr, corner, 3, General(Y));
    if (!plane)
      continue;
    double value = 0;
    const bool perElement = array->KeepsValuesPerElement();
    if (perElement && corner > 0)
      continue;
    if (array->StoredValue(perElement ? t : node, value))
      SetCell(SGtr, corner, 4, General(value));
  }
}

void TFGridInfo::FillPrismTable(const TIrregularMesh& mesh, int t)
{
  const bool layered = array && array->GetTypeCode() == ObjectTypeArrayI3D;
  const bool perElement = layered && array->KeepsValuesPerElement();
  QStringList headers = {QStringLiteral("N"), QString::fromUtf8("призма"), QString::fromUtf8("гориз."),
                         QStringLiteral("z1"), QStringLiteral("z2"), QStringLiteral("z3")};
  if (layered) {
    if (perElement)
      headers << QStringLiteral("data");
    else
      headers << QStringLiteral("data1") << QStringLiteral("data2") << QStringLiteral("data3");
  }
  SetHeaders(SGpr, headers);
  const int first = PrismStart(mesh, t);
  const int count = PrismStart(mesh, t + 1) - first;
  SGpr->setRowCount(std::max(count, 0) + 1);
  TGIS* gis = source->GetOwner();
  for (int row = 0; row < count; ++row) {
    const int prism = first + row;
    const int layer = PrismLayer(mesh, t, prism);
    // Layer names are kept from entry 1 on; a name outside the list is not read.
    QString layerText = layer >= 0 ? QString::number(layer + 1) : QString();
    if (layer >= 0 && mesh.layerNames && layer + 1 <= mesh.layerCount && mesh.layerNames[layer + 1])
      layerText = QString::fromUtf8(mesh.layerNames[layer + 1]);
    SetCell(SGpr, row, 0, QString::number(row + 1));
    SetCell(SGpr, row, 1, QString::number(prism));
    SetCell(SGpr, row, 2, layerText);
    for (int corner = 0; corner < 3; ++corner) {
      const int node = mesh.prismNodes[6 * prism + corner];
      double Z = mesh.nodeZ ? mesh.nodeZ[node] : 0;
      if (gis)
        gis->RelativeToWorldZ(Z);
      SetCell(SGpr, row, 3 + corner, General(Z));
      double value = 0;
      if (layered && !perElement && array->StoredValue(node, value))
        SetCell(SGpr, row, 6 + corner, General(value));
    }
    double value = 0;
    if (perElement && array->StoredValue(prism, value))
      SetCell(SGpr, row, 6, General(value));
    // Rows alternate their background with the layer so the layers stand apart.
    const QColor background = (layer + 1) % 2 == 1 ? QColor(0xFF, 0xFF, 0xFF) : QColor(0xE0, 0xE0, 0xE0);
    for (int col = 0; col < SGpr->columnCount(); ++col) {
      if (!SGpr->item(row, col))
        SetCell(SGpr, row, col, QString());
      SGpr->item(row, col)->setBackground(background);
    }
  }
}

TFGridInfo* GridInfoForm()
{
  if (!theForm)
    theForm = new TFGridInfo();
  return theForm;
}

void DestroyGridInfo()
{
  DestroyTriangleSelect();
  delete theForm;
  theForm = nullptr;
}
