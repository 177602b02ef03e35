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

void ShowErrorMessage(QWidget* parent, const QString& text)
{
  ModalCalls().Message(parent, QMessageBox::Critical, QString::fromUtf8("Ошибка"), text, QMessageBox::Ok);
}
