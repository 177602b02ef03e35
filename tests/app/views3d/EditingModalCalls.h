#pragma once
// Scripted modal calls that let a test fill a dialog before it is answered.
#include "base/ScriptedModalCalls.h"

#include <QDialog>

#include <functional>

class TEditingModalCalls : public TScriptedModalCalls {
public:
  std::function<void(QDialog*)> edit;
  int ExecDialog(QDialog* dialog) override
  {
    if (edit)
      edit(dialog);
    return TScriptedModalCalls::ExecDialog(dialog);
  }
};
