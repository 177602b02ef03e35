// The exported pixel writers; the drawing loops use the inline forms.
#include "melisco.h"

#include "PixelWriters.h"

using namespace melisco;

extern "C" {

uint8_t** putTranspBGR(uint8_t** cursor, int r, int g, int b, int alpha) {
  BlendBGR(*cursor, r, g, b, alpha);
  *cursor += 3;
  return cursor;
}

void putTranspBGRx(uint8_t* p, int r, int g, int b, int alpha) {
  BlendBGR(p, r, g, b, alpha);
}

uint8_t** putTranspBGRA(uint8_t** cursor, int r, int g, int b, int alpha) {
  WriteBGRA(*cursor, r, g, b, alpha);
  *cursor += 4;
  return cursor;
}

void putTranspBGRAx(uint8_t* p, int r, int g, int b, int alpha) {
  WriteBGRA(p, r, g, b, alpha);
}

uint8_t** fillColorBGR(uint8_t** cursor, int c0, int c1, int c2, int d0, int d1, int d2, int t,
                       int alpha, int mode) {
  FillBlend(*cursor, c0, c1, c2, d0, d1, d2, t, alpha, mode);
  *cursor += 3;
  return cursor;
}

void fillColorBGRx(uint8_t* p, int c0, int c1, int c2, int d0, int d1, int d2, int t, int alpha,
                   int mode) {
  FillBlend(p, c0, c1, c2, d0, d1, d2, t, alpha, mode);
}

uint8_t** fillColorBGRa(uint8_t** cursor, int c0, int c1, int c2, int d0, int d1, int d2, int t,
                        int alpha0, int alphaDelta, int mode) {
  FillBlend(*cursor, c0, c1, c2, d0, d1, d2, t, RampAlpha(t, alpha0, alphaDelta), mode);
  *cursor += 3;
  return cursor;
}

void fillColorBGRax(uint8_t* p, int c0, int c1, int c2, int d0, int d1, int d2, int t, int alpha0,
                    int alphaDelta, int mode) {
  FillBlend(p, c0, c1, c2, d0, d1, d2, t, RampAlpha(t, alpha0, alphaDelta), mode);
}

uint8_t** fillColorBGRA(uint8_t** cursor, int c0, int c1, int c2, int d0, int d1, int d2, int t,
                        int alpha, int mode) {
  FillOpaque32(*cursor, c0, c1, c2, d0, d1, d2, t, alpha, mode);
  *cursor += 4;
  return cursor;
}

uint8_t** fillColorBGRAa(uint8_t** cursor, int c0, int c1, int c2, int d0, int d1, int d2, int t,
                         int alpha0, int alphaDelta, int mode) {
  FillOpaque32(*cursor, c0, c1, c2, d0, d1, d2, t, RampAlpha(t, alpha0, alphaDelta), mode);
  *cursor += 4;
  return cursor;
}

void fillColorBGRAx(uint8_t* p, int c0, int c1, int c2, int d0, int d1, int d2, int t, int alpha,
                    int mode) {
  FillOpaque32(p, c0, c1, c2, d0, d1, d2, t, alpha, mode);
}

}  // extern "C"
