#pragma once
// TFFlash: the splash window. It plays the animation file "flash.avi" where the
// build can play it, else cross-fades two pictures, and then shows the main
// window; a key or a click ends it at once.

#include "shell/SplashFade.h"

#include <QImage>
#include <QString>
#include <QWidget>

class QTimer;

class TFFlash : public QWidget {
  Q_OBJECT

public:
  enum TSplashMode { SplashAnimation = 0, SplashFadeMode = 1 };

  // The window made visible when the splash ends.
  explicit TFFlash(QWidget* mainWindow, QWidget* owner = nullptr);
  ~TFFlash() override;

  // Shows the splash unless a project named on the command line exists or a
  // run was asked for; then it ends at once without showing itself.
  void FormCreate(bool startProjectFound, bool startRun);
  // Chooses the animation or the fade; runs when the splash first shows.
  void FormActivate();
  void Timer1Timer();
  // Ends the splash: stops the timer and the player, shows the main window and closes.
  void Finish();

  // The animation file: "flash.avi" in the program's folder, else in the current folder.
  static QString AnimationFile();

  int SplashMode() const { return FSplashMode; }
  bool Finished() const { return FFinished; }
  const TSplashFade& Fade() const { return FFade; }
  const QImage& Picture() const { return FMemImage; }
  QTimer* Timer1 = nullptr;
  QImage Image1;
  QImage Image2;
  QImage Image3;

protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

private:
  void StartFade();
  void BlendStep(double weight);
  bool StartAnimation(const QString& file);

  QWidget* FMainWindow;
  TSplashFade FFade;
  QImage FMemImage;
  bool FBusy = false;
  int FSplashMode = SplashAnimation;
  bool FFadeRunning = false;
  bool FActivated = false;
  bool FFinished = false;
  QObject* FPlayer = nullptr;
  QWidget* Panel1 = nullptr;
};

extern TFFlash* FFlash;
