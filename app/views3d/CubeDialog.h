#pragma once
// The cube view's small modal dialogs: Enter acts as OK and Esc as Cancel
// wherever the focus is, each dialog fills its controls from its frame when it
// shows, and each exists once for the whole run.
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>

class TCubeDialog : public QDialog {
public:
  using QDialog::QDialog;
  virtual void BokClick() = 0;
  virtual void BcancelClick() = 0;
  // Fills the controls from what the dialog works on; called on every show.
  virtual void FormActivate() {}

protected:
  void showEvent(QShowEvent* event) override
  {
    FormActivate();
    QDialog::showEvent(event);
  }
  void keyPressEvent(QKeyEvent* event) override
  {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
      BokClick();
    else if (event->key() == Qt::Key_Escape)
      BcancelClick();
    else
      QDialog::keyPressEvent(event);
  }
};

// The one dialog of its kind, made on first use and freed with the application.
template <class T> T* OneDialogOfTheRun()
{
  static T* dialog = nullptr;
  if (!dialog) {
    dialog = new T;
    qAddPostRoutine([] {
      delete dialog;
      dialog = nullptr;
    });
  }
  return dialog;
}
