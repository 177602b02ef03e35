#pragma once

#include "ModelTestSupport.h"

#include "gis/GIS.h"
#include "gis/GModelRect.h"
#include "model/FormBitModel.h"

#include <korvane.h>

#include <QEventLoop>
#include <QTimer>

#include <memory>

namespace modeltest {

// Like PumpUntil, but sleeps in the event loop itself, so that every send of
// the worker is served the moment it arrives (runs of hundreds of steps).
inline bool ServeUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout) {
  QTimer tick;
  tick.start(20); // wakes the wait when nothing else does
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done() && std::chrono::steady_clock::now() < end)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return done();
}

// A small lattice with deterministic growth and a needle rising from the
// middle of the lower plate through half the gap: it breaks down in a few
// hundred steps, the same way every time.
inline void SetUpNeedle(THeap &h, int side = 7, int height = 10) {
  THeapSetLatticeSize(&h, side, height, side);
  h.GrowthType = 1;
  const int c = side / 2;
  for (int i2 = 1; i2 <= height / 2; ++i2)
    h.ElectrodeCodes[c + side * (c + side * i2)] = -3.0;
}

// The breakdown model with a needle, a GIS and a host, as the main window
// would set them up.
class TBitModelRig {
public:
  TBitModelRig() {
    auto area = std::make_unique<TGModelRect>(&gis);
    area->SetDX(1);
    area->SetDY(1);
    gis.AddObject(nullptr, std::move(area), false);
    model = std::make_unique<TFBitModel>();
    model->SetHost(&host);
    SetUpNeedle(*model->GetEngine());
    model->UpdateLatticeSize();
    model->SetGIS(&gis);
    model->SetSaveFlags(0);
  }
  ~TBitModelRig() {
    model.reset();
    FlushDeferredDeletes();
  }
  THeap &Engine() { return *model->GetEngine(); }
  // Starts and waits for the run's pause (its stop condition).
  bool RunToPause(std::chrono::milliseconds timeout = std::chrono::milliseconds(20000)) {
    const int before = host.paused;
    model->Start();
    return ServeUntil([&] { return host.paused > before; }, timeout);
  }

  TTestHost host;
  TGIS gis;
  std::unique_ptr<TFBitModel> model;
};

} // namespace modeltest
