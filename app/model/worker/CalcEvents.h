#pragma once

#include "model/worker/Event.h"

// The six events through which a model controls its worker. The worker's loop
// depends on these reset kinds: requests for a pause or a stop are taken once,
// the gate and the terminate request stay until reset by hand.
struct TCalcEvents {
  TEvent runGate{TEvent::ManualReset};
  TEvent pauseRequest{TEvent::AutoReset};
  TEvent stopRequest{TEvent::AutoReset};
  TEvent terminateRequest{TEvent::ManualReset};
  TEvent finished{TEvent::ManualReset};
  TEvent busy{TEvent::ManualReset};

  void ResetAll() {
    runGate.Reset();
    pauseRequest.Reset();
    stopRequest.Reset();
    terminateRequest.Reset();
    finished.Reset();
    busy.Reset();
  }
};
