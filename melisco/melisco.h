/*
 * melisco: the raster drawing library.
 *
 * Stateless functions with C linkage and undecorated names that draw into
 * off-screen bitmaps owned by the caller. Colours are COLORREF 0x00BBGGRR;
 * weights, positions and transparencies are 16.16 fixed point (0x10000 = all);
 * the double 1e300 marks "no value" in every value array.
 *
 * Memory that the library hands out (contour results, XGetDIBBits blocks, the
 * coefficient arrays of a mesh) is released only through the library.
 */
#ifndef MELISCO_MELISCO_H
#define MELISCO_MELISCO_H

#include "MeliscoTypes.h"

#if defined(MELISCO_BUILDING)
#define MELISCO_API __attribute__((visibility("default")))
#else
#define MELISCO_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Bitmap record ---- */
MELISCO_API TMemBitmap* InitBitmap(TMemBitmap* bm);
MELISCO_API int CheckBitmap(HWND wnd, int width, int height, bool bottomUp, TMemBitmap* bm);
MELISCO_API void CheckBitmapEx(int width, int height, bool bottomUp, TMemBitmap* bm, HDC dc,
                               int bitCount, int compression, UINT usage);
MELISCO_API void CreateBITMAPINFO(int width, int height, TMemBitmap* bm, int bitCount,
                                  int compression, bool bottomUp);
MELISCO_API int DrawBitmap(HWND wnd, const TMemBitmap* bm);
MELISCO_API void DeleteBitmap(TMemBitmap* bm);
MELISCO_API void* XGetDIBBits(HDC dc, HBITMAP bmp, int width, int lines, BITMAPINFO* bi);
MELISCO_API void XFreeDIBBits(void* block);
MELISCO_API int XGetDIBWidthShift(const BITMAPINFOHEADER* h);
MELISCO_API const COLORREF* EGAcols(void);
MELISCO_API int EGAcolsCount(void);

/* ---- Colours ---- */
MELISCO_API void RGB_HSV(int r, int g, int b, int* h, int* s, int* v);
MELISCO_API void HSV_RGB(int h, int s, int v, int* r, int* g, int* b);
MELISCO_API COLORREF MixColor(COLORREF c1, COLORREF c2, int t, int mode);
MELISCO_API void MixColorRGB(int* c0, int* c1, int* c2, int d0, int d1, int d2, int t, int mode);

/* ---- Pixel writers ---- */
MELISCO_API uint8_t** putTranspBGR(uint8_t** cursor, int r, int g, int b, int alpha);
MELISCO_API void putTranspBGRx(uint8_t* p, int r, int g, int b, int alpha);
MELISCO_API uint8_t** putTranspBGRA(uint8_t** cursor, int r, int g, int b, int alpha);
MELISCO_API void putTranspBGRAx(uint8_t* p, int r, int g, int b, int alpha);
MELISCO_API uint8_t** fillColorBGR(uint8_t** cursor, int c0, int c1, int c2, int d0, int d1, int d2,
                                   int t, int alpha, int mode);
MELISCO_API void fillColorBGRx(uint8_t* p, int c0, int c1, int c2, int d0, int d1, int d2, int t,
                               int alpha, int mode);
MELISCO_API uint8_t** fillColorBGRa(uint8_t** cursor, int c0, int c1, int c2, int d0, int d1, int d2,
                                    int t, int alpha0, int alphaDelta, int mode);
MELISCO_API void fillColorBGRax(uint8_t* p, int c0, int c1, int c2, int d0, int d1, int d2, int t,
                                int alpha0, int alphaDelta, int mode);
MELISCO_API uint8_t** fillColorBGRA(uint8_t** cursor, int c0, int c1, int c2, int d0, int d1, int d2,
                                    int t, int alpha, int mode);
MELISCO_API uint8_t** fillColorBGRAa(uint8_t** cursor, int c0, int c1, int c2, int d0, int d1,
                                     int d2, int t, int alpha0, int alphaDelta, int mode);
MELISCO_API void fillColorBGRAx(uint8_t* p, int c0, int c1, int c2, int d0, int d1, int d2, int t,
                                int alpha, int mode);

/* ---- Label fonts (FreeType) ---- */
/* A font of the given file at a pixel height (the cell height of a line of text);
 * 0 when the file can't be read as a font or the height is not positive. */
MELISCO_API HFONT CreateLabelFont(const char* fontFile, int pixelHeight);
MELISCO_API void DeleteLabelFont(HFONT font);

/* ---- Contours and labels ---- */
MELISCO_API void DrawContours(TMemBitmap* bm, const double* pixelValues, const TContourLevel* levels,
                              int levelCount, double scale, double offset, double** outLevels,
                              int32_t** outColours, uint32_t** outKinds, int32_t** outLabels,
                              int* outLabelInts, HFONT font, bool lines, bool bands, bool labelThin,
                              bool labelBold, int labelSpacing, int labelStart);
MELISCO_API void DrawContourLabels(HDC dc, int labelInts, const double* levels, const uint32_t* kinds,
                                   const int32_t* colours, const int32_t* labels, HFONT font);
MELISCO_API void FreeContoursData(int32_t** labels, double** levels, int32_t** colours,
                                  uint32_t** kinds);
MELISCO_API int contourFilter(int32_t* codes, int levelCount, int width, int height, bool bands);
MELISCO_API void findLine(int32_t* codes, int width, int height, int code, int* x, int* y, int steps,
                          int replacement);
MELISCO_API int getContourLabels(int32_t* codes, int width, int height, const double* levels,
                                 const uint32_t* kinds, int levelCount, bool labelThin,
                                 bool labelBold, int labelSpacing, int labelStart, bool bands, HDC dc,
                                 int32_t** outLabels);
MELISCO_API void TrimExponentZeros(char* text);

/* ---- Fillings ---- */
MELISCO_API void DrawFilling(TMemBitmap* bm, const double* values, int nx, int ny, double x, double y,
                             double w, double h, const uint8_t* mask, double vx0, double vy0,
                             double vx1, double vy1, int fillType, bool fill, double min, double max,
                             COLORREF c1, COLORREF c2, int mixMode, int opacity1, int opacity2,
                             bool storeValues, double* pixelValues);
MELISCO_API void DrawTriFilling(TMemBitmap* bm, const double* values, TIrregularMesh* mesh,
                                int valueMode, int triangle, int layer, double vx0, double vy0,
                                double vx1, double vy1, const TArrayDrawSettings* settings, bool fill,
                                bool contours, double* pixelValues);

/* ---- Sections of three-dimensional arrays ----
 * The plane point of plane coordinates (u, v) is R x (u, v, d); pixel column px
 * has u = (px - cx) / s, pixel row py has v = (cy - py) / s. */
MELISCO_API void DrawSection(TMemBitmap* bm, int cx, int cy, double s, const double* values, int nx,
                             int ny, int nz, int signX, int signY, int signZ, double halfX,
                             double halfY, double halfZ, const double R[9], double d,
                             const TArrayDrawSettings* settings);
MELISCO_API void DrawSection_IA(TMemBitmap* bm, int cx, int cy, double s, const double* values,
                                int perElement, TIrregularMesh* mesh, double halfX, double halfY,
                                double halfZ, const double R[9], double d,
                                const TArrayDrawSettings* settings);
/* True when the prism's roof lies above its sole at (x, y) and z is between them. */
MELISCO_API bool PointInPrismLayer(const TIrregularMesh* mesh, int prism, double x, double y, double z);
/* Writes the 8-byte pair (a, b) into n consecutive 8-byte slots. */
MELISCO_API void* FillIntPairs(void* dst, int32_t a, int32_t b, int n);

/* ---- Irregular meshes ---- */
MELISCO_API void BuildMeshCoefficients(TIrregularMesh* mesh, bool force);
MELISCO_API void FreeMeshCoefficients(TIrregularMesh* mesh);

/* ---- Software cube renderer ---- */
/* Sections of a value cube and the tree segments, ray cast into the bitmap
 * (view coordinates: u right, w up, y depth). Value codes are 0..65534 along
 * the colour scale, 65535 for no value. At most 10 planes are drawn; more hits
 * on one line of sight than the renderer holds keep the nearest ones.
 * CubuiqeDrawSection samples trilinearly, CubuiqeDrawSectionX takes the
 * nearest cell. */
MELISCO_API void CubuiqeDrawSection(
    TMemBitmap* bm, double viewScale, double negViewScale, double pixelSize, const int32_t* codes,
    const ResampleEntry* tabX, const ResampleEntry* tabY, const ResampleEntry* tabZ, int centreX,
    int centreY, double ax, double ay, double az, int countX, int countY, int countZ,
    const double corners[8][3], const double G[9], const double planes[][4], int planeCount,
    const double segments[][6], int segmentCount, const SegmentStyle* styles, double* scratch1,
    double* scratch2, COLORREF colourMin, COLORREF colourMax, int colourMode, int fillMode,
    int opacity, const COLORREF sectionColour[], const int32_t sectionOpacity[]);
MELISCO_API void CubuiqeDrawSectionX(
    TMemBitmap* bm, double viewScale, double negViewScale, double pixelSize, const int32_t* codes,
    const ResampleEntry* tabX, const ResampleEntry* tabY, const ResampleEntry* tabZ, int centreX,
    int centreY, double ax, double ay, double az, int countX, int countY, int countZ,
    const double corners[8][3], const double G[9], const double planes[][4], int planeCount,
    const double segments[][6], int segmentCount, const SegmentStyle* styles, double* scratch1,
    double* scratch2, COLORREF colourMin, COLORREF colourMax, int colourMode, int fillMode,
    int opacity, const COLORREF sectionColour[], const int32_t sectionOpacity[]);

#ifdef __cplusplus
}
#endif

#endif
