#pragma once
// Numbers typed into the cube view's dialogs: a comma serves as the decimal
// point too; text that is no finite number gives nothing.
#include <QLocale>
#include <QString>

#include <cmath>
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
