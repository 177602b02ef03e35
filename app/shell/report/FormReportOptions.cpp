#include "shell/report/FormReportOptions.h"

#include "base/CaptionWidth.h"
#include "base/FormSimpleView.h"
#include "base/ModalCalls.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>

TFReportOptions::TFReportOptions(QWidget* owner) : QDialog(owner)
{
  setObjectName("FReportOptions");
  setWindowTitle("Отчет, поместить в отчет следующие окна как рисунки");
  resize(472, 188);
  FitWidthToCaption(*this);
  setMinimumSize(270, 150);
  CLBwins = new QListWidget(this);
  CLBwins->setObjectName("CLBwins");
  CLBwins->setContextMenuPolicy(Qt::CustomContextMenu);
  CLBwins->installEventFilter(this);
  PopupMenu1 = new QMenu(this);
  PMIrename = PopupMenu1->addAction("Переименовать");
  PMIrename->setObjectName("PMIrename");
  connect(PMIrename, &QAction::triggered, this, &TFReportOptions::RenameSelected);
  connect(CLBwins, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu1->popup(CLBwins->viewport()->mapToGlobal(at)); });
  connect(CLBwins, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { Rename(item); });
  CBnumbering = new QCheckBox("нумерация", this);
  CBnumbering->setObjectName("CBnumbering");
  CBnumbering->setChecked(true);
  Bok = new QPushButton("    Ok      ", this);
  Bok->setObjectName("Bok");
  Bok->setFlat(true);
  Bok->resize(75, 25);
  Bcancel = new QPushButton("Отмена", this);
  Bcancel->setObjectName("Bcancel");
  Bcancel->setFlat(true);
  Bcancel->resize(75, 25);
  connect(Bok, &QPushButton::clicked, this, &TFReportOptions::BokClick);
  connect(Bcancel, &QPushButton::clicked, this, &TFReportOptions::BcancelClick);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  FormResize();
}

void TFReportOptions::FillList(const QList<TFSimpleView*>& viewsLastFirst)
{
  CLBwins->clear();
  windows.clear();
  for (TFSimpleView* view : viewsLastFirst) {
    QString text = view->ReportTitle();
    if (text.isEmpty())
      text = view->UserCaption();
    if (text.isEmpty())
      text = view->windowTitle();
    auto* item = new QListWidgetItem(text, CLBwins);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    windows.emplace_back(view);
  }
}

bool TFReportOptions::Numbering() const { return CBnumbering->isChecked(); }

void TFReportOptions::BokClick()
{
  for (int row = CLBwins->count() - 1; row >= 0; --row) {
    TFSimpleView* view = windows[static_cast<size_t>(row)];
    if (!view)
      continue;
    const QListWidgetItem* item = CLBwins->item(row);
    view->SetInReport(item->checkState() == Qt::Checked);
    const QString text = item->text();
    view->SetReportTitle(text == view->windowTitle() || text == view->UserCaption() ? QString() : text);
  }
  done(1);
}

void TFReportOptions::BcancelClick() { done(2); }

void TFReportOptions::RenameSelected()
{
  const QList<QListWidgetItem*> selected = CLBwins->selectedItems();
  if (!selected.isEmpty())
    Rename(selected.first());
}

void TFReportOptions::RenameAt(const QPoint& at) { Rename(CLBwins->itemAt(at)); }

void TFReportOptions::Rename(QListWidgetItem* item)
{
  if (!item)
    return;
  // A cancelled box keeps the text.
  if (const std::optional<QString> answer =
          ModalCalls().InputBox(this, "Переименовать", "название:", item->text()))
    item->setText(*answer);
}

void TFReportOptions::keyPressEvent(QKeyEvent* event)
{
  switch (event->key()) {
  case Qt::Key_Return:
  case Qt::Key_Enter: BokClick(); return;
  case Qt::Key_Escape: BcancelClick(); return;
  default: QDialog::keyPressEvent(event);
  }
}

bool TFReportOptions::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == CLBwins && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
      keyPressEvent(static_cast<QKeyEvent*>(event));
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFReportOptions::resizeEvent(QResizeEvent* event)
{
  QDialog::resizeEvent(event);
  FormResize();
}

void TFReportOptions::FormResize()
{
  const int w = width();
  const int h = height();
  CLBwins->setGeometry(0, 0, w, std::max(80, h - 70));
  CBnumbering->move(8, h - 62);
  const int half = w / 2;
  Bok->move(half - Bok->width() - 10, h - 32);
  Bcancel->move(half + 10, h - 32);
}
