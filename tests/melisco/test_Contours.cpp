#include "ContourCodes.h"
#include "LabelText.h"
#include "MeliscoTestSupport.h"
#include "melisco.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using meliscotest::Bitmap;
using meliscotest::Rgb;

constexpr double X = 1e300;

// The results of one DrawContours call, freed through the library.
struct ContourResults {
  double* levels = nullptr;
  int32_t* colours = nullptr;
  uint32_t* kinds = nullptr;
  int32_t* labels = nullptr;
  int labelInts = 0;
  ~ContourResults() { FreeContoursData(&labels, &levels, &colours, &kinds); }
};

// Two caller levels: below 5 the lower entry's fill, at or above 5 the upper's.
std::vector<TContourLevel> TwoLevels(int kind = 1) {
  return {
      {5.0, 0x0000FF, kind, 0x00FF00, 0x10000},  // line red, band below 5 green
      {99.0, 0x000000, 1, 0xFF0000, 0x10000},    // band at or above 5 blue
  };
}

std::vector<int32_t> Classify(const std::vector<double>& values, int width, int height,
                              const std::vector<double>& internalLevels, bool lines, bool bands) {
  std::vector<int32_t> codes(values.size());
  melisco::ClassifyContourBands(codes.data(), values.data(), width, height, internalLevels.data(),
                                static_cast<int>(internalLevels.size()), lines, bands);
  return codes;
}

TEST(ClassifyContourBands, BandsLinesAndPixelsWithoutValue) {
  const std::vector<double> values = {
      1, 1, 9, 9,  //
      1, 1, 9, 9,  //
      1, X, 9, 9,
  };
  const std::vector<double> levels = {99, 5};  // internal order: downward
  EXPECT_EQ(Classify(values, 4, 3, levels, true, true), (std::vector<int32_t>{
                                                            10001, 1, 10000, 10000,  //
                                                            10001, 1, 10000, 10000,  //
                                                            0, -1, 10000, 10000,
                                                        }));
  // Without bands the interior is empty; without lines boundaries are interior.
  EXPECT_EQ(Classify(values, 4, 3, levels, true, false), (std::vector<int32_t>{
                                                             -1, 1, -1, -1,  //
                                                             -1, 1, -1, -1,  //
                                                             0, -1, -1, -1,
                                                         }));
  EXPECT_EQ(Classify(values, 4, 3, levels, false, true), (std::vector<int32_t>{
                                                             10001, 10001, 10000, 10000,  //
                                                             10001, 10001, 10000, 10000,  //
                                                             10001, -1, 10000, 10000,
                                                         }));
}

TEST(ClassifyContourBands, BandRuleOverSeveralLevels) {
  // Caller levels 10, 20, 30 (+ top entry): internal 99, 30, 20, 10.
  const std::vector<double> levels = {99, 30, 20, 10};
  struct Case {
    double value;
    int32_t band;
  };
  for (const Case& c : {Case{35, 0}, Case{30, 0}, Case{29.9, 1}, Case{20, 1}, Case{19, 2},
                        Case{10, 2}, Case{9.99, 3}, Case{-1e200, 3}, Case{NAN, -10001}}) {
    const std::vector<int32_t> codes = Classify({c.value}, 1, 1, levels, true, true);
    EXPECT_EQ(codes[0], c.band + 10000) << c.value;
  }
}

TEST(ContourFilter, ThickLinesAreThinned) {
  // Three rows of line code 1 between two bands.
  const int w = 7, h = 7;
  std::vector<int32_t> codes(w * h, 10000);
  for (int y = 2; y <= 4; ++y) {
    for (int x = 0; x < w; ++x) {
      codes[y * w + x] = 1;
    }
  }
  for (int y = 5; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      codes[y * w + x] = 10001;
    }
  }
  contourFilter(codes.data(), 2, w, h, true);
  for (int x = 1; x < w - 1; ++x) {
    int lineRows = 0;
    for (int y = 0; y < h; ++y) {
      lineRows += codes[y * w + x] == 1;
    }
    EXPECT_GE(lineRows, 1) << x;
    EXPECT_LE(lineRows, 2) << x;
    EXPECT_EQ(codes[3 * w + x], 10000) << "the middle row gives way to the band above";
  }
}

TEST(ContourFilter, StaircaseCornersGiveWayInPlace) {
  const int w = 5, h = 5;
  std::vector<int32_t> codes = {
      -1, -1, -1, -1, -1,  //
      -1, -1, -1, 2, -1,   //
      -1, -1, 2, 2, -1,    //
      -1, 2, 2, -1, -1,    //
      -1, -1, -1, -1, -1,
  };
  contourFilter(codes.data(), 3, w, h, false);
  // (2,2) has its code to the right and below: removed. (2,3) then has it left
  // but no longer above: kept. (3,2) keeps (3,1) above and (2,2) was taken.
  EXPECT_EQ(codes[2 * w + 2], -1);
  EXPECT_EQ(codes[3 * w + 2], 2);
  EXPECT_EQ(codes[2 * w + 3], 2);
  EXPECT_EQ(codes[1 * w + 3], 2);
  EXPECT_EQ(codes[3 * w + 1], 2);
}

TEST(FindLine, WalksAlongTheCodeAndReplacesIt) {
  const int w = 6, h = 3;
  std::vector<int32_t> codes = {
      -1, -1, -1, -1, -1, -1,  //
      4, 4, 4, 4, 4, 4,        //
      -1, -1, -1, -1, -1, -1,
  };
  int x = 3, y = 1;
  findLine(codes.data(), w, h, 4, &x, &y, 2, 77);
  EXPECT_EQ(x, 1);  // left comes before right in the search order
  EXPECT_EQ(y, 1);
  x = 3;
  findLine(codes.data(), w, h, 4, &x, &y, 10, 77);
  EXPECT_EQ(x, 5);  // the walk stops at the end of the line
  EXPECT_EQ(codes, (std::vector<int32_t>{-1, -1, -1, -1, -1, -1, 4, 77, 77, 77, 77, 77, -1, -1,
                                         -1, -1, -1, -1}));
}

class ContourDrawing : public ::testing::Test {
 protected:
  static constexpr int kW = 8;
  static constexpr int kH = 6;

  // Left half 1, right half 9: band 1 on the left, band 0 on the right, the
  // line on the last column of the left half.
  std::vector<double> HalfAndHalf() const {
    std::vector<double> values(kW * kH);
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        values[y * kW + x] = x < kW / 2 ? 1.0 : 9.0;
      }
    }
    return values;
  }

  void Draw(const std::vector<double>& values, const std::vector<TContourLevel>& levels, bool lines,
            bool bands) {
    DrawContours(bitmap_.get(), values.data(), levels.data(), static_cast<int>(levels.size()), 1.0,
                 0.0, &results_.levels, &results_.colours, &results_.kinds, &results_.labels,
                 &results_.labelInts, nullptr, lines, bands, true, true, 0, 0);
  }

  Bitmap bitmap_{kW, kH};
  ContourResults results_;
};

TEST_F(ContourDrawing, BandsAndThinLines) {
  bitmap_.Fill(255, 255, 255);
  Draw(HalfAndHalf(), TwoLevels(), true, true);
  for (int y = 0; y < kH; ++y) {
    EXPECT_EQ(bitmap_.Pixel(0, y), (Rgb{0, 255, 0})) << y;
    EXPECT_EQ(bitmap_.Pixel(2, y), (Rgb{0, 255, 0})) << y;
    EXPECT_EQ(bitmap_.Pixel(3, y), (Rgb{255, 0, 0})) << y;
    EXPECT_EQ(bitmap_.Pixel(4, y), (Rgb{0, 0, 255})) << y;
    EXPECT_EQ(bitmap_.Pixel(7, y), (Rgb{0, 0, 255})) << y;
  }
  // Results in internal order: the upper caller level first.
  EXPECT_EQ(results_.levels[0], 99.0);
  EXPECT_EQ(results_.levels[1], 5.0);
  EXPECT_EQ(results_.colours[4], 0);    // blue of the red line
  EXPECT_EQ(results_.colours[6], 255);  // red
  EXPECT_EQ(results_.kinds[1], 1u);
  EXPECT_EQ(results_.labels, nullptr);  // no font: no labels
  EXPECT_EQ(results_.labelInts, 0);
}

TEST_F(ContourDrawing, BoldLinesTakeThePixelsLeftAndAbove) {
  bitmap_.Fill(255, 255, 255);
  Draw(HalfAndHalf(), TwoLevels(MELISCO_LINE_BOLD), true, true);
  for (int y = 0; y < kH; ++y) {
    EXPECT_EQ(bitmap_.Pixel(2, y), (Rgb{255, 0, 0})) << y;
    EXPECT_EQ(bitmap_.Pixel(3, y), (Rgb{255, 0, 0})) << y;
    EXPECT_EQ(bitmap_.Pixel(1, y), (Rgb{0, 255, 0})) << y;
    EXPECT_EQ(bitmap_.Pixel(4, y), (Rgb{0, 0, 255})) << y;
  }
}

TEST_F(ContourDrawing, LinesOnlyLeaveTheBandsAlone) {
  bitmap_.Fill(255, 255, 255);
  Draw(HalfAndHalf(), TwoLevels(), true, false);
  EXPECT_EQ(bitmap_.Pixel(0, 0), meliscotest::kWhite);
  EXPECT_EQ(bitmap_.Pixel(3, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(bitmap_.Pixel(5, 0), meliscotest::kWhite);
}

TEST_F(ContourDrawing, TransparentBandsBlendAndValuelessPixelsStayUntouched) {
  bitmap_.Fill(255, 255, 255);
  std::vector<TContourLevel> levels = TwoLevels();
  levels[0].fillColor = 0x000000;
  levels[0].transparency = 0x8000;
  std::vector<double> values = HalfAndHalf();
  values[1 * kW + 1] = X;
  Draw(values, levels, true, true);
  EXPECT_EQ(bitmap_.Pixel(0, 0), (Rgb{127, 127, 127}));
  EXPECT_EQ(bitmap_.Pixel(1, 1), meliscotest::kWhite);  // no value: no band
  EXPECT_EQ(bitmap_.Pixel(0, 1), meliscotest::kWhite);  // code 0 beside it: never painted
}

TEST(ContourDrawing32, BandsWriteTheAlphaByte) {
  Bitmap bitmap(4, 2, 32);
  bitmap.Fill(0, 0, 0, 0);
  std::vector<TContourLevel> levels = TwoLevels();
  levels[1].transparency = 0x8000;
  const std::vector<double> values(8, 9.0);
  ContourResults r;
  DrawContours(bitmap.get(), values.data(), levels.data(), 2, 1, 0, &r.levels, &r.colours, &r.kinds,
               &r.labels, &r.labelInts, nullptr, true, true, true, true, 0, 0);
  EXPECT_EQ(bitmap.At(1, 1)[0], 255);  // blue written unblended
  EXPECT_EQ(bitmap.At(1, 1)[3], 128);
}

TEST(ContourDrawingLevels, OneLevelFillsEverythingNoneDrawsNothing) {
  Bitmap bitmap(3, 3);
  bitmap.Fill(255, 255, 255);
  const std::vector<double> values = {1, 2, 3, 4, 5, 6, 7, 8, X};
  const TContourLevel one = {5.0, 0x0000FF, 1, 0x000000, 0x10000};
  ContourResults r;
  DrawContours(bitmap.get(), values.data(), &one, 1, 1, 0, &r.levels, &r.colours, &r.kinds,
               &r.labels, &r.labelInts, nullptr, true, true, true, true, 0, 0);
  EXPECT_EQ(bitmap.Pixel(0, 0), meliscotest::kBlack);
  EXPECT_EQ(bitmap.Pixel(2, 1), meliscotest::kBlack);
  EXPECT_EQ(bitmap.Pixel(2, 2), meliscotest::kWhite);

  ContourResults none;
  DrawContours(bitmap.get(), values.data(), &one, 0, 1, 0, &none.levels, &none.colours, &none.kinds,
               &none.labels, &none.labelInts, nullptr, true, true, true, true, 0, 0);
  EXPECT_EQ(none.levels, nullptr);
}

// Labels need a font; a fixed font file, and no assertion on its metrics.
class ContourLabels : public ::testing::Test {
 protected:
  void SetUp() override {
    font_ = CreateLabelFont(meliscotest::kFontFile, 12);
    ASSERT_NE(font_, nullptr);
  }
  void TearDown() override { DeleteLabelFont(font_); }

  void Draw(Bitmap& bitmap, const std::vector<double>& values, const std::vector<TContourLevel>& levels,
            int labelSpacing, int labelStart, ContourResults& r, bool labelThin = true) {
    DrawContours(bitmap.get(), values.data(), levels.data(), static_cast<int>(levels.size()), 10.0,
                 1.0, &r.levels, &r.colours, &r.kinds, &r.labels, &r.labelInts, font_, true, true,
                 labelThin, true, labelSpacing, labelStart);
  }

  HFONT font_ = nullptr;
};

TEST_F(ContourLabels, FirstLabelOnTheSecondLinePixelHorizontalAngleZero) {
  const int w = 80, h = 40;
  Bitmap bitmap(w, h);
  std::vector<double> values(w * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      values[y * w + x] = y < 20 ? 9.0 : 1.0;  // the line lies on row 19
    }
  }
  ContourResults r;
  Draw(bitmap, values, TwoLevels(), 1000, 0, r);
  ASSERT_EQ(r.labelInts, 4);
  EXPECT_EQ(r.labels[0], 1);
  EXPECT_EQ(r.labels[1], 11);  // the margin is 10; the first line pixel only counts down
  EXPECT_EQ(r.labels[2], 19);
  EXPECT_EQ(r.labels[3], 0);
  // The labels print factor * (value - subtrahend).
  EXPECT_EQ(r.levels[1], 40.0);
}

TEST_F(ContourLabels, LineRisingToTheRightGivesAPositiveAngle) {
  const int w = 60, h = 60;
  Bitmap bitmap(w, h);
  std::vector<double> values(w * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      values[y * w + x] = x + y < 60 ? 9.0 : 1.0;
    }
  }
  ContourResults r;
  Draw(bitmap, values, TwoLevels(), 1000, 0, r);
  ASSERT_GE(r.labelInts, 4);
  EXPECT_EQ(r.labels[3], 450);
  EXPECT_EQ(r.labels[1] + r.labels[2], 59);  // on the line
}

TEST_F(ContourLabels, KindsDecideWhichLinesAreLabelled) {
  const int w = 60, h = 40;
  Bitmap bitmap(w, h);
  std::vector<double> values(w * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      values[y * w + x] = y < 20 ? 9.0 : 1.0;
    }
  }
  struct Case {
    int kind;
    bool labelThin;
    int labelInts;
  };
  // Every kind but 2 is thin.
  for (const Case& c : {Case{0, true, 4}, Case{1, true, 4}, Case{7, true, 4}, Case{1, false, 0},
                        Case{2, false, 4}}) {
    ContourResults r;
    Draw(bitmap, values, TwoLevels(c.kind), 1000, 0, r, c.labelThin);
    EXPECT_EQ(r.labelInts, c.labelInts) << c.kind << " " << c.labelThin;
  }
}

TEST_F(ContourLabels, NoLabelsAlongTheEdgeOfMissingData) {
  const int w = 60, h = 40;
  Bitmap bitmap(w, h);
  std::vector<double> values(w * h, 9.0);
  for (int y = 0; y < h; ++y) {
    values[y * w + 30] = X;  // column 29 becomes code 0 all the way down
  }
  std::vector<TContourLevel> levels = TwoLevels();
  levels[1].lineKind = 1;  // the entry that code 0 would stand for
  ContourResults r;
  Draw(bitmap, values, levels, 0, -1, r);
  EXPECT_EQ(r.labelInts, 0);
  ASSERT_NE(r.labels, nullptr);
}

TEST_F(ContourLabels, AtMostTwoHundredLabels) {
  const int w = 300, h = 300;
  Bitmap bitmap(w, h);
  std::vector<double> values(w * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      values[y * w + x] = (y / 3) % 2 == 0 ? 9.0 : 1.0;
    }
  }
  ContourResults r;
  Draw(bitmap, values, TwoLevels(), -1, -1, r);
  EXPECT_EQ(r.labelInts, 800);
}

TEST_F(ContourLabels, LabelTextIsWrittenAroundTheLabelPoint) {
  const int w = 200, h = 120, cx = 100, cy = 60;
  Bitmap bitmap(w, h);
  bitmap.Fill(255, 255, 255);
  const double levels[2] = {99, 1234};
  const uint32_t kinds[2] = {1, MELISCO_LINE_BOLD};
  const int32_t colours[8] = {0, 0, 0, 0, 0, 0, 200, 0};  // level 1 red
  const int32_t labels[8] = {1, cx, cy, 0, 1, cx, cy, 900};
  DrawContourLabels(bitmap.get()->memDC, 8, levels, kinds, colours, labels, font_);
  int inked = 0, reddish = 0, farAway = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Rgb p = bitmap.Pixel(x, y);
      if (p == meliscotest::kWhite) {
        continue;
      }
      ++inked;
      reddish += p.r >= p.g && p.g == p.b;
      farAway += std::abs(x - cx) > 80 || std::abs(y - cy) > 80;
    }
  }
  EXPECT_GT(inked, 20);
  EXPECT_EQ(reddish, inked);
  EXPECT_EQ(farAway, 0);
  // Ink on both sides of the point: the text is centred on it.
  auto inkIn = [&](int x0, int x1, int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        n += !(bitmap.Pixel(x, y) == meliscotest::kWhite);
      }
    }
    return n;
  };
  EXPECT_GT(inkIn(cx - 40, cx - 2, cy - 6, cy + 6), 0);
  EXPECT_GT(inkIn(cx + 2, cx + 40, cy - 6, cy + 6), 0);
  EXPECT_GT(inkIn(cx - 6, cx + 6, cy - 40, cy - 8), 0);  // the turned label runs upward
  EXPECT_GT(inkIn(cx - 6, cx + 6, cy + 8, cy + 40), 0);
}

TEST_F(ContourLabels, NothingWithoutContextOrFont) {
  Bitmap bitmap(10, 10);
  bitmap.Fill(255, 255, 255);
  const double levels[1] = {1};
  const uint32_t kinds[1] = {1};
  const int32_t colours[4] = {0, 0, 0, 0};
  const int32_t labels[4] = {0, 5, 5, 0};
  DrawContourLabels(nullptr, 4, levels, kinds, colours, labels, font_);
  DrawContourLabels(bitmap.get()->memDC, 4, levels, kinds, colours, labels, nullptr);
  EXPECT_EQ(bitmap.Pixel(5, 5), meliscotest::kWhite);
  EXPECT_EQ(CreateLabelFont("/nonexistent/font.ttf", 12), nullptr);
  EXPECT_EQ(CreateLabelFont(meliscotest::kFontFile, 0), nullptr);
}

TEST(ContourResultsFreeing, NullEntriesAreSkippedAndPointersKeepTheirValues) {
  FreeContoursData(nullptr, nullptr, nullptr, nullptr);
  int32_t* labels = nullptr;
  double* levels = nullptr;
  int32_t* colours = nullptr;
  uint32_t* kinds = nullptr;
  FreeContoursData(&labels, &levels, &colours, &kinds);

  Bitmap bitmap(4, 4);
  const std::vector<double> values(16, 3.0);
  const std::vector<TContourLevel> table = TwoLevels();
  int count = 0;
  DrawContours(bitmap.get(), values.data(), table.data(), 2, 1, 0, &levels, &colours, &kinds, &labels,
               &count, nullptr, true, true, true, true, 0, 0);
  ASSERT_NE(levels, nullptr);
  const double* before = levels;
  FreeContoursData(&labels, &levels, &colours, &kinds);
  EXPECT_EQ(levels, before);
}

TEST(LabelText, GeneralFormatWithTrimmedExponent) {
  struct Case {
    double value;
    const char* text;
  };
  for (const Case& c : {Case{1.0, " 1 "}, Case{12.5, " 12.5 "}, Case{1234.0, " 1.23e+3 "},
                        Case{-0.000015, " -1.5e-5 "}, Case{1.5e100, " 1.5e+100 "}}) {
    EXPECT_EQ(std::string(melisco::FormatLabel(c.value).text), c.text) << c.value;
  }
}

TEST(TrimExponentZeros, RemovesLeadingZerosOfTheExponent) {
  struct Case {
    const char* in;
    const char* out;
  };
  for (const Case& c : {Case{"1.5e+005", "1.5e+5"}, Case{"2e-010", "2e-10"}, Case{"12.5", "12.5"},
                        Case{" 3e+07 ", " 3e+7 "}, Case{"4e05", "4e5"}, Case{"", ""}}) {
    std::string text = c.in;
    TrimExponentZeros(text.data());
    EXPECT_EQ(std::string(text.c_str()), c.out) << c.in;
  }
}

}  // namespace
