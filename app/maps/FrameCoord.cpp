#include "maps/FrameCoord.h"

#include "data/TextConversion.h"
#include "maps/CoordFormat.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int FrameWidth = 207;
constexpr int HeightWithoutSelector = 75;
constexpr int HeightWithSelector = 91;
constexpr int RelativePrecision = 6;
constexpr int RectangularXPrecision = 9;
constexpr int RectangularYPrecision = 8;
constexpr int GeographicPrecision = 6;

QLineEdit* MakeEdit(QWidget* parent, const char* name, const char* text)
{
  auto* edit = new QLineEdit(QString::fromUtf8(text), parent);
  edit->setObjectName(name);
  return edit;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, const char* first, const char* second)
{
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  combo->addItem(QString::fromUtf8(first));
  combo->addItem(QString::fromUtf8(second));
  combo->setCurrentIndex(0);
  return combo;
}

double Number(const QLineEdit* edit)
{
  return StrToFloatAny(edit->text().toStdString());
}

QString Text(double value, int precision)
{
  return QString::fromStdString(CoordNumberText(value, precision));
}

}  // namespace

TFmCoord::TFmCoord(QWidget* owner) : QWidget(owner)
{
  BuildDesign();
  SetCoordType(KindRelative, QStringLiteral("м"));
  multiple = false;
}

void TFmCoord::BuildDesign()
{
  GroupBox = new QGroupBox(QStringLiteral(" Положение "), this);
  Etype = new QComboBox(GroupBox);
  Etype->setObjectName("Etype");
  Etype->addItems({QStringLiteral("относительные"), QStringLiteral("прямоугольные"), QStringLiteral("географичекие")});
  Etype->setVisible(selectorShown);
  PageControl = new QStackedWidget(GroupBox);
  PageControl->addWidget(BuildRelativePage());
  PageControl->addWidget(BuildRectangularPage());
  PageControl->addWidget(BuildGeographicPage());

  auto* inner = new QVBoxLayout(GroupBox);
  inner->setContentsMargins(4, 2, 4, 2);
  inner->addWidget(Etype);
  inner->addWidget(PageControl);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(GroupBox);
  setMinimumWidth(FrameWidth);
  resize(FrameWidth, selectorShown ? HeightWithSelector : HeightWithoutSelector);
}

QWidget* TFmCoord::BuildRelativePage()
{
  TSdec = new QWidget;
  TSdec->setObjectName("TSdec");
  auto* grid = new QGridLayout(TSdec);
  grid->setContentsMargins(0, 0, 0, 0);
  Ey = MakeEdit(TSdec, "Ey", "56");
  LEy = new QLabel(QStringLiteral("м"), TSdec);
  CBvd = MakeCombo(TSdec, "CBvd", "Север", "Юг");
  Ex = MakeEdit(TSdec, "Ex", "82");
  LEx = new QLabel(QStringLiteral("м"), TSdec);
  CBgd = MakeCombo(TSdec, "CBgd", "Восток", "Запад");
  grid->addWidget(Ey, 0, 0);
  grid->addWidget(LEy, 0, 1);
  grid->addWidget(CBvd, 0, 2);
  grid->addWidget(Ex, 1, 0);
  grid->addWidget(LEx, 1, 1);
  grid->addWidget(CBgd, 1, 2);
  WatchEdit(Ey, AxisY);
  WatchCombo(CBvd, AxisY);
  WatchEdit(Ex, AxisX);
  WatchCombo(CBgd, AxisX);
  return TSdec;
}

QWidget* TFmCoord::BuildRectangularPage()
{
  TSrect = new QWidget;
  TSrect->setObjectName("TSrect");
  auto* grid = new QGridLayout(TSrect);
  grid->setContentsMargins(0, 0, 0, 0);
  Exx = MakeEdit(TSrect, "Exx", "");
  Eyy = MakeEdit(TSrect, "Eyy", "");
  grid->addWidget(new QLabel(QStringLiteral("X"), TSrect), 0, 0);
  grid->addWidget(Exx, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Y"), TSrect), 1, 0);
  grid->addWidget(Eyy, 1, 1);
  WatchEdit(Exx, AxisX);
  WatchEdit(Eyy, AxisY);
  return TSrect;
}

QWidget* TFmCoord::BuildGeographicPage()
{
  TSgeo = new QWidget;
  TSgeo->setObjectName("TSgeo");
  auto* grid = new QGridLayout(TSgeo);
  grid->setContentsMargins(0, 0, 0, 0);
  Eshg = MakeEdit(TSgeo, "Eshg", "56");
  Eshm = MakeEdit(TSgeo, "Eshm", "0");
  Eshs = MakeEdit(TSgeo, "Eshs", "0");
  CBSHNS = MakeCombo(TSgeo, "CBSHNS", "Север", "Юг");
  Edg = MakeEdit(TSgeo, "Edg", "82");
  Edm = MakeEdit(TSgeo, "Edm", "0");
  Eds = MakeEdit(TSgeo, "Eds", "0");
  CBDEW = MakeCombo(TSgeo, "CBDEW", "Восток", "Запад");
  const QStringList marks{QStringLiteral("o"), QStringLiteral("'"), QStringLiteral("''")};
  QLineEdit* latitude[] = {Eshg, Eshm, Eshs};
  QLineEdit* longitude[] = {Edg, Edm, Eds};
  for (int i = 0; i < 3; ++i) {
    grid->addWidget(latitude[i], 0, 2 * i);
    grid->addWidget(new QLabel(marks[i], TSgeo), 0, 2 * i + 1);
    grid->addWidget(longitude[i], 1, 2 * i);
    grid->addWidget(new QLabel(marks[i], TSgeo), 1, 2 * i + 1);
    WatchEdit(latitude[i], AxisY);
    WatchEdit(longitude[i], AxisX);
  }
  grid->addWidget(CBSHNS, 0, 6);
  grid->addWidget(CBDEW, 1, 6);
  WatchCombo(CBSHNS, AxisY);
  WatchCombo(CBDEW, AxisX);
  return TSgeo;
}

void TFmCoord::WatchEdit(QLineEdit* edit, TAxis axis)
{
  connect(edit, &QLineEdit::textChanged, this, [this, axis] { AxisEdited(axis); });
}

void TFmCoord::WatchCombo(QComboBox* combo, TAxis axis)
{
  // A combo's index set from code raises nothing; only a user choice counts.
  connect(combo, &QComboBox::activated, this, [this, axis] { AxisEdited(axis); });
}

void TFmCoord::AxisEdited(TAxis axis)
{
  if (filling)
    return;
  (axis == AxisX ? editedX : editedY) = true;
  CoordChange();
}

void TFmCoord::CoordChange()
{
  if (filling)
    return;
  edited = true;
  ShowCaptionGreyed(false);
}

void TFmCoord::SetCoordType(int kind, const QString& units)
{
  if (kind >= 0 && kind < KindCount)
    coordKind = kind;
  Etype->setCurrentIndex(coordKind);
  PageControl->setCurrentIndex(coordKind);
  LEx->setText(units);
  LEy->setText(units);
}

void TFmCoord::SetPosition(double x, double y)
{
  filling = true;
  switch (Etype->currentIndex()) {
  case KindRelative:
    CBgd->setCurrentIndex(x < 0 ? 1 : 0);
    Ex->setText(Text(std::fabs(x), RelativePrecision));
    CBvd->setCurrentIndex(y < 0 ? 1 : 0);
    Ey->setText(Text(std::fabs(y), RelativePrecision));
    break;
  case KindRectangular:
    Exx->setText(Text(x, RectangularXPrecision));
    Eyy->setText(Text(y, RectangularYPrecision));
    break;
  case KindGeographic: {
    const TSexagesimal lon = SplitDegrees(x);
    CBDEW->setCurrentIndex(lon.Negative ? 1 : 0);
    Edg->setText(Text(lon.Degrees, GeographicPrecision));
    Edm->setText(Text(lon.Minutes, GeographicPrecision));
    Eds->setText(Text(lon.Seconds, GeographicPrecision));
    const TSexagesimal lat = SplitDegrees(y);
    CBSHNS->setCurrentIndex(lat.Negative ? 1 : 0);
    Eshg->setText(Text(lat.Degrees, GeographicPrecision));
    Eshm->setText(Text(lat.Minutes, GeographicPrecision));
    Eshs->setText(Text(lat.Seconds, GeographicPrecision));
    break;
  }
  default:
    break;
  }
  filling = false;
  hasGivenPosition = true;
  givenX = x;
  givenY = y;
  editedX = editedY = edited = false;
}

double TFmCoord::ReadX() const
{
  switch (Etype->currentIndex()) {
  case KindRelative: return CBgd->currentIndex() != 0 ? -Number(Ex) : Number(Ex);
  case KindRectangular: return Number(Exx);
  default: return JoinDegrees(Number(Edg), Number(Edm), Number(Eds), CBDEW->currentIndex() != 0);
  }
}

double TFmCoord::ReadY() const
{
  switch (Etype->currentIndex()) {
  case KindRelative: return CBvd->currentIndex() != 0 ? -Number(Ey) : Number(Ey);
  case KindRectangular: return Number(Eyy);
  default: return JoinDegrees(Number(Eshg), Number(Eshm), Number(Eshs), CBSHNS->currentIndex() != 0);
  }
}

void TFmCoord::GetPosition(double& x, double& y) const
{
  if (Etype->currentIndex() < 0 || Etype->currentIndex() >= KindCount)
    return;
  x = (hasGivenPosition && !editedX) ? givenX : ReadX();
  y = (hasGivenPosition && !editedY) ? givenY : ReadY();
}

void TFmCoord::SetMultiple(bool flag)
{
  multiple = flag;
  ShowCaptionGreyed(flag);
}

void TFmCoord::ShowCaptionGreyed(bool greyed)
{
  captionGreyed = greyed;
  QPalette palette = GroupBox->palette();
  const QPalette base = this->palette();
  palette.setColor(QPalette::WindowText,
                   greyed ? base.color(QPalette::Disabled, QPalette::WindowText)
                          : base.color(QPalette::Active, QPalette::WindowText));
  GroupBox->setPalette(palette);
}

bool TFmCoord::IsCaptionGreyed() const
{
  return captionGreyed;
}

void TFmCoord::SetGroupCaption(const QString& caption)
{
  GroupBox->setTitle(caption);
}
