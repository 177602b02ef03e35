#pragma once
// The report of a project as a word-processor document: a page header with the
// file last opened, a table of the parameters, the results and the discharge
// structure, a table of the materials, and the pictures of the view windows
// chosen for it, two to a row, each row followed by a row of captions.
#include <QImage>
#include <QSize>
#include <QString>

#include <array>
#include <functional>
#include <vector>

class TFBitModel;
class TWordBasic;

// The values of one moment, read while the calculation's worker waits.
struct TReportValues {
  QString lastOpenedPath;
  double dt = 0, cellSize1 = 0, cellSize2 = 0, cellSize3 = 0;
  int n1 = 0, n2 = 0, n3 = 0;
  double tau = 0, genU = 0, genC = 0, genL = 0, genR0 = 0, genR1 = 0, genRT = 0, genCs = 0;
  // The largest electrode voltage; 0 without electrodes.
  double u0max = 0;
  double ti = 0, ts = 0, tb = 0, time = 0, appliedVoltage = 0;
  int repeatCount = 0;
  double elementCount = 0, channelCount = 0, channelLength = 0, structureSize = 0, dimension = 0;
  double limbArea = 0, limbHorizontal = 0, limbMaxDepth = 0, limbLengthAbove = 0, limbRatio = 0, limbsLength = 0;
  // Per material: number, permittivity, critical field (MV/m), growth
  // coefficient, initial conductance, alpha, beta, minimum critical field
  // (MV/m), decay amplitude, decay width.
  std::vector<std::array<double, 10>> materials;
};

TReportValues CollectReportValues(TFBitModel& model, const QString& lastOpenedPath);

// One view window as the report sees it, from the highest MDI index down.
struct TReportWindow {
  bool inReport = false;
  // The report title, or the caption when it has none.
  QString title;
  // The window's picture; a null image: the window has none and is left out.
  std::function<QImage()> picture;
};

// Pictures are drawn this many times finer than the screen: 8.5 cm of paper
// hold about twice the pixels of a window.
constexpr int PrintScale = 2;
// The client size a window is laid out at for its picture: its normal size,
// widened with its aspect kept where it is too narrow to read on paper.
QSize PrintLayoutSize(QSize normalClientSize);

// "%.3g", and in exponent form the mantissa, "·10" and the exponent raised.
void InsertNumber(TWordBasic& word, double value);
void BuildWordReport(TWordBasic& word, const TReportValues& values, const std::vector<TReportWindow>& windows,
                     bool numbering);
