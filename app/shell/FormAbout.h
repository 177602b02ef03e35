#pragma once
// TFAbout: the modal about window with the program's name, its authors and two
// links (e-mail and web) that open in the desktop's programs.

#include <QDialog>

class QLabel;
class QPushButton;

class TFAbout : public QDialog {
  Q_OBJECT

public:
  explicit TFAbout(QWidget* owner = nullptr);

  QPushButton* Bok = nullptr;
  QLabel* Lemail = nullptr;
  QLabel* Lurl = nullptr;

  void LemailClick();
  void LurlClick();

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void SetLinkColor(QLabel* label, const QColor& color);
  void FormMouseMove();
};

extern TFAbout* FAbout;
