#pragma once
// TFSelectChar: the characters 32 to 255 of a font in a grid; a click on one
// closes the dialog and hands the character back. One instance serves the
// whole run (FSelectChar).
#include "data/TagStream.h"

#include <QDialog>
#include <QFont>
#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QScrollArea;

struct TCharCell {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;
  std::uint16_t code;
};

class TFSelectChar : public QDialog {
  Q_OBJECT

public:
  static constexpr int FirstChar = 32;
  static constexpr int LastChar = 255;
  static constexpr int Columns = 16;
  static constexpr int Margin = 10;
  // Modal results: take the chosen character, or cancel.
  static constexpr int ResultChosen = 1;
  static constexpr int ResultCancel = 2;

  explicit TFSelectChar(QWidget* owner = nullptr);

  // Draws the grid for the font and forgets the character of an earlier use,
  // so that "Ok" without a click hands back nothing.
  void Prepare(const TFontRecord& font);
  // How the digit "0" of a font is measured (the cell size follows it); the
  // font's own metrics unless replaced.
  void SetDigitMeasure(std::function<QSize(const QFont&)> measure) { digitMeasure = std::move(measure); }

  // The chosen character as the font shows it (symbol fonts decode through
  // their own encoding), and its byte code; empty and 0 before a click.
  const QString& ChosenText() const { return chosenText; }
  int ChosenCode() const { return chosenCode; }
  const std::vector<TCharCell>& Cells() const { return cells; }
  const QImage& Picture() const { return picture; }

  QPushButton* SpeedButton1 = nullptr;
  QPushButton* SpeedButton2 = nullptr;
  QScrollArea* ScrollBox1 = nullptr;
  QLabel* Image = nullptr;

public slots:
  void SpeedButton1Click();
  void SpeedButton2Click();
  // A point of the picture in its own pixels.
  void ImageMouseDown(int x, int y);

private:
  std::vector<TCharCell> cells;
  QString chosenText;
  int chosenCode = 0;
  QImage picture;
  TFontRecord fontRecord;
  std::function<QSize(const QFont&)> digitMeasure;
};

// The picker of the run, made on first use; DestroySelectChar ends it.
TFSelectChar* SelectCharForm();
void DestroySelectChar();
