#pragma once
// TFSimplePlotLook: the small always-on-top window of a chart window's inspector.
// It lists the rows of the last read-out, each series row tinted with a pale
// shade of its series colour; Ctrl+C copies the selected cells.

#include "plots/ReadOut.h"

#include <QWidget>

#include <functional>
#include <vector>

class QTableWidget;

class TFSimplePlotLook : public QWidget {
  Q_OBJECT

public:
  explicit TFSimplePlotLook(QWidget* owner);

  QTableWidget* SGdata = nullptr;
  bool AutoHeight = true;

  // Shows the rows below the thin fixed row and fits the height to them.
  void ShowValues(const std::vector<TReadOutRow>& rows);
  // Drops the rows of a read-out whose chart has changed since.
  void Clear() { ShowValues({}); }
  // Called when the window closes: the owner hides its cursor lines.
  std::function<void()> OnClosed;

  void BcopyClick();

protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void FitLastColumn();
};
