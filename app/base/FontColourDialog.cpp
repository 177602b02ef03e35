#include "base/FontColourDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFontColourDialog::TFontColourDialog(const QFont& font, const QColor& colour, QWidget* parent)
    : QDialog(parent), FColour(colour)
{
  setWindowTitle(QString::fromUtf8("Шрифт"));
  FFonts = new QFontDialog(font, this);
  FFonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
  FFonts->setWindowFlags(Qt::Widget);
  auto* colourRow = new QHBoxLayout;
  colourRow->addWidget(new QLabel(QString::fromUtf8("Цвет:"), this));
  Bcolour = new QPushButton(this);
  Bcolour->setObjectName("Bcolour");
  Bcolour->setFixedSize(60, 22);
  colourRow->addWidget(Bcolour);
  colourRow->addStretch(1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText("Ok");
  buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("Отмена"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(FFonts);
  layout->addLayout(colourRow);
  layout->addWidget(buttons);
  connect(Bcolour, &QPushButton::clicked, this, &TFontColourDialog::BcolourClick);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  SetColour(colour);
}

QFont TFontColourDialog::SelectedFont() const
{
  return FFonts->currentFont();
}

void TFontColourDialog::SetColour(const QColor& colour)
{
  FColour = colour;
  Bcolour->setStyleSheet(QString("background: %1").arg(colour.name()));
  // The font dialog's sample is the line edit in its group box.
  for (QLineEdit* edit : FFonts->findChildren<QLineEdit*>())
    if (qobject_cast<QGroupBox*>(edit->parentWidget())) {
      QPalette palette = edit->palette();
      palette.setColor(QPalette::Text, colour);
      edit->setPalette(palette);
    }
}

void TFontColourDialog::BcolourClick()
{
  const QColor chosen = QColorDialog::getColor(FColour, this);
  if (chosen.isValid())
    SetColour(chosen);
}
