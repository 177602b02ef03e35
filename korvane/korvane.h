/*
 * korvane: the breakdown simulation engine.
 *
 * One record, THeap, holds all state of one simulated model: the lattice of
 * cells between the electrodes, the materials, the electrodes, the generator
 * circuit and the growing discharge structure. The program and the engine share
 * this declaration: the program writes parameters and inputs into the record in
 * place and reads results from it, so members keep their order and names.
 *
 * Layout: natural alignment and 64-bit pointers. Nothing stores the record as a
 * memory image; the persisted state is written field by field.
 */
#ifndef KORVANE_KORVANE_H
#define KORVANE_KORVANE_H

#include <stdint.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#if defined(KORVANE_BUILDING)
#define KORVANE_API __attribute__((visibility("default")))
#else
#define KORVANE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Capacity of every per-cell array: 101 x 101 x 101 cells. */
#define KORVANE_MAX_SIDE 101
#define KORVANE_MAX_CELLS 1030301

/* Electrode codes of a cell: -1 free dielectric; electrode e owns the even code
 * -2-2e and the odd code -3-2e; only odd-coded cells carry roots. */
#define KORVANE_CODE_FREE (-1)

/* One element of the discharge structure. */
typedef struct TNode {
  int32_t x;            /* axis-1 index, not wrapped for grown nodes */
  int32_t y;            /* axis-2 index */
  int32_t z;            /* axis-3 index, not wrapped */
  int32_t cell;         /* flat index of the occupied cell, always wrapped */
  double g;             /* linear conductance of the segment (S*m) */
  double current;       /* current through the segment from the parent (A) */
  double invLength;     /* 1 / segment length (1/m); 1 for a root */
  int32_t parent;       /* parent node index, -1 for a root */
  int32_t generation;   /* 0 for a root */
  double pathLength;    /* distance along the structure from the root (m) */
  double field;         /* field along the segment (V/m) */
  double potential;     /* potential of the node's cell */
  double charge;        /* charge density of the node's cell */
  double lnL;           /* ln(ChannelLength) logged while newest; 1e300 = none */
  double lnR;           /* ln(StructureSize) logged at the same time */
  double ec;            /* critical field of the node's cell */
  double heatDensity;   /* accumulated Joule heat density (J/m^3) */
  double powerDensity;  /* Joule power density of the last step (W/m^3) */
  double linearHeat;    /* accumulated Joule heat per length (J/m) */
  double linearPower;   /* Joule power per length of the last step (W/m) */
  double linearCharge;  /* charge per length (C/m) */
  double branchCurrent; /* current between touched electrode and roots (A) */
} TNode;

/* A discharge structure: node array, nodes in use, nodes allocated. */
typedef struct TTree {
  TNode* nodes;
  int32_t count;
  int32_t capacity;
} TTree;

/* One material: 11 doubles. */
typedef struct TMaterial {
  double Ec;          /* critical field (V/m) */
  double Eps;         /* relative permittivity */
  double InvEps;      /* 1/Eps, recomputed at every reset */
  double Sigma;       /* bulk conductivity (S/m) */
  double GrowthA;     /* growth coefficient a of the rate a*E^n */
  double G0;          /* linear conductance of a new channel (S*m) */
  double Alpha;       /* field coefficient of the conductance update */
  double Beta;        /* decay rate of the channel conductance (1/s) */
  double EcTarget;    /* critical field that repeated discharges approach */
  double EcAmplitude; /* strength of that lowering */
  double EcWidth;     /* Gaussian width of that lowering (m) */
} TMaterial;

/* One entry of the electrode cell list. */
typedef struct TElectrodeCell {
  int32_t i1, i2, i3;
  int32_t cell;
  int32_t electrode;
  int32_t code;
} TElectrodeCell;

/* The engine record. Lattice arrays first (fixed capacity, so pointers into them
 * stay valid across a resize), then the parameter and state block. */
typedef struct THeap {
  double Potential[KORVANE_MAX_CELLS];
  double PotentialInit[KORVANE_MAX_CELLS];
  double PotentialQ0[KORVANE_MAX_CELLS];
  double LinkEps1[KORVANE_MAX_CELLS];
  double LinkEps2[KORVANE_MAX_CELLS];
  double LinkEps3[KORVANE_MAX_CELLS];
  double Charge[KORVANE_MAX_CELLS];
  double ChargeInit[KORVANE_MAX_CELLS];
  double NodeOfCell[KORVANE_MAX_CELLS];
  double Ec[KORVANE_MAX_CELLS];
  double ElectrodeCodes[KORVANE_MAX_CELLS];
  double CurrentX[KORVANE_MAX_CELLS];
  double CurrentY[KORVANE_MAX_CELLS];
  double CurrentZ[KORVANE_MAX_CELLS];
  double FieldX[KORVANE_MAX_CELLS];
  double FieldY[KORVANE_MAX_CELLS];
  double FieldZ[KORVANE_MAX_CELLS];
  double FieldAbs[KORVANE_MAX_CELLS];
  double CurrentAbs[KORVANE_MAX_CELLS];
  double DispCurrentX[KORVANE_MAX_CELLS];
  double DispCurrentY[KORVANE_MAX_CELLS];
  double DispCurrentZ[KORVANE_MAX_CELLS];
  double DispCurrentAbs[KORVANE_MAX_CELLS];
  int32_t MaterialOfCell[KORVANE_MAX_CELLS];
  TElectrodeCell ElectrodeCells[KORVANE_MAX_CELLS];
  double PotentialNext[KORVANE_MAX_CELLS];

  /* ---- parameter and state block ---- */
  TTree Nodes;
  double ChargeMax;
  double ChargeMin;
  uint8_t Reserved1[16];
  double PotentialMin;
  double PotentialMax;
  double PotentialRange;
  uint8_t Reserved2[64];
  double FieldAbsMax;
  double FieldAbsMin;
  double EcMin;
  double EcMax;
  double StructureCharge;
  double ChannelLength;
  double StructureSize;
  double ElementCount;
  double ChannelCount;
  double SegmentCount;
  double Dimension;
  double DimensionIntercept;
  double JouleHeat;
  double JoulePower;
  uint8_t Flags;
  uint8_t GrowthFlag;
  uint8_t CandidateFlag;
  uint8_t Reserved3[1];
  double TimeFirstCandidate;
  double TimeFirstGrowth;
  double TimeBreakdown;
  double MaxChannelCurrent;
  double MaxLinearConductance;
  double MinChannelCurrent;
  double MinLinearConductance;
  double MaxChannelField;
  double MaxGrowthField;
  double MaxGrowthRate;
  double MinChannelField;
  double MinGrowthField;
  double MinHeatDensity;
  double MaxHeatDensity;
  double MinPowerDensity;
  double MaxPowerDensity;
  double MinLinearHeat;
  double MaxLinearHeat;
  double MinLinearPower;
  double MaxLinearPower;
  double MinLinearCharge;
  double MaxLinearCharge;
  double AppliedVoltage;
  double Dw;
  double Dw0;
  double IterationError;
  double LastIterationError;
  int32_t DwType;
  double Time;
  double* CodePotentials;
  double* CodePotentialBase;
  double* ElectrodePots;
  double* ElectrodeCharges;
  double* ElectrodeFluxCharges;
  double* ElectrodeWork1;
  double* ElectrodeWork2;
  int32_t ElectrodeCellCount;
  double VoltageRatio;
  double VoltageRatioError;
  double FirstUpdateError;
  double FirstSweepError;
  double Tau;
  int32_t CodeCount;
  int32_t ElectrodeCount;
  TMaterial* Materials;
  int32_t MaterialCount;
  double PositiveCurrent;
  double NegativeCurrent;
  double MeanCurrent;
  double BoundaryDispCurrent;
  double* ElectrodeCurrents;
  double* ElectrodeDispCurrents;
  uint8_t BSep;
  uint8_t Reserved4[3];
  int32_t SweepOrder;
  double Eps0;
  void* ScratchCursors[8];
  uint8_t Reserved5[8];
  double AuxParam1;
  double AuxParam2;
  double AuxParam3;
  int32_t GrowthType;
  double LimbEn;
  double LimbMinCond;
  double LimbMaxCond;
  int32_t LimbDimMinLength;
  int32_t LimbDimMinCount;
  int32_t VoltageMode;
  double GenC;
  double GenR0;
  double GenR1;
  double GenRT;
  double GenR;
  double GenL;
  double GenCs;
  double GenU;
  double GenL1;
  double GenL2;
  double GenNR1;
  double GenNR2;
  double GenUcAccel;
  double GenUcRate;
  double GenUc;
  double GenUl;
  double GenUr;
  double GenIr;
  double GenI;
  double GapC;
  double GapCChange;
  double GapRCircuit;
  double GapGCircuit;
  double GapR;
  double GapG;
  double LoadCurrent;
  double LoadCurrentPrev;
  double GapI;
  double GapIPrev;
  double CsI;
  double CsIPrev;
  double StrayU;
  double StrayUPrev;
  double GapU;
  double GapUPrev;
  double CsU;
  double CsUPrev;
  double GenUl1;
  double GenUl2;
  double GenUnr1;
  double GenUnr2;
  uint8_t GenIdle;
  uint8_t Reserved6[3];
  double AuxParam4;
  double AuxParam5;
  double AuxParam6;
  double AuxParam7;
  double AuxParam8;
  double AuxParam9;
  double AuxParam10;
  double AuxParam11;
  double AuxParam12;
  double AuxParam13;
  int32_t AuxParam14;
  int32_t AuxParam15;
  double AuxParam16;
  double AuxParam17;
  int32_t MinNwItr;
  int32_t MaxNwItr;
  int32_t AuxParam18;
  int32_t StepIterations;
  int32_t ItrType;
  uint8_t Reserved7[4];
  uint8_t AuxParam19;
  uint8_t Reserved8[3];
  double AuxParam20;
  double AuxParam21;
  double CellSize1;
  double CellSize2;
  double CellSize3;
  double Dt;
  double DtInit;
  double DtGrowth;
  double DtSpark;
  int32_t N1;
  int32_t N2;
  int32_t N3;
  int32_t N1Last;
  int32_t N2Last;
  int32_t N3Last;
  uint8_t Converged;
  uint8_t Reserved9[75];
  int32_t TotalIterations;
  int32_t PostStepIterations;
  double IterationsAtLastStep;
  double StepIterationCount;
  int32_t StepCount;
  uint32_t OwnerWindow;
} THeap;

#ifdef __cplusplus
static_assert(sizeof(TNode) == 152, "TNode is a 152-byte record");
static_assert(sizeof(TMaterial) == 88, "TMaterial is an 88-byte record");
static_assert(sizeof(TElectrodeCell) == 24, "an electrode cell entry is 24 bytes");
#else
_Static_assert(sizeof(TNode) == 152, "TNode is a 152-byte record");
_Static_assert(sizeof(TMaterial) == 88, "TMaterial is an 88-byte record");
_Static_assert(sizeof(TElectrodeCell) == 24, "an electrode cell entry is 24 bytes");
#endif

/* ---- record lifetime and set-up ---- */
KORVANE_API THeap* THeapNew(void);
KORVANE_API void THeapDelete(THeap* heap);
KORVANE_API bool THeapSetLatticeSize(THeap* heap, int size1, int size2, int size3);
KORVANE_API int THeapSetDefaults(THeap* heap);
KORVANE_API void THeapSetElectrodesPot(THeap* heap, const double* pots, int count, double tau);
KORVANE_API int THeapGetElectrodesPot(THeap* heap, double* out);
KORVANE_API int THeapSetLimbDimMin(THeap* heap, int minLength, int minCount);

/* ---- run control ---- */
KORVANE_API int THeapReset(THeap* heap);
KORVANE_API int THeapResetEx(THeap* heap, int reinitEc);
KORVANE_API int THeapInitCalc(THeap* heap);
KORVANE_API double THeapGoTimeStep(THeap* heap);
KORVANE_API void THeapEcDecay(THeap* heap);
KORVANE_API bool THeapIsBreakdownIn(THeap* heap, int material);
KORVANE_API void* THeapLoadPrepaire(THeap* heap);
KORVANE_API double THeapGetUmax(THeap* heap);
KORVANE_API double THeapGetU0max(THeap* heap);

/* ---- kept for compatibility; they do nothing ---- */
KORVANE_API void THeapSetas(int, double, double, double, int, double, double, double, int);
KORVANE_API void THeapSetThermal(int, double, double, double, double);
KORVANE_API void THeapSetFaseTranzTemperature(int, double);

/* ---- discharge structures ---- */
KORVANE_API int TTreeNew(TTree* tree);
KORVANE_API int TTreeDelete(TTree* tree);
KORVANE_API TNode* TTreeSetSize(TTree* tree, int n);
KORVANE_API int TTreeCopy(TTree* dst, const TTree* src);
KORVANE_API void* TTreeGetLimbInfo(TTree* tree, int node, double d1, double d2, double d3, double z0,
                                   double* lengthAbove, double* horizontal, double* area,
                                   double* maxHeight, double* ratio);
KORVANE_API void TTreeGetLimbsLength(TTree* tree, double d1, double d2, double d3, double z0, double* out);
KORVANE_API double TTreeLength(TTree* tree);
KORVANE_API double TTreeRadius(TTree* tree, double d1, double d2, double d3);
KORVANE_API int TTreeDimension(TTree* tree, int minCount, int minLength, double* D, double* b);
KORVANE_API int TTreeLimbs(TTree* tree);
KORVANE_API void* TTreeSegments(TTree* tree, double* segments, double* tips);
KORVANE_API double TTreeOmPower(TTree* tree, double d1, double d2, double d3);
KORVANE_API double TTreeOmEnergy(TTree* tree, double d1, double d2, double d3);

/* ---- the engine's allocator: arrays stored into the record come from here ---- */
KORVANE_API TMaterial* TMaterialNew(int n);
KORVANE_API double* DoubleNew(int n);
KORVANE_API int TMaterialDelete(void* block);
KORVANE_API int DoubleDelete(void* block);

/* Zero-filled block kept for binary compatibility; nothing reads or writes it. */
KORVANE_API extern unsigned char neighbors3d[];

/* Not used by the program: pins the engine's random generator so that a
 * stochastic run can be reproduced. With pin non-zero every later seeding (at
 * creation and at the start of each run) uses seed instead of the clock; with
 * pin zero the clock is used again. */
KORVANE_API void KorvaneSetRandomSeed(int pin, uint32_t seed);

#ifdef __cplusplus
}
#endif

#endif /* KORVANE_KORVANE_H */
