// Placing the labels of contour lines and writing their texts.
#include "melisco.h"

#include "ContourCodes.h"
#include "GdiObjects.h"
#include "LabelFont.h"
#include "LabelText.h"
#include "NumericGuards.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

using melisco::FormatLabel;
using melisco::LabelText;

constexpr int kLabelCapacityInts = 800;  // 200 labels of 4 i32
constexpr int kLabelMargin = 10;

bool LabelledKind(uint32_t kind, bool labelThin, bool labelBold) {
  return kind == MELISCO_LINE_BOLD ? labelBold : labelThin;
}

}  // namespace

extern "C" {

void TrimExponentZeros(char* text) {
  char* e = std::strchr(text, 'e');
  if (e == nullptr) {
    return;
  }
  char* digits = e + 1;
  if (*digits == '+' || *digits == '-') {
    ++digits;
  }
  char* rest = digits;
  while (*rest == '0') {
    ++rest;
  }
  std::memmove(digits, rest, std::strlen(rest) + 1);
}

void findLine(int32_t* codes, int width, int height, int code, int* x, int* y, int steps,
              int replacement) {
  static const int kStepX[8] = {0, -1, -1, -1, 0, 1, 1, 1};
  static const int kStepY[8] = {1, 1, 0, -1, -1, -1, 0, 1};
  if (*x < 0 || *x >= width || *y < 0 || *y >= height) {
    return;
  }
  codes[static_cast<std::ptrdiff_t>(*y) * width + *x] = replacement;
  for (int step = 0; step < steps; ++step) {
    int found = -1;
    for (int n = 0; n < 8 && found < 0; ++n) {
      const int nx = *x + kStepX[n];
      const int ny = *y + kStepY[n];
      if (nx >= 0 && nx < width && ny >= 0 && ny < height &&
          codes[static_cast<std::ptrdiff_t>(ny) * width + nx] == code) {
        found = n;
      }
    }
    if (found < 0) {
      return;  // the walk stays: every further step would be lost as well
    }
    *x += kStepX[found];
    *y += kStepY[found];
    codes[static_cast<std::ptrdiff_t>(*y) * width + *x] = replacement;
  }
}

int getContourLabels(int32_t* codes, int width, int height, const double* levels,
                     const uint32_t* kinds, int levelCount, bool labelThin, bool labelBold,
                     int labelSpacing, int labelStart, bool bands, HDC dc, int32_t** outLabels) {
  auto* labels = static_cast<int32_t*>(std::calloc(kLabelCapacityInts, sizeof(int32_t)));
  *outLabels = labels;
  if (labels == nullptr || levelCount <= 0) {
    return 0;
  }
  const HFONT font = dc != nullptr ? dc->font : nullptr;
  std::vector<int> counters(static_cast<std::size_t>(levelCount), labelStart);
  int used = 0;
  for (int y = kLabelMargin; y < height - kLabelMargin && used < kLabelCapacityInts; ++y) {
    for (int x = kLabelMargin; x < width - kLabelMargin && used < kLabelCapacityInts; ++x) {
      const int32_t k = codes[static_cast<std::ptrdiff_t>(y) * width + x];
      // Code 0 marks the edge of missing data, not a level: it carries no label.
      if (k < 1 || k >= levelCount || !LabelledKind(kinds[k], labelThin, labelBold)) {
        continue;
      }
      if (counters[k] >= 0) {
        --counters[k];
        continue;
      }
      const LabelText label = FormatLabel(levels[k]);
      const int half = melisco::MeasureText(font, label.text, false).width / 2;
      const int32_t replacement = melisco::ReplacementOfLine(k, bands);
      int x1 = x, y1 = y, x2 = x, y2 = y;
      findLine(codes, width, height, k, &x1, &y1, half, replacement);
      findLine(codes, width, height, k, &x2, &y2, half, replacement);
      int dx = x2 - x1;
      int dy = y1 - y2;  // rows grow downward
      if (dx < 0) {
        dx = -dx;
        dy = -dy;
      }
      const double angle = std::atan2(static_cast<double>(dy), static_cast<double>(dx));
      labels[used++] = k;
      labels[used++] = x;
      labels[used++] = y;
      labels[used++] = static_cast<int32_t>(angle * 1800.0 / std::numbers::pi);
      counters[k] = labelSpacing;
    }
  }
  return used;
}

void DrawContourLabels(HDC dc, int labelInts, const double* levels, const uint32_t* kinds,
                       const int32_t* colours, const int32_t* labels, HFONT font) {
  if (dc == nullptr || font == nullptr || labels == nullptr) {
    return;
  }
  for (int i = 0; i + 3 < labelInts; i += 4) {
    const int k = labels[i];
    const double x = labels[i + 1];
    const double y = labels[i + 2];
    const double a = labels[i + 3] * std::numbers::pi / 1800.0;
    const bool bold = kinds[k] == MELISCO_LINE_BOLD;
    const LabelText label = FormatLabel(levels[k]);
    const melisco::TextSize size = melisco::MeasureText(font, label.text, bold);
    const int w = size.width / 2 - 1;
    const int h = size.height / 2;
    // The text box's centre lands on the label point.
    const int left = melisco::SafeTrunc(x - (w * std::cos(a) + h * std::sin(a)));
    const int top = melisco::SafeTrunc(y - (h * std::cos(a) - w * std::sin(a)));
    melisco::DrawText(font, *dc->bitmap, left, top, a, label.text, bold, colours[4 * k + 2],
                      colours[4 * k + 1], colours[4 * k]);
  }
}

void FreeContoursData(int32_t** labels, double** levels, int32_t** colours, uint32_t** kinds) {
  if (labels != nullptr) {
    std::free(*labels);
  }
  if (levels != nullptr) {
    std::free(*levels);
  }
  if (colours != nullptr) {
    std::free(*colours);
  }
  if (kinds != nullptr) {
    std::free(*kinds);
  }
}

}  // extern "C"
