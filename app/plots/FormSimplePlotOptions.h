#pragma once
// TFSimplePlotOptions: "Настройки графика", the modal dialog in which the user
// edits the settings of one chart window. One dialog serves every window of a
// kind; a window fills it (TFSimplePlot::SettingsToDialog), shows it and on OK
// reads it back (TFSimplePlot::DialogToSettings). Plot kinds derive their own
// dialog and add their controls to its pages.

#include "data/TagStream.h"

#include <QCoreApplication>
#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

class TFSimplePlotOptions : public QDialog {
  Q_OBJECT

public:
  explicit TFSimplePlotOptions(QWidget* parent = nullptr);

  // The held fonts, in this order: title, legend, axis title, axis labels.
  enum { TitleFontIndex, LegendFontIndex, AxisTitleFontIndex, AxisLabelFontIndex };
  std::array<TFontRecord, 4> HeldFonts;

  QTabWidget* Pages = nullptr;
  QWidget* PageCommon = nullptr;
  QWidget* PageX = nullptr;
  std::array<QWidget*, 2> PageY{};

  // "Общие"
  QComboBox* CBlegendpos = nullptr;
  QCheckBox* CBbmonochrome = nullptr;
  QLineEdit* Etitle = nullptr;
  QComboBox* CBgradstyle = nullptr;
  QFrame* Sgradcol1 = nullptr;
  QFrame* Sgradcol2 = nullptr;
  QPushButton* Bgradcol1 = nullptr;
  QPushButton* Bgradcol2 = nullptr;
  QComboBox* CBtitleUpDown = nullptr;
  QComboBox* CBtitleAlign = nullptr;
  std::array<QPushButton*, 4> BFonts{}; // BtitleFont, BlegendFont, BaxisTitleFont, BaxisLabelFont
  // "Ось X"
  QLineEdit* Etitlex = nullptr;
  QCheckBox* CBbgridx = nullptr;
  QRadioButton* Bshiftxno = nullptr;
  QRadioButton* Bshiftxfirst = nullptr;
  QRadioButton* Bshiftxvalue = nullptr;
  QLineEdit* Eshiftx = nullptr;
  QCheckBox* CBautoscalexmin = nullptr;
  QCheckBox* CBautoscalexmax = nullptr;
  QLineEdit* Eminx = nullptr;
  QLineEdit* Emaxx = nullptr;
  // "Ось Y левая" (0) and "Ось Y правая" (1)
  std::array<QLineEdit*, 2> Etitley{};
  std::array<QCheckBox*, 2> CBbgridy{};
  std::array<QCheckBox*, 2> CBautoscaley{};
  std::array<QLineEdit*, 2> Eminy{};
  std::array<QLineEdit*, 2> Emaxy{};
  std::array<QCheckBox*, 2> CBblogy{};
  std::array<QLineEdit*, 2> Emargin{};
  QPushButton* BOk = nullptr;
  QPushButton* BCancel = nullptr;

  // The colour a shape shows (COLORREF) and setting it.
  static uint32_t ShapeColour(const QFrame* shape);
  static void SetShapeColour(QFrame* shape, uint32_t colour);

  // The limit edits follow their autoscale boxes, the shift edit its radio button.
  void UpdateEnabled();

protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void ChooseColour(QFrame* shape);
  void ChooseFont(int index);
};

// The one dialog of a kind, made on first use and kept for the run; it goes when
// the application ends.
template <class TDialog>
TDialog* SharedPlotOptions()
{
  static TDialog* dialog = nullptr;
  if (!dialog) {
    dialog = new TDialog;
    qAddPostRoutine([] {
      delete dialog;
      dialog = nullptr;
    });
  }
  return dialog;
}

// The dialog of the plain chart windows.
TFSimplePlotOptions* FSimplePlotOptions();
