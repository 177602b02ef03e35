#pragma once
// The font dialog of sign and label fonts: Qt's font dialog, which knows no
// colour, with a colour swatch and a colour button beside it. The sample text
// shows the chosen colour.

#include <QColor>
#include <QDialog>
#include <QFont>

class QFontDialog;
class QPushButton;

class TFontColourDialog : public QDialog {
  Q_OBJECT

public:
  TFontColourDialog(const QFont& font, const QColor& colour, QWidget* parent = nullptr);

  QFont SelectedFont() const;
  QColor SelectedColour() const { return FColour; }
  void SetColour(const QColor& colour);

  QPushButton* Bcolour = nullptr;

private:
  void BcolourClick();

  QFontDialog* FFonts = nullptr;
  QColor FColour;
};
