#pragma once

#include <cstdint>

// Message numbers of the model window; they keep their window-message values
// so that logs and stored traces read the same everywhere.
constexpr int WM_APP = 0x8000;
constexpr int WM_CALC_OUTPUT = WM_APP + 0x191;
constexpr int WM_CALC_REFRESH = WM_APP + 0x192;
constexpr int WM_REFRESH_VIEWS = WM_APP + 0x193;
constexpr int WM_CALC_PAUSED = WM_APP + 0x194;
constexpr int WM_CALC_STOPPED = WM_APP + 0x195;
constexpr int WM_CALC_ERROR = WM_APP + 0x196;
constexpr int WM_CALC_SAVESTEP = WM_APP + 0x197;

// One message of the worker (or of the model to itself) on its way to the
// user-interface thread.
struct TCalcMessage {
  int id = 0;
  int wParam = 0;
  // Posted notices carry the run generation in which they were posted; the
  // channel drops them once a newer run or an abort has begun.
  std::uint64_t generation = 0;
  // The worker that sent it; 0 for the model's own notices.
  std::uint64_t sender = 0;
  bool sent = false;
};
