#pragma once
// Scripted modal calls that let a test act while a dialog is "shown".
#include "base/ScriptedModalCalls.h"

#include <functional>

class TActingModalCalls : public TScriptedModalCalls {
public:
  int ExecDialog(QDialog* dialog) override
  {
    if (whileShown)
      whileShown(dialog);
    return TScriptedModalCalls::ExecDialog(dialog);
  }
  std::function<void(QDialog*)> whileShown;
};
