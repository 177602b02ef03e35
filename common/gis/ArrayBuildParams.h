#pragma once
// The parameters with which an array fills its empty cells from scattered known
// values. Only the fill method, the fixed-boundary flag, the Laplace weight and
// the two Gauss factors travel in the array's record; the others come back to
// these defaults when a project is read.
#include <cstdint>

// Methods that fill an array's open cells.
enum FillMethod : std::int32_t {
  FillLaplace = 0,
  FillGauss = 1,
  FillNaturalNeighbours1 = 2,
  FillNaturalNeighbours2 = 3,
  FillInverseDistances = 4,
  FillMinimumCurvature = 5,
  FillKriging = 6,
  FillReserved = 7,
};

struct TArrayBuildParams {
  static constexpr int MaxIdwWeights = 20;

  std::int32_t fillMethod = FillLaplace;
  bool fixedBoundary = false;
  double laplaceThirdDerivativeWeight = 0.0;
  double laplaceAccuracy = 0.0001;
  std::int32_t laplaceMaxIterations = 10000;
  double gaussA = 0.01;
  double gaussB = 0.5;
  std::int32_t idwWeightCount = 3;
  double idwWeights[MaxIdwWeights] = {1.0, 1.0, 1.0};
  double idwAnisotropy = 1.0;
  std::int32_t mcBlockLimit = 32;
  std::int32_t mcNeighbourMinimum = 8;
  std::int32_t mcSingleSystemLimit = 400;
  double mcMinimum = -1e300;
  double mcMaximum = 1e300;
  bool mcNewWidthOn = true;
  double mcWidth = 1.0;
  double mcAnisotropy = 1.0;
  bool mcDetrend = true;
  std::int32_t krigingBlockLimit = 32;
  std::int32_t krigingNeighbourMinimum = 8;
  std::int32_t krigingSingleSystemLimit = 500;
  double krigingRangeFactor = 1.0 / 3.0;
  double krigingMinimum = -1e300;
  double krigingMaximum = 1e300;
  bool krigingNewWidthOn = false;
  double krigingWidth = 1.0;
  double krigingAnisotropy = 1.0;
  bool krigingDetrend = true;
  double krigingNugget = 0.0;
  bool krigingAutomaticRanges = true;
  double krigingRangeX = 1.0;
  double krigingRangeY = 1.0;
  std::int32_t unused1 = 2;
  std::int32_t unused2 = 0;
  std::int32_t nn2Method = 2;
  std::int32_t nn2Scaling = 0;
  // The cells that already hold a value count as known, besides the reper
  // values. Not stored: the model sets it for the time of a build.
  bool presentValuesKnown = false;
};
