#include "shell/FormInfo.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>

TFInfo* FInfo = nullptr;

namespace {

constexpr int ClientWidth = 208;
constexpr int ClientHeight = 75;
constexpr int RightMargin = 10;

QFont BoldPixelFont(int pixels)
{
  QFont font;
  font.setPixelSize(pixels);
  font.setBold(true);
  return font;
}

} // namespace

TFInfo::TFInfo(QWidget* owner) : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
  setObjectName("FInfo");
  setAttribute(Qt::WA_QuitOnClose, false);
  // Staying on top, the window would cover the buttons of any box shown while it is up.
  qApp->installEventFilter(this);
  setFixedSize(ClientWidth, ClientHeight);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xFF));
  setPalette(pal);
  setAutoFillBackground(true);

  auto* bevel = new QFrame(this);
  bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  bevel->setLineWidth(1);
  bevel->setGeometry(0, 0, ClientWidth, ClientHeight);

  Label1 = new QLabel(QString::fromUtf8("Загрузка данных ..."), this);
  Label1->setObjectName("Label1");
  Label1->setFont(BoldPixelFont(16));
  Label1->setAlignment(Qt::AlignCenter);
  QPalette title = Label1->palette();
  title.setColor(QPalette::WindowText, QColor(0x30, 0x30, 0xBB));
  Label1->setPalette(title);
  Label1->setGeometry(4, 10, ClientWidth - 8, 22);

  Label2 = new QLabel(this);
  Label2->setObjectName("Label2");
  Label2->setFont(BoldPixelFont(11));
  Label2->move(ClientWidth - RightMargin, 44);

  ProgressBar = new QProgressBar(this);
  ProgressBar->setObjectName("ProgressBar");
  ProgressBar->setRange(0, 100);
  ProgressBar->setTextVisible(false);
  ProgressBar->setGeometry(10, 60, ClientWidth - 20, 8);
  ProgressBar->hide();
}

void TFInfo::ShowText(const QString& line, const QString& title, QWidget* form)
{
  Label2->setText(line);
  Label1->setText(title);
  Label2->adjustSize();
  Label2->move(width() - RightMargin - Label2->width(), Label2->y());
  QRect around = form ? form->geometry() : QGuiApplication::primaryScreen()->geometry();
  move(around.left() + (around.width() - width()) / 2, around.top() + (around.height() - height()) / 2);
  show();
  raise();
  repaint();
}

void TFInfo::hideEvent(QHideEvent* event)
{
  FormHide();
  QWidget::hideEvent(event);
}

void TFInfo::FormHide()
{
  ProgressBar->hide();
}

void TFInfo::paintEvent(QPaintEvent*)
{
  // The background picture: a soft band of the window colour.
  QPainter p(this);
  QLinearGradient band(0, 0, 0, height());
  band.setColorAt(0, QColor(0xE8, 0xE8, 0xFF));
  band.setColorAt(1, QColor(0xC0, 0xC0, 0xFF));
  p.fillRect(rect(), band);
}

bool TFInfo::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::Show && isVisible() && watched != this)
    if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && dialog->isWindow())
      hide();
  return QWidget::eventFilter(watched, event);
}
