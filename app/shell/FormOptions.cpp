#include "shell/FormOptions.h"

#include "data/TextConversion.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>


TFOptions* FOptions = nullptr;

namespace {

QString Text(const char* utf8)
{
  return QString::fromUtf8(utf8);
}

QLineEdit* AddTimeEdit(QGridLayout* grid, int row, QWidget* owner, const char* name, const char* caption)
{
  auto* edit = new QLineEdit(owner);
  edit->setObjectName(name);
  grid->addWidget(new QLabel(Text(caption), owner), row, 0);
  grid->addWidget(edit, row, 1);
  grid->addWidget(new QLabel(Text("нс"), owner), row, 2);
  return edit;
}

// An edited time field: a positive number of nanoseconds in seconds; the old
// value when the text was not edited or is rejected.
double ReadTime(const QLineEdit* edit, const QString& shown, double old, const QString& caption,
                QStringList& rejected)
{
  if (edit->text() == shown)
    return old;
  double ns = 0;
  if (!TryStrToFloatStrict(edit->text().toStdString(), ns) || ns <= 0) {
    rejected.append(caption);
    return old;
  }
  return ns * 1e-9;
}

} // namespace

QString NanosecondsText(double seconds)
{
  return QString::fromStdString(FloatToStrSep(seconds * 1e9, ffGeneral, 6, 0));
}

TFOptions::TFOptions(QWidget* owner) : QDialog(owner)
{
  setObjectName("FOptions");
  setWindowTitle(Text("Настройки"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);

  auto* times = new QGridLayout();
  layout->addLayout(times);
  Eupdatetime = AddTimeEdit(times, 0, this, "Eupdatetime", "Шаг обновления данных");
  Eredrawtime = AddTimeEdit(times, 1, this, "Eredrawtime", "Время перерисовки");

  GBautosave = new QGroupBox(Text("Автосохранение: "), this);
  GBautosave->setObjectName("GBautosave");
  auto* autosave = new QGridLayout(GBautosave);
  CBas_bystage = new QCheckBox(Text("при росте структуры"), GBautosave);
  CBas_bystage->setObjectName("CBas_bystage");
  Estagecount = new QSpinBox(GBautosave);
  Estagecount->setObjectName("Estagecount");
  Estagecount->setRange(1, 1000);
  Estagecount->setValue(1);
  CBas_bytime = new QCheckBox(Text("интервал времени"), GBautosave);
  CBas_bytime->setObjectName("CBas_bytime");
  Eautosavetime = new QLineEdit(GBautosave);
  Eautosavetime->setObjectName("Eautosavetime");
  autosave->addWidget(CBas_bystage, 0, 0);
  autosave->addWidget(Estagecount, 0, 1);
  autosave->addWidget(CBas_bytime, 1, 0);
  autosave->addWidget(Eautosavetime, 1, 1);
  autosave->addWidget(new QLabel(Text("нс"), GBautosave), 1, 2);
  layout->addWidget(GBautosave);

  GBautopause = new QGroupBox(Text(" остановка расчета "), this);
  GBautopause->setObjectName("GBautopause");
  auto* stop = new QGridLayout(GBautopause);
  RBautopausenone = new QRadioButton(Text("отключена"), GBautopause);
  RBautopausenone->setObjectName("RBautopausenone");
  RBautopausestage = new QRadioButton(Text("при пробое или угасании"), GBautopause);
  RBautopausestage->setObjectName("RBautopausestage");
  RBautopausetime = new QRadioButton(Text("время"), GBautopause);
  RBautopausetime->setObjectName("RBautopausetime");
  Eautopausetime = new QLineEdit(GBautopause);
  Eautopausetime->setObjectName("Eautopausetime");
  CBautoclose = new QCheckBox(Text("Закрыть"), GBautopause);
  CBautoclose->setObjectName("CBautoclose");
  CBautoclose->setToolTip(Text("закрыть при остановке рассчета"));
  stop->addWidget(RBautopausenone, 0, 0);
  stop->addWidget(RBautopausestage, 1, 0);
  stop->addWidget(RBautopausetime, 2, 0);
  stop->addWidget(Eautopausetime, 2, 1);
  stop->addWidget(new QLabel(Text("нс"), GBautopause), 2, 2);
  stop->addWidget(CBautoclose, 3, 0);
  layout->addWidget(GBautopause);

  auto* points = new QGridLayout();
  layout->addLayout(points);
  Etspointcount = new QLineEdit(Text("500"), this);
  Etspointcount->setObjectName("Etspointcount");
  Etspointcount->setToolTip(Text("Максимальное число точек во времменых графиках"));
  points->addWidget(new QLabel(Text("Макс. временных точек"), this), 0, 0);
  points->addWidget(Etspointcount, 0, 1);

  auto* buttons = new QHBoxLayout();
  layout->addLayout(buttons);
  Bok = new QPushButton(Text("Ok"), this);
  Bok->setObjectName("Bok");
  Bcancel = new QPushButton(Text("Отмена"), this);
  Bcancel->setObjectName("Bcancel");
  for (QPushButton* button : {Bok, Bcancel}) {
    button->setFlat(true);
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  connect(Bok, &QPushButton::clicked, this, &QDialog::accept);
  connect(Bcancel, &QPushButton::clicked, this, &QDialog::reject);

  // Set from code or by the user, the checks and the radio buttons keep their fields in step.
  connect(CBas_bystage, &QCheckBox::toggled, this, &TFOptions::CBas_bystageClick);
  connect(CBas_bytime, &QCheckBox::toggled, this, &TFOptions::CBas_bytimeClick);
  for (QRadioButton* button : {RBautopausenone, RBautopausestage, RBautopausetime})
    connect(button, &QRadioButton::toggled, this, &TFOptions::GBautopauseClick);
  // Every field shows a time of six digits with its exponent whole, however
  // wide the captions beside it are.
  for (QLineEdit* edit : findChildren<QLineEdit*>()) {
    const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(WidestTimeText) + 2 * frame + 6);
  }
  resize(294, 309);
  FormActivate();
}

void TFOptions::LoadOptions(const TCalcOptions& options)
{
  FLoaded = options;
  Eupdatetime->setText(FShownUpdate = NanosecondsText(options.outputInterval));
  Eredrawtime->setText(FShownRedraw = NanosecondsText(options.refreshInterval));
  CBas_bystage->setChecked(options.saveFlags & 1);
  CBas_bytime->setChecked(options.saveFlags & 2);
  Eautosavetime->setText(FShownAutosave = NanosecondsText(options.saveTimeInterval));
  Estagecount->setValue(options.saveStageCount);
  // A stop mode without a button of its own leaves all three unchecked.
  QRadioButton* modes[] = {RBautopausenone, RBautopausestage, RBautopausetime};
  for (int mode = 0; mode < 3; ++mode) {
    modes[mode]->setAutoExclusive(false);
    modes[mode]->setChecked(options.stopMode == mode);
    modes[mode]->setAutoExclusive(true);
  }
  Eautopausetime->setText(FShownStop = NanosecondsText(options.stopTime));
  CBautoclose->setChecked(options.closeWhenStopped);
  Etspointcount->setText(FShownPoints = QString::number(options.seriesCapacity));
  FormActivate();
}

TCalcOptions TFOptions::ReadOptions(QStringList& rejected) const
{
  TCalcOptions read = FLoaded;
  read.outputInterval = ReadTime(Eupdatetime, FShownUpdate, FLoaded.outputInterval, Text("Шаг обновления данных"),
                                 rejected);
  read.refreshInterval =
    ReadTime(Eredrawtime, FShownRedraw, FLoaded.refreshInterval, Text("Время перерисовки"), rejected);
  read.saveFlags = (CBas_bystage->isChecked() ? 1 : 0) + (CBas_bytime->isChecked() ? 2 : 0);
  read.saveTimeInterval = ReadTime(Eautosavetime, FShownAutosave, FLoaded.saveTimeInterval,
                                   Text("Автосохранение: интервал времени"), rejected);
  read.saveStageCount = Estagecount->value();
  if (RBautopausenone->isChecked())
    read.stopMode = 0;
  else if (RBautopausestage->isChecked())
    read.stopMode = 1;
  else if (RBautopausetime->isChecked())
    read.stopMode = 2;
  read.stopTime = ReadTime(Eautopausetime, FShownStop, FLoaded.stopTime, Text("Остановка расчета: время"), rejected);
  read.closeWhenStopped = CBautoclose->isChecked();
  if (Etspointcount->text() != FShownPoints) {
    try {
      read.seriesCapacity = StrToIntStrict(Etspointcount->text().toStdString());
      if (read.seriesCapacity <= 0) {
        rejected.append(Text("Макс. временных точек"));
        read.seriesCapacity = FLoaded.seriesCapacity;
      }
    } catch (const EConvertError&) {
      read.seriesCapacity = 500;
    }
  }
  return read;
}

void TFOptions::FormActivate()
{
  CBas_bystageClick();
  CBas_bytimeClick();
  GBautopauseClick();
}

void TFOptions::CBas_bystageClick()
{
  Estagecount->setEnabled(CBas_bystage->isChecked());
}

void TFOptions::CBas_bytimeClick()
{
  Eautosavetime->setEnabled(CBas_bytime->isChecked());
}

void TFOptions::GBautopauseClick()
{
  Eautopausetime->setEnabled(RBautopausetime->isChecked());
  CBautoclose->setEnabled(!RBautopausenone->isChecked());
}

void TFOptions::keyPressEvent(QKeyEvent* event)
{
  switch (event->key()) {
  case Qt::Key_Return:
  case Qt::Key_Enter:
    accept();
    break;
  case Qt::Key_Escape:
    reject();
    break;
  default:
    QDialog::keyPressEvent(event);
  }
}

void TFOptions::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  FormActivate();
}

void TFOptions::done(int result)
{
  // The next opening starts in the first field.
  Eupdatetime->setFocus();
  QDialog::done(result);
}
