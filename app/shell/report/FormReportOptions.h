#pragma once
// TFReportOptions: which view windows go into the report as pictures, under
// which titles, and whether the pictures are numbered. The choices stay with
// the windows; the numbering box keeps its state for the whole run.
#include <QDialog>
#include <QList>
#include <QPointer>

#include <vector>

class QAction;
class QCheckBox;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class TFSimpleView;

class TFReportOptions : public QDialog {
  Q_OBJECT

public:
  explicit TFReportOptions(QWidget* owner = nullptr);

  // The windows in the order the report puts their pictures (the last MDI
  // child first); every line starts ticked.
  void FillList(const QList<TFSimpleView*>& viewsLastFirst);
  bool Numbering() const;

  // Writes the ticks and titles back into the windows, then closes with 1.
  void BokClick();
  void BcancelClick();
  // Renames a line: from the menu the selected one, from the list the one at
  // the point (list coordinates).
  void RenameSelected();
  void RenameAt(const QPoint& at);

  QListWidget* CLBwins = nullptr;
  QCheckBox* CBnumbering = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* PMIrename = nullptr;

protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  void Rename(QListWidgetItem* item);
  void FormResize();

  std::vector<QPointer<TFSimpleView>> windows;
};
