#include "maps/FormInspector.h"

#include "data/TextConversion.h"
#include "gis/GArray.h"
#include "gis/GIS.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>

TFInspector* FInspector = nullptr;

namespace {

QLabel* MakeColumn(QWidget* parent, const char* name)
{
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setAttribute(Qt::WA_TranslucentBackground);
  return label;
}

} // namespace

TFInspector::TFInspector(QWidget* owner) : TFSized(owner, QStringLiteral("FInspector"))
{
  setObjectName("FInspector");
  setWindowTitle("Инспектор");
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setMinimumSize(150, 15);
  resize(328, 292);
  SBdata = new QScrollArea(this);
  SBdata->setObjectName("SBdata");
  SBdata->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  SBdata->setFrameShape(QFrame::NoFrame);
  auto* sheet = new QWidget;
  Lname = MakeColumn(sheet, "Lname");
  Lvalue = MakeColumn(sheet, "Lvalue");
  Lunit = MakeColumn(sheet, "Lunit");
  SBdata->setWidget(sheet);
  Bclose = new QPushButton("Закрыть", this);
  Bclose->setObjectName("Bclose");
  Bclose->setDefault(true);
  Bclose->resize(75, 25);
  connect(Bclose, &QPushButton::clicked, this, &TFInspector::BcloseClick);

  PMcopy = new QMenu(this);
  PMIcopy = PMcopy->addAction("Копировать");
  PMIcopy->setObjectName("PMIcopy");
  connect(PMIcopy, &QAction::triggered, this, &TFInspector::PMIcopyClick);
  for (QWidget* target : {static_cast<QWidget*>(this), static_cast<QWidget*>(SBdata)}) {
    target->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(target, &QWidget::customContextMenuRequested, this,
            [this, target](const QPoint& at) { PMcopy->popup(target->mapToGlobal(at)); });
  }
  FormResize();
  RestorePlacement();
}

void TFInspector::SetGis(TGIS* newGis) { gis = newGis; }

void TFInspector::Refresh() { Probe(probeX, probeY); }

void TFInspector::Probe(double x, double y)
{
  probeX = x;
  probeY = y;
  Bclose->hide();
  lineCount = 0;
  std::string names, values, units;
  ProbePoint(x, y, names, values, units);
  Lname->setText(QString::fromStdString(names));
  Lvalue->setText(QString::fromStdString(values));
  Lunit->setText(QString::fromStdString(units));
  if (gis)
    setWindowTitle(QString::fromStdString("Позиция " + gis->CoordinateText(x, y)));
  FormResize();
}

void TFInspector::ProbePoint(double x, double y, std::string& names, std::string& values, std::string& units)
{
  if (!gis)
    return;
  for (int i = 0; i < gis->GetObjectCount(); ++i) {
    const TGObj* object = gis->GetObject(i);
    const auto* array = dynamic_cast<const TGArray*>(object);
    if (!array || !array->IsArray() || array->RelativeHitDistance(x, y, false) != 0)
      continue;
    // The probe is relative to the GIS; the array interpolates at world points.
    double X = 0, Y = 0, value = 0;
    array->RelativeToWorld(x, y, X, Y);
    names += array->GetName() + "\n";
    values += (array->InterpolateAtWorld(X, Y, value) ? FloatToStrSep(value, ffGeneral, 6, 0) : std::string("нет")) +
              "\n";
    units += array->GetUnitText() + "\n";
    ++lineCount;
  }
}

QString TFInspector::CopyText() const
{
  std::string names = Lname->text().toStdString();
  std::string values = Lvalue->text().toStdString();
  std::string units = Lunit->text().toStdString();
  std::string text = windowTitle().toStdString() + ":\n";
  for (int i = 0; i < lineCount; ++i)
    text += FirstLine(names) + "\t" + FirstLine(values) + "\t" + FirstLine(units) + "\n";
  return QString::fromStdString(text);
}

void TFInspector::PMIcopyClick() { QApplication::clipboard()->setText(CopyText()); }

void TFInspector::BcloseClick()
{
  if (isModal())
    done(1);
  else
    hide();
}

void TFInspector::resizeEvent(QResizeEvent* event)
{
  TFSized::resizeEvent(event);
  FormResize();
}

void TFInspector::FormResize()
{
  const int w = width();
  const int h = height();
  Bclose->move((w - Bclose->width()) / 2, h - Bclose->height() - 4);
  const int boxHeight = Bclose->isHidden() ? h : Bclose->y() - 3;
  SBdata->setGeometry(0, 0, w, std::max(0, boxHeight));
  const int nameWidth = 3 * w / 5 - 6;
  const int columnWidth = w / 5 - 3;
  int textHeight = 0;
  for (QLabel* label : {Lname, Lvalue, Lunit})
    textHeight = std::max(textHeight, label->sizeHint().height());
  Lname->setGeometry(3, 0, nameWidth, textHeight);
  Lvalue->setGeometry(3 * w / 5, 0, columnWidth, textHeight);
  Lunit->setGeometry(nameWidth + columnWidth + 9, 0, columnWidth, textHeight);
  SBdata->widget()->resize(std::max(0, SBdata->viewport()->width()), textHeight);
}
