#include "plots/info/InfoFields.h"

#include "data/TextConversion.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

QLineEdit* AddInfoField(QGridLayout* grid, int row, int column, const char* name, const QString& caption,
                        const char* hint)
{
  auto* label = new QLabel(caption);
  label->setToolTip(QString::fromUtf8(hint));
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  edit->setReadOnly(true);
  edit->setFrame(false);
  edit->setToolTip(QString::fromUtf8(hint));
  grid->addWidget(label, row, column);
  grid->addWidget(edit, row, column + 1);
  return edit;
}

void FitInfoField(QLineEdit* edit, const QString& widest)
{
  // The line edit keeps a margin of 2 pixels on each side and a cursor pixel.
  const QMargins text = edit->textMargins() + edit->contentsMargins();
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(widest) + 2 * 2 + 1 + text.left() + text.right());
}

QString InfoNumber(double value, int digits)
{
  return QString::fromStdString(FloatToStrSep(value, ffGeneral, digits, 0));
}


QString WidestInfoNumber(int digits)
{
  return InfoNumber(-8.888888888888888e-300, digits);
}
