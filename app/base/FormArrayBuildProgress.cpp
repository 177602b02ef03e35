#include "base/FormArrayBuildProgress.h"

#include "base/ModalCalls.h"

#include <algorithm>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TFArrayBuildProgress* FArrayBuildProgress = nullptr;

namespace {

QProgressBar* MakeBar(QWidget* owner)
{
  auto* bar = new QProgressBar(owner);
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false); // smooth bar, no percentage text
  return bar;
}

} // namespace

TFArrayBuildProgress::TFArrayBuildProgress(QWidget* owner) : QDialog(owner, Qt::Tool)
{
  setObjectName("FArrayBuildProgress");
  setWindowTitle(QString::fromUtf8("Генерация массивов"));
  // While a build lets events through, only this window takes input: nothing
  // else may change or delete the array being built.
  setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(this);
  Lname = new QLabel(QString::fromUtf8("массив"), this);
  ProgressBar2 = MakeBar(this);
  Label1 = new QLabel(QString::fromUtf8("весь процесс"), this);
  ProgressBar1 = MakeBar(this);
  Bcancel = new QPushButton(QString::fromUtf8("Отмена"), this);
  Bcancel->setAutoDefault(false);
  for (QWidget* w : {static_cast<QWidget*>(Lname), static_cast<QWidget*>(ProgressBar2),
                     static_cast<QWidget*>(Label1), static_cast<QWidget*>(ProgressBar1)})
    layout->addWidget(w);
  layout->addWidget(Bcancel, 0, Qt::AlignHCenter);
  setMinimumWidth(320);
  connect(Bcancel, &QPushButton::clicked, this, &TFArrayBuildProgress::BcancelClick);
}

void TFArrayBuildProgress::ShowWindow(bool visible)
{
  if (!visible) {
    hide();
    return;
  }
  ProgressBar1->setValue(0);
  ProgressBar2->setValue(0);
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  show();
  raise();
  ProcessEvents();
}

void TFArrayBuildProgress::ShowName(const std::string& name)
{
  Lname->setText(QString::fromStdString(name));
}

void TFArrayBuildProgress::ShowPercents(int arrayPercent, int wholePercent)
{
  ProgressBar2->setValue(std::clamp(arrayPercent, 0, 100));
  ProgressBar1->setValue(std::clamp(wholePercent, 0, 100));
}

void TFArrayBuildProgress::ProcessEvents()
{
  QCoreApplication::processEvents();
}

bool TFArrayBuildProgress::Confirm(const std::string& question, const std::string& caption)
{
  return ModalCalls().Message(this, QMessageBox::Question, QString::fromStdString(caption),
                              QString::fromStdString(question), QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

void TFArrayBuildProgress::ShowError(const std::string& text)
{
  ShowErrorMessage(this, QString::fromStdString(text));
}

void TFArrayBuildProgress::closeEvent(QCloseEvent* event)
{
  if (CloseRequested())
    event->accept();
  else
    event->ignore();
}
