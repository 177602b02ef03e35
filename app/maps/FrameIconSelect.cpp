#include "maps/FrameIconSelect.h"

#include "base/ModalCalls.h"
#include "data/qt/RegistrySettings.h"
#include "gis/Bitmap.h"
#include "gis/BitmapCanvas.h"
#include "maps/FormSelectChar.h"
#include "maps/GreyText.h"
#include "maps/SignFont.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

TFmIconSelect::TFmIconSelect(QWidget* owner) : QWidget(owner)
{
  setObjectName("FmIcon");
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  RBsign = new QRadioButton(QString::fromUtf8("Значок"), this);
  Es = new QLineEdit(QString::fromUtf8("Ё"), this);
  Bselectchar = new QPushButton("<", this);
  Bselectchar->setToolTip(QString::fromUtf8("найти значек"));
  Bfont = new QPushButton(QString::fromUtf8("Шрифт ..."), this);
  RBicon = new QRadioButton(QString::fromUtf8("Иконка"), this);
  IIcon = new QLabel(this);
  Bload = new QPushButton("...", this);
  layout->addWidget(RBsign, 0, 0);
  layout->addWidget(Es, 0, 1);
  layout->addWidget(Bselectchar, 0, 2);
  layout->addWidget(Bfont, 0, 3);
  layout->addWidget(RBicon, 1, 0);
  layout->addWidget(IIcon, 1, 1);
  layout->addWidget(Bload, 1, 2);
  RBsign->setChecked(true);
  connect(Es, &QLineEdit::textEdited, this, &TFmIconSelect::EsChange);
  connect(RBsign, &QRadioButton::clicked, this, &TFmIconSelect::RBsignClick);
  connect(RBicon, &QRadioButton::clicked, this, &TFmIconSelect::RBiconClick);
  connect(Bfont, &QPushButton::clicked, this, &TFmIconSelect::BfontClick);
  connect(Bselectchar, &QPushButton::clicked, this, &TFmIconSelect::BselectcharClick);
  connect(Bload, &QPushButton::clicked, this, &TFmIconSelect::BloadClick);
}

void TFmIconSelect::SetSignFont(const TFontRecord& font)
{
  // The text keeps its characters; only the way they are drawn changes.
  const QString shown = Es->text();
  signFont = font;
  Es->setFont(TBitmapCanvas::FontOf(font));
  QPalette palette = Es->palette();
  palette.setColor(QPalette::Text, TBitmapCanvas::ColorOf(font));
  Es->setPalette(palette);
  Es->setText(shown);
}

void TFmIconSelect::SetSignText(const std::string& stored)
{
  Es->setText(TBitmapCanvas::TextOf(signFont, stored));
}

std::string TFmIconSelect::SignText() const
{
  return TBitmapCanvas::StoredTextOf(signFont, Es->text());
}

void TFmIconSelect::SetKindFromText(const std::string& stored)
{
  (stored.empty() ? RBicon : RBsign)->setChecked(true);
}

bool TFmIconSelect::IsSignChosen() const
{
  return RBsign->isChecked();
}

void TFmIconSelect::SetIcon(const TBitmap* icon)
{
  ShowIcon(icon ? icon->Image() : QImage());
}

void TFmIconSelect::ShowIcon(const QImage& image)
{
  iconImage = image;
  if (image.isNull())
    IIcon->clear();
  else
    IIcon->setPixmap(QPixmap::fromImage(image));
  IIcon->adjustSize();
}

void TFmIconSelect::SetMultiple(bool multiple)
{
  QPalette palette = Es->palette();
  const QPalette normal;
  palette.setColor(QPalette::Base, normal.color(multiple ? QPalette::Button : QPalette::Base));
  Es->setPalette(palette);
  for (QWidget* widget : {static_cast<QWidget*>(Bfont), static_cast<QWidget*>(RBsign),
                          static_cast<QWidget*>(RBicon)})
    ShowTextGreyed(widget, multiple);
}

void TFmIconSelect::ClearEdited()
{
  fontEdited = signEdited = kindEdited = iconEdited = false;
}

void TFmIconSelect::EsChange()
{
  signEdited = true;
  QPalette palette = Es->palette();
  palette.setColor(QPalette::Base, QPalette().color(QPalette::Base));
  Es->setPalette(palette);
}

void TFmIconSelect::RBsignClick()
{
  kindEdited = true;
  ShowTextGreyed(RBsign, false);
  ShowTextGreyed(RBicon, false);
}

void TFmIconSelect::RBiconClick()
{
  RBsignClick();
}

void TFmIconSelect::BfontClick()
{
  const std::optional<TFontChoice> chosen =
      ModalCalls().ChooseFontColour(this, {Es->font(), TBitmapCanvas::ColorOf(signFont)});
  if (!chosen)
    return;
  SetSignFont(FontRecordFromChoice(*chosen, signFont));
  fontEdited = true;
  ShowTextGreyed(Bfont, false);
}

void TFmIconSelect::BselectcharClick()
{
  TFSelectChar* picker = SelectCharForm();
  picker->Prepare(signFont);
  if (ModalCalls().ExecDialog(picker) != TFSelectChar::ResultChosen || picker->ChosenText().isEmpty())
    return;
  Es->setText(Es->text() + picker->ChosenText());
  EsChange();
}

void TFmIconSelect::BloadClick()
{
  const QString folder = RegReadSetting("icons", QString());
  const QString file = ModalCalls().OpenFileName(this, folder, QString::fromUtf8("Bitmap files (*.bmp)"));
  if (file.isEmpty())
    return;
  QImage image(file);
  if (image.isNull()) {
    ShowErrorMessage(this, QString::fromUtf8("Не удалось загрузить изображение ") + file);
    return;
  }
  ShowIcon(image);
  RegWriteSetting("icons", file);
  iconEdited = true;
}
