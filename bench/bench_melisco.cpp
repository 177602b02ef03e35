// One redraw of an array view: the colour filling of a 101 x 101 grid into a
// 1000 x 1000 bitmap, then the contour pass (bands, lines, label positions)
// over the pixel values, as every view refresh runs them.
#include "melisco.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kGrid = 101;
constexpr int kPixels = 1000;
constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct Frame {
  TMemBitmap bm{};
  std::vector<double> values;
  std::vector<double> pixelValues;
  std::vector<TContourLevel> levels;
  HFONT font = nullptr;

  Frame() : values(kGrid * kGrid), pixelValues(kPixels * kPixels) {
    InitBitmap(&bm);
    CheckBitmapEx(kPixels, kPixels, false, &bm, nullptr, 24, BI_RGB, DIB_RGB_COLORS);
    // A hill on a slope with a patch of missing values, as model fields look.
    for (int j = 0; j < kGrid; ++j) {
      for (int i = 0; i < kGrid; ++i) {
        const double x = (i - 50) / 20.0, y = (j - 50) / 20.0;
        values[j * kGrid + i] = 100.0 * std::exp(-(x * x + y * y) / 2) + 10.0 * x;
        if (i > 80 && j > 80) {
          values[j * kGrid + i] = 1e300;
        }
      }
    }
    for (int k = 0; k < 11; ++k) {
      levels.push_back({-20.0 + 12.0 * k, 0x000000, k % 5 == 0 ? 2 : 1,
                        MixColor(0xFF0000, 0x0000FF, (k << 16) / 10, 2), 0x8888});
    }
    font = CreateLabelFont(kFontFile, 11);
  }
  ~Frame() {
    DeleteLabelFont(font);
    DeleteBitmap(&bm);
  }

  void Fill() {
    DrawFilling(&bm, values.data(), kGrid, kGrid, 0, 0, 1, 1, nullptr, 0, 0, 1, 1, 4, true, -20, 110,
                0xFF0000, 0x0000FF, 2, 0x8888, 0x8888, true, pixelValues.data());
  }

  int Contours() {
    double* outLevels = nullptr;
    int32_t* colours = nullptr;
    uint32_t* kinds = nullptr;
    int32_t* labels = nullptr;
    int labelInts = 0;
    DrawContours(&bm, pixelValues.data(), levels.data(), static_cast<int>(levels.size()), 1.0, 0.0,
                 &outLevels, &colours, &kinds, &labels, &labelInts, font, true, true, true, true, 137,
                 70);
    DrawContourLabels(bm.memDC, labelInts, outLevels, kinds, colours, labels, font);
    FreeContoursData(&labels, &outLevels, &colours, &kinds);
    return labelInts;
  }
};

void BM_FillingAndContours(benchmark::State& state) {
  Frame frame;
  for (auto _ : state) {
    frame.Fill();
    benchmark::DoNotOptimize(frame.Contours());
  }
  state.SetLabel(frame.font != nullptr ? "with labels" : "no font: without labels");
}
BENCHMARK(BM_FillingAndContours)->Unit(benchmark::kMillisecond);

void BM_FillingOnly(benchmark::State& state) {
  Frame frame;
  for (auto _ : state) {
    frame.Fill();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FillingOnly)->Unit(benchmark::kMillisecond);

void BM_ContoursOnly(benchmark::State& state) {
  Frame frame;
  frame.Fill();
  for (auto _ : state) {
    benchmark::DoNotOptimize(frame.Contours());
  }
}
BENCHMARK(BM_ContoursOnly)->Unit(benchmark::kMillisecond);

}  // namespace
