#pragma once
// Numbers typed into the cube view's dialogs: a comma serves as the decimal
// point too; text that is no finite number gives nothing.
#include "base/ModalCalls.h"

#include <QLineEdit>
#include <QLocale>
#include <QString>

#include <cmath>
#include <initializer_list>
#include <optional>

inline std::optional<double> NumberIn(const QString& text)
{
  QString normal = text.trimmed();
  normal.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double value = QLocale::c().toDouble(normal, &ok);
  if (!ok || !std::isfinite(value))
    return std::nullopt;
  return value;
}

// The error box of a number field whose text is no number.
inline void ShowNotANumber(QWidget* parent, const QString& text)
{
  ShowErrorMessage(parent, QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

// True when every edit holds a number; else the error box for the first that does not.
inline bool AllNumbers(QWidget* parent, std::initializer_list<const QLineEdit*> edits)
{
  for (const QLineEdit* edit : edits)
    if (!NumberIn(edit->text())) {
      ShowNotANumber(parent, edit->text());
      return false;
    }
  return true;
}
