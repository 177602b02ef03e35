/*
 * melisco: records shared between the drawing library and the program.
 *
 * The program's GIS code and melisco are built from these declarations, so the
 * records keep their fields in this order: natural alignment and 64-bit
 * pointers, except TArrayDrawSettings, which is packed on 4-byte boundaries.
 *
 * The handle types stand in for the Windows GDI handles of the library's
 * interface. They are handles of this library: a device context is a view of a
 * bitmap's pixel buffer (with a selected font), a bitmap handle owns a pixel
 * buffer in the memory layout of a Windows DIB, and a font handle carries a
 * FreeType face with its pixel size.
 */
#ifndef MELISCO_MELISCOTYPES_H
#define MELISCO_MELISCOTYPES_H

#include <stdint.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* 0x00BBGGRR: red in the low byte. */
typedef uint32_t COLORREF;

typedef struct MeliscoDeviceContext* HDC;
typedef struct MeliscoDib* HBITMAP;
typedef struct MeliscoFont* HFONT;
typedef struct TWindowSurface* HWND;
typedef void* HGDIOBJ;
typedef unsigned int UINT;

/* Compression and colour-table codes of a DIB header; only BI_RGB pixels exist. */
#define BI_RGB 0
#define DIB_RGB_COLORS 0

typedef struct BITMAPINFOHEADER {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight; /* > 0 bottom-up rows, < 0 top-down rows */
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
} BITMAPINFOHEADER;

typedef struct RGBQUAD {
  uint8_t rgbBlue;
  uint8_t rgbGreen;
  uint8_t rgbRed;
  uint8_t rgbReserved;
} RGBQUAD;

typedef struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
} BITMAPINFO;

/*
 * Off-screen bitmap. The owner keeps the record; the library fills it. Pixel
 * row y of the memory starts at bits + y * (width * biBitCount / 8 + rowPadding);
 * with bottomUp = 0 memory row 0 is the top of the picture.
 */
typedef struct TMemBitmap {
  HDC memDC;          /* device context of ours over the pixel buffer; 0 until the first CheckBitmap */
  HBITMAP dib;        /* the pixel buffer selected into memDC; 0 when none */
  BITMAPINFO info;    /* biBitCount / 8 is the number of bytes per pixel */
  void* bits;         /* pixel memory of dib */
  int32_t width;      /* 0 when there is no dib */
  int32_t height;     /* 0 when there is no dib */
  int32_t rowPadding; /* bytes that end every row (rows fill multiples of 4 bytes) */
  uint8_t bottomUp;   /* 1 = rows stored bottom-up, 0 = top-down */
  HGDIOBJ oldObject;  /* what memDC held before dib; selected back before dib goes */
} TMemBitmap;

/*
 * A window that DrawBitmap copies into: the program describes the pixel memory
 * that it shows (24- or 32-bit BGR(A) rows).
 */
typedef struct TWindowSurface {
  void* bits;
  int32_t width;
  int32_t height;
  int32_t bytesPerLine;
  int32_t bitCount; /* 24 or 32 */
  uint8_t bottomUp;
} TWindowSurface;

/* One contour level: 24 bytes. */
typedef struct TContourLevel {
  double value;
  COLORREF lineColor;
  int32_t lineKind;     /* 2 bold; every other kind is a thin line */
  COLORREF fillColor;   /* band of values from the level below up to this one */
  int32_t transparency; /* 16.16 weight of the fill over the background */
} TContourLevel;

#define MELISCO_LINE_BOLD 2

/* Drawing settings block of an array object. */
#pragma pack(push, 4)
typedef struct TArrayDrawSettings {
  int32_t fillType; /* 0 none, 1 transparency ramp, 2 hatching, 3 one transparency, 4 two transparencies */
  TContourLevel* levels;
  int32_t levelCount;
  COLORREF fillColor1;
  COLORREF fillColor2;
  COLORREF contourColor1;
  COLORREF contourColor2;
  int32_t transparency1; /* 16.16 */
  int32_t transparency2; /* 16.16 */
  double rangeMin;
  double rangeMax;
  uint8_t steppedFill;
  int32_t fillMix; /* mixing mode of MixColor */
  uint8_t contoursOn;
  int32_t contourMix;
  uint8_t labelThin;
  uint8_t labelBold;
  int32_t labelSpacing;
  int32_t labelStart;
  double labelFactor;
  double labelSubtrahend;
  HFONT labelFont;
  uint8_t gridOn;
  COLORREF gridColor;
} TArrayDrawSettings;
#pragma pack(pop)

/*
 * Triangulated plane mesh, optionally extruded into layers of prisms. Only the
 * fields that the arrays, the views and this library read are declared; what
 * else the mesh source needs to build the mesh it keeps in its own object.
 * Node coordinates are relative to the GIS.
 */
typedef struct TIrregularMesh {
  char** layerNames;       /* entry L + 1 names prism layer L */
  int32_t nodeCount;       /* plane nodes */
  int32_t triangleCount;
  double* nodeXY;          /* x, y of node n at 2n, 2n + 1 */
  int32_t* triangles;      /* three node indices per triangle */
  int32_t layerCount;
  int32_t* nodeColumns;    /* nodeCount + 1 entries; the last is the number of 3D nodes */
  double* nodeZ;           /* z of every 3D node */
  int32_t* prismRanges;    /* prisms of triangle t: q[t] .. q[t + 1] - 1 */
  int32_t* prismNodes;     /* six 3D nodes per prism: roof face, then sole face */
  int32_t* surfacePrisms;  /* 2 * (L * triangleCount + t) (+1): prism of surface; -1 absent */
  double* prismPlanes;     /* six per prism: roof (a, b, c), sole (a, b, c), z = a x + b y + c */
  double* triangleMatrices; /* nine per triangle: vertex weights as linear functions of x, y */
  double minX, minY, minZ;
  double maxX, maxY, maxZ;
  int32_t bucketColumns;
  int32_t bucketRows;
  int32_t*** bucketLists;  /* [column][row] -> triangle indices */
  int32_t** bucketCounts;  /* [column][row] */
  double invBucketWidth;   /* buckets per unit of x; origin at (minX, minY) */
  double invBucketHeight;
} TIrregularMesh;

/*
 * The software cube renderer's inputs. A resample entry names the two cells
 * to mix for one sample along an axis and their weights; the y and z tables
 * hold cell indices already multiplied by their strides, so one entry of each
 * table adds up to the index of a value code.
 */
typedef struct ResampleEntry {
  int32_t i0;
  int32_t i1;
  double w0;
  double w1;
} ResampleEntry;

/* One tree segment as drawn: its width in pixels squared, colour and 16.16 opacity. */
typedef struct SegmentStyle {
  double width2;
  COLORREF colour;
  int32_t opacity;
} SegmentStyle;

#ifdef __cplusplus
}
#endif

#endif
