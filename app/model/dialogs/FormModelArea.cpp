#include "model/dialogs/FormModelArea.h"

#include "base/ModalCalls.h"
#include "data/TextConversion.h"
#include "maps/FrameCoord.h"
#include "model/dialogs/ModelAreaMath.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TFModelArea* FModelArea = nullptr;

namespace {
const char* const TagProperty = "anchorTag";
}

TFModelArea::TFModelArea(QWidget* owner) : TFSized(owner, QStringLiteral("FModelArea"))
{
  setWindowTitle(QStringLiteral("Область моделироввания"));
  setFixedSize(417, 265);

  Coord1 = new TFmCoord(this);
  Coord2 = new TFmCoord(this);
  auto* corners = new QGridLayout;
  corners->addWidget(new QLabel(QStringLiteral("Северо-западный угол :")), 0, 0);
  corners->addWidget(new QLabel(QStringLiteral("Юго-восточный угол :")), 0, 1);
  corners->addWidget(Coord1, 1, 0);
  corners->addWidget(Coord2, 1, 1);

  auto* margins = new QGroupBox(QStringLiteral("увеличит расмеры на"), this);
  Edx = new QLineEdit(QStringLiteral("0"), margins);
  Edy = new QLineEdit(QStringLiteral("0"), margins);
  CBunit = new QComboBox(margins);
  CBunit->addItems({QStringLiteral("%"), QStringLiteral("м")});
  Bapplay = new QPushButton(QStringLiteral("расчитать"), margins);
  Breset = new QPushButton(QStringLiteral("исходная"), margins);
  auto* anchors = new QGridLayout;
  const char* names[9] = {"Blu", "Bcu", "Bru", "Blc", "Bcc", "Brc", "Bld", "Bcd", "Brd"};
  QToolButton** buttons[9] = {&Blu, &Bcu, &Bru, &Blc, &Bcc, &Brc, &Bld, &Bcd, &Brd};
  for (int tag = 0; tag < 9; ++tag) {
    *buttons[tag] = MakeAnchorButton(tag, names[tag]);
    anchors->addWidget(*buttons[tag], tag / 3, tag % 3);
  }
  auto* marginGrid = new QGridLayout(margins);
  marginGrid->addWidget(new QLabel(QStringLiteral("гор.")), 0, 0);
  marginGrid->addWidget(Edx, 0, 1);
  marginGrid->addWidget(new QLabel(QStringLiteral("верт.")), 1, 0);
  marginGrid->addWidget(Edy, 1, 1);
  marginGrid->addWidget(CBunit, 0, 2);
  marginGrid->addLayout(anchors, 0, 3, 2, 1);
  marginGrid->addWidget(Bapplay, 2, 1);
  marginGrid->addWidget(Breset, 2, 2);

  Bok = new QPushButton(QStringLiteral("Ok"), this);
  Bok->setFlat(true);
  Bcancel = new QPushButton(QStringLiteral("Отмена"), this);
  Bcancel->setFlat(true);
  auto* buttonsRow = new QHBoxLayout;
  buttonsRow->addStretch();
  buttonsRow->addWidget(Bok);
  buttonsRow->addWidget(Bcancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(corners);
  layout->addWidget(margins);
  layout->addLayout(buttonsRow);

  connect(Bapplay, &QPushButton::clicked, this, &TFModelArea::BapplayClick);
  connect(Breset, &QPushButton::clicked, this, &TFModelArea::BresetClick);
  connect(Bok, &QPushButton::clicked, this, &TFModelArea::BokClick);
  connect(Bcancel, &QPushButton::clicked, this, &TFModelArea::BcancelClick);
  FormCreate();
  RestorePlacement();
}

QToolButton* TFModelArea::MakeAnchorButton(int tag, const char* name)
{
  auto* button = new QToolButton(this);
  button->setObjectName(name);
  button->setCheckable(true);
  button->setAutoExclusive(true);
  button->setAutoRaise(true);
  button->setProperty(TagProperty, tag);
  connect(button, &QToolButton::clicked, this, [this, button] { MapperClick(button); });
  return button;
}

int TFModelArea::AnchorTag(const QToolButton* button)
{
  return button ? button->property(TagProperty).toInt() : 4;
}

void TFModelArea::FormCreate()
{
  MapperClick(Bcc);
}

void TFModelArea::FormActivate()
{
  CBunit->setCurrentIndex(0);
  Coord1->GetPosition(saved[0], saved[2]);
  Coord2->GetPosition(saved[1], saved[3]);
}

void TFModelArea::showEvent(QShowEvent* event)
{
  TFSized::showEvent(event);
  FormActivate();
}

void TFModelArea::MapperClick(QToolButton* sender)
{
  anchor = sender;
  sender->setChecked(true);
}

void TFModelArea::BapplayClick()
{
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  Coord1->GetPosition(x1, y1);
  Coord2->GetPosition(x2, y2);
  // A margin that is no number, or that would leave no area or turn it inside
  // out, is refused by name and the corners stay.
  double gx = 0, gy = 0;
  if (!TryStrToFloatStrict(Edx->text().toStdString(), gx))
    return RefuseMargin(Edx, "гор.");
  if (!TryStrToFloatStrict(Edy->text().toStdString(), gy))
    return RefuseMargin(Edy, "верт.");
  double nx1 = x1, ny1 = y1, nx2 = x2, ny2 = y2;
  ApplyAreaMargins(nx1, ny1, nx2, ny2, gx, gy, CBunit->currentIndex() == 1 ? MarginLength : MarginPercent,
                   AnchorTag(anchor));
  if (!SpanKept(x1, x2, nx1, nx2))
    return RefuseMargin(Edx, "гор.");
  if (!SpanKept(y1, y2, ny1, ny2))
    return RefuseMargin(Edy, "верт.");
  Coord1->SetPosition(nx1, ny1);
  Coord2->SetPosition(nx2, ny2);
}

void TFModelArea::RefuseMargin(QLineEdit* edit, const char* caption)
{
  ShowErrorMessage(this, QString::fromUtf8("Недопустимое значение поля \"%1\".").arg(QString::fromUtf8(caption)));
  edit->setFocus();
}

void TFModelArea::BresetClick()
{
  Coord1->SetPosition(saved[0], saved[2]);
  Coord2->SetPosition(saved[1], saved[3]);
}

void TFModelArea::BokClick()
{
  accept();
}

void TFModelArea::BcancelClick()
{
  reject();
}
