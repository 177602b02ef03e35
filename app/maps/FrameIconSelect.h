#pragma once
// TFmIconSelect: the sign editor inside the reper and mark frames. A sign is
// text in a chosen font ("Значок") or a small picture ("Иконка"); the frame
// keeps what the user touched in four edited flags, so that a host editing
// several objects writes only those parts.
#include "data/TagStream.h"

#include <QImage>
#include <QWidget>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TBitmap;

class TFmIconSelect : public QWidget {
  Q_OBJECT

public:
  explicit TFmIconSelect(QWidget* owner = nullptr);

  // The sign font; the edit shows its text in it.
  void SetSignFont(const TFontRecord& font);
  const TFontRecord& SignFont() const { return signFont; }
  // The sign text as the object keeps it (symbol fonts through their encoding).
  void SetSignText(const std::string& stored);
  std::string SignText() const;
  // Chooses "Значок" for a sign text, "Иконка" for none.
  void SetKindFromText(const std::string& stored);
  bool IsSignChosen() const;
  // Shows the picture, or nothing: an object without an icon never shows the
  // icon of the object shown before it.
  void SetIcon(const TBitmap* icon);
  const QImage& IconImage() const { return iconImage; }
  // Greys the controls of the groups while several objects are shown.
  void SetMultiple(bool multiple);
  void ClearEdited();

  bool FontEdited() const { return fontEdited; }
  bool SignEdited() const { return signEdited; }
  bool KindEdited() const { return kindEdited; }
  bool IconEdited() const { return iconEdited; }

  QRadioButton* RBsign = nullptr;
  QLineEdit* Es = nullptr;
  QPushButton* Bselectchar = nullptr;
  QPushButton* Bfont = nullptr;
  QRadioButton* RBicon = nullptr;
  QLabel* IIcon = nullptr;
  QPushButton* Bload = nullptr;

public slots:
  void EsChange();
  void RBsignClick();
  void RBiconClick();
  void BfontClick();
  void BselectcharClick();
  void BloadClick();

private:
  void ShowIcon(const QImage& image);

  bool fontEdited = false;
  bool signEdited = false;
  bool kindEdited = false;
  bool iconEdited = false;
  TFontRecord signFont;
  QImage iconImage;
};
