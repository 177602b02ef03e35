// The contour pass over a picture computed pixel by pixel: bands, lines and
// label positions.
#include "melisco.h"

#include "BitmapSurface.h"
#include "ColourSpace.h"
#include "ContourCodes.h"
#include "GdiObjects.h"
#include "PixelWriters.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using melisco::BitmapSurface;
using melisco::ChannelOf;

// The caller's table read from its last entry to its first.
struct InternalLevels {
  std::vector<double> values;
  std::vector<COLORREF> fillColours;
  std::vector<int> fillOpacities;
  std::vector<COLORREF> lineColours;
  std::vector<uint32_t> kinds;

  InternalLevels(const TContourLevel* levels, int n) {
    for (int k = 0; k < n; ++k) {
      const TContourLevel& level = levels[n - 1 - k];
      values.push_back(level.value);
      fillColours.push_back(level.fillColor);
      fillOpacities.push_back(level.transparency);
      lineColours.push_back(level.lineColor);
      kinds.push_back(static_cast<uint32_t>(level.lineKind));
    }
  }
};

void PaintLinePixel(uint8_t* p, int bytesPerPixel, COLORREF colour) {
  p[0] = static_cast<uint8_t>(ChannelOf(colour, 16));
  p[1] = static_cast<uint8_t>(ChannelOf(colour, 8));
  p[2] = static_cast<uint8_t>(ChannelOf(colour, 0));
  if (bytesPerPixel == 4) {
    p[3] = 255;
  }
}

constexpr int kMaxBlendTables = 256;

// The blend of one band's fill colour over every old value of each channel:
// the same bytes as the pixel writer, looked up instead of multiplied.
struct BandBlend {
  uint8_t channel[3][256];  // blue, green, red

  BandBlend(COLORREF colour, int opacity) {
    const int target[3] = {ChannelOf(colour, 16), ChannelOf(colour, 8), ChannelOf(colour, 0)};
    const int alpha = melisco::ClampWeight(opacity);
    for (int ch = 0; ch < 3; ++ch) {
      for (int old = 0; old < 256; ++old) {
        channel[ch][old] = melisco::BlendChannel(old, target[ch], alpha);
      }
    }
  }
};

// Bands first, then lines: done in one scan, which gives the same picture,
// because a bold line only paints pixels that the scan has already passed.
void PaintCodes(const BitmapSurface& s, const int32_t* codes, const InternalLevels& levels,
                bool paintBands, bool paintLines) {
  const int n = static_cast<int>(levels.values.size());
  const int bpp = s.bytesPerPixel;
  std::vector<BandBlend> blends;
  // Tables pay off for the few levels that tables of the program hold.
  const bool useBlends = paintBands && bpp == 3 && n <= kMaxBlendTables;
  if (useBlends) {
    blends.reserve(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
      blends.emplace_back(levels.fillColours[k], levels.fillOpacities[k]);
    }
  }
  for (int y = 0; y < s.height; ++y) {
    const int32_t* row = codes + static_cast<std::ptrdiff_t>(y) * s.width;
    uint8_t* pixels = s.Row(y);
    uint8_t* pixelsAbove = y > 0 ? s.Row(y - 1) : nullptr;
    for (int x = 0; x < s.width; ++x) {
      const int32_t code = row[x];
      uint8_t* p = pixels + static_cast<std::ptrdiff_t>(x) * bpp;
      if (code >= melisco::kBandBase) {
        if (!paintBands) {
          continue;
        }
        const int band = code - melisco::kBandBase;
        if (useBlends) {
          const BandBlend& blend = blends[static_cast<std::size_t>(band)];
          p[0] = blend.channel[0][p[0]];
          p[1] = blend.channel[1][p[1]];
          p[2] = blend.channel[2][p[2]];
        } else {
          const COLORREF c = levels.fillColours[band];
          if (bpp == 4) {
            melisco::WriteBGRA(p, ChannelOf(c, 0), ChannelOf(c, 8), ChannelOf(c, 16),
                               levels.fillOpacities[band]);
          } else {
            melisco::BlendBGR(p, ChannelOf(c, 0), ChannelOf(c, 8), ChannelOf(c, 16),
                              levels.fillOpacities[band]);
          }
        }
      } else if (paintLines && code > 0 && code < n) {
        const COLORREF c = levels.lineColours[code];
        PaintLinePixel(p, bpp, c);
        if (levels.kinds[code] == MELISCO_LINE_BOLD) {
          if (x > 0) {
            PaintLinePixel(p - bpp, bpp, c);
          }
          if (pixelsAbove != nullptr) {
            uint8_t* above = pixelsAbove + static_cast<std::ptrdiff_t>(x) * bpp;
            PaintLinePixel(above, bpp, c);
            if (x > 0) {
              PaintLinePixel(above - bpp, bpp, c);
            }
          }
        }
      }
    }
  }
}

template <typename T>
T* Allocate(std::size_t count) {
  return static_cast<T*>(std::calloc(count == 0 ? 1 : count, sizeof(T)));
}

}  // namespace

extern "C" void DrawContours(TMemBitmap* bm, const double* pixelValues, const TContourLevel* levels,
                             int levelCount, double scale, double offset, double** outLevels,
                             int32_t** outColours, uint32_t** outKinds, int32_t** outLabels,
                             int* outLabelInts, HFONT font, bool lines, bool bands, bool labelThin,
                             bool labelBold, int labelSpacing, int labelStart) {
  // Without a level there is no band to classify into.
  if (levelCount < 1 || levels == nullptr) {
    return;
  }
  const int n = levelCount;
  const InternalLevels internal(levels, n);
  auto* resultLevels = Allocate<double>(static_cast<std::size_t>(n));
  auto* resultColours = Allocate<int32_t>(4 * static_cast<std::size_t>(n));
  auto* resultKinds = Allocate<uint32_t>(static_cast<std::size_t>(n));
  *outLevels = resultLevels;
  *outColours = resultColours;
  *outKinds = resultKinds;
  if (resultLevels == nullptr || resultColours == nullptr || resultKinds == nullptr) {
    return;
  }
  for (int k = 0; k < n; ++k) {
    resultLevels[k] = internal.values[k];
    resultColours[4 * k] = ChannelOf(internal.lineColours[k], 16);
    resultColours[4 * k + 1] = ChannelOf(internal.lineColours[k], 8);
    resultColours[4 * k + 2] = ChannelOf(internal.lineColours[k], 0);
    resultKinds[k] = internal.kinds[k];
  }

  const BitmapSurface surface = BitmapSurface::Of(bm);
  const bool havePixels = !surface.Empty() && pixelValues != nullptr;
  const int width = havePixels ? surface.width : 0;
  const int height = havePixels ? surface.height : 0;
  // Every entry is written by the classification: no need to clear it first.
  const std::unique_ptr<int32_t[]> codes(
      new int32_t[static_cast<std::size_t>(width) * static_cast<std::size_t>(height)]);
  if (havePixels) {
    melisco::ClassifyContourBands(codes.get(), pixelValues, width, height, internal.values.data(),
                                  n, lines, bands);
    contourFilter(codes.get(), n, width, height, bands);
  }

  if (bm->memDC != nullptr && font != nullptr) {
    for (int k = 0; k < n; ++k) {
      resultLevels[k] = (resultLevels[k] - offset) * scale;
    }
    const HFONT previous = melisco::SelectFont(bm->memDC, font);
    *outLabelInts = getContourLabels(codes.get(), width, height, resultLevels, resultKinds, n,
                                     labelThin, labelBold, labelSpacing, labelStart, bands,
                                     bm->memDC, outLabels);
    melisco::SelectFont(bm->memDC, previous);
  }

  if (havePixels && (bands || lines)) {
    PaintCodes(surface, codes.get(), internal, bands, lines);
  }
}
