#pragma once
// The base of the drop-down dialogs with an OK and a cancel button: the caller
// reads the value back whatever the result, so cancelling first puts the kept
// value back into the controls. Enter accepts, Escape cancels.
#include <QDialog>

class QDateEdit;
class QFrame;
class QLabel;
class QToolButton;

class TDropDownDialog : public QDialog {
  Q_OBJECT

public:
  explicit TDropDownDialog(QWidget* owner);

  QToolButton* SBOk = nullptr;
  QToolButton* SBCancel = nullptr;
  QFrame* Shape = nullptr;
  QLabel* Ldate = nullptr;
  QDateEdit* date = nullptr;

protected:
  // Puts the kept value back into the controls.
  virtual void RestoreKept() = 0;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // The pickers pass their Enter and Escape keys to the dialog.
  void WatchKeys(QWidget* control);
  // The design both dialogs share: 152 x 46 in a frame, the date picker under
  // "дата" on the left, a second control under its label from x on, and the
  // two buttons on the right.
  void BuildDesign(QWidget* second, QLabel* secondLabel, int x);

private:
  void Accept();
  void Cancel();
};
