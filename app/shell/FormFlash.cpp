#include "shell/FormFlash.h"

#include "data/qt/RegistrySettings.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QScreen>
#include <QTimer>

#if defined(KESTOVAR_HAVE_MULTIMEDIA)
#include <QMediaPlayer>
#include <QVideoWidget>
#endif

TFFlash* FFlash = nullptr;

namespace {

constexpr int PictureWidth = 300;
constexpr int PictureHeight = 225;

// A branching discharge channel from the top electrode downwards.
void DrawTree(QPainter& p, QPointF from, double angle, double length, int depth, QRandomGenerator& random)
{
  if (depth == 0 || length < 3)
    return;
  QPointF to = from + QPointF(std::sin(angle) * length, std::cos(angle) * length);
  p.setPen(QPen(QColor(0xFF, 0xF0, 0xA0), depth * 0.6));
  p.drawLine(from, to);
  int branches = depth > 5 ? 1 + random.bounded(2) : 1 + random.bounded(3);
  for (int i = 0; i < branches; ++i) {
    double turn = (random.generateDouble() - 0.5) * 1.2;
    DrawTree(p, to, angle + turn, length * (0.7 + random.generateDouble() * 0.2), depth - 1, random);
  }
}

QImage DrawPicture(bool withTree)
{
  QImage image(PictureWidth, PictureHeight, QImage::Format_RGB888);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, PictureHeight);
  sky.setColorAt(0, withTree ? QColor(0x10, 0x18, 0x40) : QColor(0x20, 0x30, 0x70));
  sky.setColorAt(1, withTree ? QColor(0x30, 0x10, 0x50) : QColor(0x08, 0x10, 0x30));
  // The picture fills the window from edge to edge: no bands above or below.
  p.fillRect(image.rect(), sky);
  if (withTree) {
    QRandomGenerator random(1811);
    DrawTree(p, QPointF(PictureWidth / 2.0, 0), 0.0, 28, 9, random);
  }
  p.setPen(Qt::white);
  QFont title = p.font();
  title.setPixelSize(30);
  title.setBold(true);
  p.setFont(title);
  p.drawText(QRect(0, withTree ? 150 : 60, PictureWidth, 40), Qt::AlignCenter, "Kestovar");
  QFont line = title;
  line.setPixelSize(13);
  line.setBold(false);
  p.setFont(line);
  p.drawText(QRect(0, withTree ? 185 : 105, PictureWidth, 20), Qt::AlignCenter,
             QString::fromUtf8(withTree ? "Компьютерный лабораторный практикум." : "Диэлектрический пробой твердых тел"));
  return image;
}

} // namespace

TFFlash::TFFlash(QWidget* mainWindow, QWidget* owner)
  : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint), FMainWindow(mainWindow)
{
  setObjectName("FFlash");
  setAttribute(Qt::WA_QuitOnClose, false);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedSize(PictureWidth, PictureHeight);
  // A key ends the splash: it takes the keyboard while it shows.
  setFocusPolicy(Qt::StrongFocus);
  QRect screen = QGuiApplication::primaryScreen()->geometry();
  move(screen.center() - rect().center());
  Image1 = DrawPicture(true);
  Image2 = DrawPicture(false);
  Image3 = Image2;
  Timer1 = new QTimer(this);
  Timer1->setInterval(200);
  connect(Timer1, &QTimer::timeout, this, &TFFlash::Timer1Timer);
}

TFFlash::~TFFlash() = default;

void TFFlash::FormCreate(bool startProjectFound, bool startRun)
{
  if (!startProjectFound && !startRun)
    show();
  else
    QTimer::singleShot(0, this, &TFFlash::Finish);
}

QString TFFlash::AnimationFile()
{
  QString folder = RegReadSetting("location", QString(), QString(), TRegistryRoot::LocalMachine);
  QString file = QDir(folder).filePath("flash.avi");
  if (!folder.isEmpty() && QFileInfo(file).isFile())
    return file;
  return QDir::current().filePath("flash.avi");
}

void TFFlash::showEvent(QShowEvent* event)
{
  QWidget::showEvent(event);
  activateWindow();
  setFocus();
  if (!FActivated) {
    FActivated = true;
    QTimer::singleShot(0, this, &TFFlash::FormActivate);
  }
}

void TFFlash::FormActivate()
{
  if (FFinished)
    return;
  QString file = AnimationFile();
  if (QFileInfo(file).isFile() && StartAnimation(file)) {
    FSplashMode = SplashAnimation;
    return;
  }
  StartFade();
}

bool TFFlash::StartAnimation(const QString& file)
{
#if defined(KESTOVAR_HAVE_MULTIMEDIA)
  auto* player = new QMediaPlayer(this);
  auto* video = new QVideoWidget(this);
  video->setGeometry(3, 3, 294, 219);
  video->hide();
  Panel1 = video;
  FPlayer = player;
  player->setVideoOutput(video);
  connect(player, &QMediaPlayer::mediaStatusChanged, this, [this, player](QMediaPlayer::MediaStatus status) {
    if (status == QMediaPlayer::LoadedMedia && !Panel1->isVisible()) {
      Panel1->show();
      player->play();
    } else if (status == QMediaPlayer::EndOfMedia) {
      Finish();
    } else if (status == QMediaPlayer::InvalidMedia) {
      StartFade();
    }
  });
  // Whatever the player cannot do, the picture fade does instead.
  connect(player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error, const QString&) { StartFade(); });
  player->setSource(QUrl::fromLocalFile(file));
  return true;
#else
  (void)file;
  return false;
#endif
}

void TFFlash::StartFade()
{
  if (FFadeRunning || FFinished)
    return;
  FSplashMode = SplashFadeMode;
  FFadeRunning = true;
  if (FPlayer) {
    FPlayer->deleteLater();
    FPlayer = nullptr;
  }
  if (Panel1)
    Panel1->hide();
  FFade.Reset();
  Timer1Timer();
  Timer1->setInterval(50);
  if (!FFinished)
    Timer1->start();
}

void TFFlash::Timer1Timer()
{
  if (!FFade.Step()) {
    Finish();
    return;
  }
  if (FBusy)
    return;
  if (FMemImage.isNull())
    FMemImage = QImage(width(), height(), QImage::Format_RGB888);
  BlendStep(FFade.Weight());
  repaint(0, 0, FMemImage.width(), FMemImage.height());
}

void TFFlash::BlendStep(double weight)
{
  FBusy = true;
  QImage second = Image2.scaled(FMemImage.size());
  QImage first = Image1.scaled(FMemImage.size());
  FMemImage = second.convertToFormat(QImage::Format_RGB888);
  BlendPictures(FMemImage, first.convertToFormat(QImage::Format_RGB888), weight);
  FBusy = false;
}

void TFFlash::paintEvent(QPaintEvent*)
{
  if (FBusy)
    return;
  QPainter p(this);
  if (!FMemImage.isNull())
    p.drawImage(0, 0, FMemImage);
  else
    p.drawImage(rect(), Image3);
}

void TFFlash::keyPressEvent(QKeyEvent*)
{
  Finish();
}

void TFFlash::mousePressEvent(QMouseEvent*)
{
  Finish();
}

void TFFlash::Finish()
{
  if (FFinished)
    return;
  FFinished = true;
  Timer1->stop();
  if (FPlayer) {
    FPlayer->deleteLater();
    FPlayer = nullptr;
  }
  // The main window shows before the splash goes, so the program never has no window.
  if (FMainWindow)
    FMainWindow->show();
  close();
}
