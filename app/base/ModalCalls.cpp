#include "base/ModalCalls.h"

#include "base/QtModalCalls.h"

namespace {

TModalCalls* InstalledCalls = nullptr;

} // namespace

TModalCalls& ModalCalls()
{
  static TQtModalCalls qtCalls;
  return InstalledCalls ? *InstalledCalls : qtCalls;
}

void SetModalCalls(TModalCalls* calls)
{
  InstalledCalls = calls;
}

QStringList TModalCalls::OpenFileNames(QWidget* parent, const QString& folder, const QString& filter)
{
  const QString file = OpenFileName(parent, folder, filter);
  return file.isEmpty() ? QStringList() : QStringList{file};
}

TFileChoice TModalCalls::OpenFileOfType(QWidget* parent, const QString& folder, const QString& filter,
                                        int filterIndex)
{
  return {OpenFileName(parent, folder, filter), filterIndex};
}

TFileChoice TModalCalls::SaveFileOfType(QWidget* parent, const QString& folder, const QString& filter,
                                        const QString& defaultSuffix, int filterIndex)
{
  return {SaveFileName(parent, folder, filter, defaultSuffix), filterIndex};
}

std::optional<TFontChoice> TModalCalls::ChooseFontColour(QWidget* parent, const TFontChoice& initial)
{
  const std::optional<QFont> font = ChooseFont(parent, initial.font);
  if (!font)
    return std::nullopt;
  return TFontChoice{*font, initial.colour};
}

void ShowErrorMessage(QWidget* parent, const QString& text)
{
  ModalCalls().Message(parent, QMessageBox::Critical, QString::fromUtf8("Ошибка"), text, QMessageBox::Ok);
}
