#include "shell/base/ModalCalls.h"

#include "shell/base/QtModalCalls.h"

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

