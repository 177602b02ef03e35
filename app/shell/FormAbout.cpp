#include "shell/FormAbout.h"

#include "base/ModalCalls.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

TFAbout* FAbout = nullptr;

namespace {

const QColor LinkColor(0x00, 0x00, 0x80);
const QColor HotLinkColor(0x00, 0x00, 0xFF);

QLabel* AddLabel(QVBoxLayout* layout, const QString& text, int pixels, bool bold)
{
  auto* label = new QLabel(text);
  QFont font = label->font();
  font.setPixelSize(pixels);
  font.setBold(bold);
  label->setFont(font);
  label->setAlignment(Qt::AlignCenter);
  label->setWordWrap(true);
  label->setMouseTracking(true);
  layout->addWidget(label);
  return label;
}

} // namespace

TFAbout::TFAbout(QWidget* owner) : QDialog(owner)
{
  setObjectName("FAbout");
  setWindowTitle(QString::fromUtf8("О программе"));
  setAttribute(Qt::WA_QuitOnClose, false);
  setFixedSize(357, 276);
  setMouseTracking(true);

  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setGeometry(8, 8, 341, 220);
  panel->setMouseTracking(true);
  panel->installEventFilter(this);
  auto* layout = new QVBoxLayout(panel);
  AddLabel(layout, "Kestovar", 22, true)->installEventFilter(this);
  AddLabel(layout, QString::fromUtf8("Компьютерный лабораторный практикум."), 12, false)->installEventFilter(this);
  AddLabel(layout, QString::fromUtf8("Диэлектрический пробой твердых тел"), 14, true)->installEventFilter(this);
  AddLabel(layout, QString::fromUtf8("Версия 0.1"), 11, false)->installEventFilter(this);
  AddLabel(layout, QString::fromUtf8("Разработка: коллектив Orvalen"), 11, false)->installEventFilter(this);
  Lemail = AddLabel(layout, "kestovar@orvalen.example", 11, false);
  Lemail->setObjectName("Lemail");
  Lurl = AddLabel(layout, "www.orvalen.example", 11, false);
  Lurl->setObjectName("Lurl");
  for (QLabel* link : {Lemail, Lurl}) {
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(this);
    SetLinkColor(link, LinkColor);
  }

  Bok = new QPushButton("OK", this);
  Bok->setObjectName("Bok");
  Bok->setFlat(true);
  Bok->setGeometry((357 - 75) / 2, 240, 75, 25);
  Bok->setDefault(true);
  connect(Bok, &QPushButton::clicked, this, &QDialog::accept);

  QRect screen = QGuiApplication::primaryScreen()->geometry();
  move(screen.center() - rect().center());
}

void TFAbout::LemailClick()
{
  ModalCalls().OpenUrl(QUrl(QString("mailto:%1").arg(Lemail->text())));
}

void TFAbout::LurlClick()
{
  ModalCalls().OpenUrl(QUrl("http://" + Lurl->text()));
}

void TFAbout::keyPressEvent(QKeyEvent*)
{
  // Any key closes the window, like its OK button.
  accept();
}

void TFAbout::mouseMoveEvent(QMouseEvent* event)
{
  FormMouseMove();
  QDialog::mouseMoveEvent(event);
}

bool TFAbout::eventFilter(QObject* watched, QEvent* event)
{
  auto* link = watched == Lemail || watched == Lurl ? static_cast<QLabel*>(watched) : nullptr;
  if (event->type() == QEvent::MouseMove) {
    if (!link) {
      FormMouseMove();
      return QDialog::eventFilter(watched, event);
    }
    // Taken here, so that the panel under the link does not dim it again.
    SetLinkColor(link, HotLinkColor);
    return true;
  }
  if (event->type() == QEvent::MouseButtonRelease && link) {
    if (link == Lemail)
      LemailClick();
    else
      LurlClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TFAbout::SetLinkColor(QLabel* label, const QColor& color)
{
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, color);
  label->setPalette(pal);
}

void TFAbout::FormMouseMove()
{
  SetLinkColor(Lemail, LinkColor);
  SetLinkColor(Lurl, LinkColor);
}
