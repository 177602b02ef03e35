#pragma once
// TFInfo: the one progress window of long operations: a title and one line,
// centred on a form or on the screen.

#include <QWidget>

class QLabel;
class QProgressBar;

class TFInfo : public QWidget {
  Q_OBJECT

public:
  explicit TFInfo(QWidget* owner = nullptr);

  // Shows the line under the title, the line ending 10 pixels from the right
  // edge; centred on the form, or on the screen without one. Callers hide it.
  void ShowText(const QString& line, const QString& title, QWidget* form);

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QProgressBar* ProgressBar = nullptr;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

private:
  void FormHide();
};

extern TFInfo* FInfo;
