#include "model/dialogs/FormCalcStatus.h"

#include "data/TimeConversion.h"
#include "model/FormModel.h"

#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TFCalcStatus* FCalcStatus = nullptr;

namespace {

constexpr int DurationForm = 100;
constexpr int DurationStyle = 0;

QString Duration(double seconds)
{
  return QString::fromStdString(DurationToText(seconds, DurationForm, DurationStyle));
}

QLabel* AddRow(QGridLayout* grid, int row, const char* caption)
{
  grid->addWidget(new QLabel(QString::fromUtf8(caption)), row, 0);
  auto* value = new QLabel;
  grid->addWidget(value, row, 1);
  return value;
}

}  // namespace

TFCalcStatus::TFCalcStatus(QWidget* owner) : QDialog(owner)
{
  setObjectName("FCalcStatus");
  setWindowTitle(QStringLiteral("Статус расчета"));
  setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  resize(234, 174);

  Lstate = new QLabel(this);
  QFont bold = Lstate->font();
  bold.setBold(true);
  Lstate->setFont(bold);
  Lstate->setWordWrap(true);

  auto* model = new QGroupBox(QStringLiteral("Модель"), this);
  auto* modelGrid = new QGridLayout(model);
  Lmodelstarttime = AddRow(modelGrid, 0, "начальное время:");
  Lmodeltime = AddRow(modelGrid, 1, "текущее время:");
  Lmodeltimeleft = AddRow(modelGrid, 2, "прошло времени:");

  auto* calc = new QGridLayout;
  Lcalctime = AddRow(calc, 0, "Время расчета:");
  Ltimesteps = AddRow(calc, 1, "Временных шагов:");

  Bok = new QPushButton(QStringLiteral("Ok"), this);
  Bok->setFlat(true);
  connect(Bok, &QPushButton::clicked, this, &TFCalcStatus::BokClick);

  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &TFCalcStatus::Timer1Timer);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Lstate);
  layout->addWidget(model);
  layout->addLayout(calc);
  layout->addWidget(Bok, 0, Qt::AlignHCenter);
}

void TFCalcStatus::FillLabels()
{
  // The worker may be stepping meanwhile: only times, steps and the state are
  // read, each of them atomically.
  Lstate->setText(QString::fromStdString(Model->StateName()));
  Ltimesteps->setText(QString::number(Model->GetStepCount()));
  Lcalctime->setText(Duration(Model->GetCalculationTime()));
  Lmodelstarttime->setText(Duration(Model->GetStartTime()));
  Lmodeltime->setText(Duration(Model->GetTime()));
  Lmodeltimeleft->setText(Duration(Model->GetTime() - Model->GetStartTime()));
}

void TFCalcStatus::FormActivate()
{
  if (!Model)
    return;
  Timer1->start();
  FillLabels();
}

void TFCalcStatus::Timer1Timer()
{
  if (Model)
    FillLabels();
}

void TFCalcStatus::BokClick()
{
  Timer1->stop();
  accept();
}

void TFCalcStatus::FormClose()
{
  Timer1->stop();
  Model = nullptr;
}

void TFCalcStatus::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  FormActivate();
}

void TFCalcStatus::keyPressEvent(QKeyEvent* event)
{
  event->accept();
  BokClick();
}

void TFCalcStatus::done(int result)
{
  FormClose();
  QDialog::done(result);
}
