#include "data/PolygonScan.h"

#include <algorithm>
#include <climits>
#include <new>

namespace {

// Coordinates and error terms are kept in 64 bits, so that outlines mapped
// far outside the bitmap (a deep zoom) step without overflow.
struct PolyEdge {
  std::int64_t yMax;
  std::int64_t x;
  std::int64_t d;
  std::int64_t m;
  std::int64_t m1;
  std::int64_t incr1;
  std::int64_t incr2;
  PolyEdge *next;
  PolyEdge *back;
  PolyEdge *nextWinding;
  std::int32_t clockwise;
};

struct PolyScanLine {
  std::int64_t y;
  PolyEdge *edges;
  PolyScanLine *next;
};

constexpr int ScanLinesPerBlock = 25;
constexpr int SpanBufferSize = 200;

struct PolyScanBlock {
  PolyScanLine lines[ScanLinesPerBlock];
  PolyScanBlock *next;
};

struct EdgeTable {
  std::int64_t yMin = INT_MAX;
  std::int64_t yMax = INT_MIN;
  PolyScanLine head{0, nullptr, nullptr};
};

// The scanline records come from a chain of blocks: the first is part of the
// converter, further ones are allocated only for polygons with many vertices.
struct ScanLineStore {
  PolyScanBlock first{};
  PolyScanBlock *current = &first;
  int used = 0;

  PolyScanLine *Take()
  {
    if (used == ScanLinesPerBlock) {
      auto *block = new (std::nothrow) PolyScanBlock{};
      if (!block)
        return nullptr;
      current->next = block;
      current = block;
      used = 0;
    }
    return &current->lines[used++];
  }
};

void FreeScanlineBlocks(PolyScanBlock *block)
{
  while (block) {
    PolyScanBlock *next = block->next;
    delete block;
    block = next;
  }
}

bool InsertEdgeInTable(EdgeTable &table, PolyEdge *edge, std::int64_t y, ScanLineStore &store)
{
  PolyScanLine *previous = &table.head;
  PolyScanLine *line = table.head.next;
  while (line && line->y < y) {
    previous = line;
    line = line->next;
  }
  if (!line || line->y > y) {
    PolyScanLine *fresh = store.Take();
    if (!fresh)
      return false;
    fresh->y = y;
    fresh->edges = nullptr;
    fresh->next = line;
    previous->next = fresh;
    line = fresh;
  }
  PolyEdge *before = nullptr;
  PolyEdge *at = line->edges;
  while (at && at->x < edge->x) {
    before = at;
    at = at->next;
  }
  edge->next = at;
  if (before)
    before->next = edge;
  else
    line->edges = edge;
  return true;
}

// Integer stepping of an edge's x from one scanline to the next.
void SetUpStepping(PolyEdge &e, const PolyPoint &top, const PolyPoint &bottom)
{
  std::int64_t dy = std::int64_t{bottom.y} - top.y;
  std::int64_t dx = std::int64_t{bottom.x} - top.x;
  e.x = top.x;
  e.m = dx / dy;
  if (dx < 0) {
    e.m1 = e.m - 1;
    e.incr1 = -2 * dx + 2 * dy * e.m1;
    e.incr2 = -2 * dx + 2 * dy * e.m;
    e.d = 2 * e.m * dy - 2 * dx - 2 * dy;
  } else {
    e.m1 = e.m + 1;
    e.incr1 = 2 * dx - 2 * dy * e.m1;
    e.incr2 = 2 * dx - 2 * dy * e.m;
    e.d = -2 * e.m * dy + 2 * dx;
  }
}

void StepEdge(PolyEdge &e)
{
  bool takeLong = e.m1 > 0 ? e.d > 0 : e.d >= 0;
  if (takeLong) {
    e.x += e.m1;
    e.d += e.incr1;
  } else {
    e.x += e.m;
    e.d += e.incr2;
  }
}

bool BuildEdgeTable(EdgeTable &table, PolyEdge *edges, const PolyPoint *vertices, int count,
                    ScanLineStore &store)
{
  if (count < 2)
    return true;
  const PolyPoint *previous = &vertices[count - 1];
  for (int i = 0; i < count; ++i) {
    const PolyPoint *vertex = &vertices[i];
    if (previous->y != vertex->y) {
      PolyEdge &e = edges[i];
      const PolyPoint *top;
      const PolyPoint *bottom;
      if (previous->y > vertex->y) {
        top = vertex;
        bottom = previous;
        e.clockwise = 0;
      } else {
        top = previous;
        bottom = vertex;
        e.clockwise = 1;
      }
      e.yMax = std::int64_t{bottom->y} - 1;
      SetUpStepping(e, *top, *bottom);
      if (!InsertEdgeInTable(table, &e, top->y, store))
        return false;
      table.yMax = std::max<std::int64_t>(table.yMax, previous->y);
      table.yMin = std::min<std::int64_t>(table.yMin, previous->y);
    }
    previous = vertex;
  }
  return true;
}

// Merges a scanline's edges (already in x order) into the active list.
void LoadActiveEdges(PolyEdge *active, PolyEdge *incoming)
{
  PolyEdge *previous = active;
  active = active->next;
  while (incoming) {
    while (active && active->x < incoming->x) {
      previous = active;
      active = active->next;
    }
    PolyEdge *following = incoming->next;
    incoming->next = active;
    if (active)
      active->back = incoming;
    incoming->back = previous;
    previous->next = incoming;
    previous = incoming;
    incoming = following;
  }
}

// Links the edges where the winding count leaves 0 and where it returns to 0.
void ComputeWindingEdges(PolyEdge *active)
{
  PolyEdge *last = active;
  int winding = 0;
  bool outside = true;
  for (PolyEdge *e = active->next; e; e = e->next) {
    winding += e->clockwise ? 1 : -1;
    if ((outside && winding != 0) || (!outside && winding == 0)) {
      last->nextWinding = e;
      last = e;
      outside = !outside;
    }
  }
  last->nextWinding = nullptr;
}

bool SortActiveEdges(PolyEdge *active)
{
  bool moved = false;
  PolyEdge *e = active->next;
  while (e) {
    PolyEdge *following = e->next;
    PolyEdge *insertAfter = e->back;
    while (insertAfter->x > e->x)
      insertAfter = insertAfter->back;
    if (insertAfter != e->back) {
      // Unlink e, then put it right after insertAfter.
      e->back->next = e->next;
      if (e->next)
        e->next->back = e->back;
      e->next = insertAfter->next;
      e->next->back = e;
      insertAfter->next = e;
      e->back = insertAfter;
      moved = true;
    }
    e = following;
  }
  return moved;
}

class SpanWriter {
public:
  SpanWriter(std::uint8_t *mask, int width, int height, std::uint8_t value)
      : mask(mask), width(width), height(height), value(value)
  {
  }

  // Spans are cut to one pixel beyond the mask on either side before they
  // are buffered, which keeps them in 32 bits and writes the same bytes.
  void Add(std::int64_t x, std::int64_t y, std::int64_t w)
  {
    std::int64_t from = std::max<std::int64_t>(x, -1);
    std::int64_t to = std::min<std::int64_t>(x + w, std::int64_t{width} + 1);
    if (y < 0 || y >= height || to <= from)
      return;
    spans[count++] = {static_cast<std::int32_t>(from), static_cast<std::int32_t>(y),
                      static_cast<std::int32_t>(to - from)};
    if (count == SpanBufferSize)
      Flush();
  }

  void Flush()
  {
    FillSpans(mask, width, height, spans, count, value);
    count = 0;
  }

private:
  std::uint8_t *mask;
  int width;
  int height;
  std::uint8_t value;
  PolySpan spans[SpanBufferSize];
  int count = 0;
};

// Steps the edge at *at to the next scanline, or drops it when its last
// scanline is done; returns whether it was dropped. *at moves on, previous
// follows the list.
bool AdvanceEdge(PolyEdge *&at, PolyEdge *&previous, std::int64_t y)
{
  if (at->yMax == y) {
    previous->next = at->next;
    at = previous->next;
    if (at)
      at->back = previous;
    return true;
  }
  StepEdge(*at);
  previous = at;
  at = at->next;
  return false;
}

void ScanEvenOdd(const EdgeTable &table, PolyEdge &active, SpanWriter &out)
{
  PolyScanLine *line = table.head.next;
  for (std::int64_t y = table.yMin; y < table.yMax; ++y) {
    if (line && line->y == y) {
      LoadActiveEdges(&active, line->edges);
      line = line->next;
    }
    PolyEdge *previous = &active;
    PolyEdge *at = active.next;
    while (at && at->next) {
      out.Add(at->x, y, at->next->x - at->x);
      AdvanceEdge(at, previous, y);
      AdvanceEdge(at, previous, y);
    }
    while (at)
      AdvanceEdge(at, previous, y);
    SortActiveEdges(&active);
  }
}

void ScanWinding(const EdgeTable &table, PolyEdge &active, SpanWriter &out)
{
  PolyScanLine *line = table.head.next;
  for (std::int64_t y = table.yMin; y < table.yMax; ++y) {
    bool recompute = false;
    if (line && line->y == y) {
      LoadActiveEdges(&active, line->edges);
      ComputeWindingEdges(&active);
      line = line->next;
    }
    PolyEdge *previous = &active;
    PolyEdge *at = active.next;
    PolyEdge *spanStart = active.nextWinding;
    while (at) {
      if (at == spanStart && spanStart->nextWinding) {
        PolyEdge *spanEnd = spanStart->nextWinding;
        out.Add(at->x, y, spanEnd->x - at->x);
        spanStart = spanEnd->nextWinding;
        bool endReached = false;
        while (at && !endReached) {
          endReached = at == spanEnd;
          recompute |= AdvanceEdge(at, previous, y);
        }
      } else {
        recompute |= AdvanceEdge(at, previous, y);
      }
    }
    if (SortActiveEdges(&active) || recompute)
      ComputeWindingEdges(&active);
  }
}

} // namespace

void FillSpans(std::uint8_t *mask, int width, int height, const PolySpan *spans, int count,
               std::uint8_t value)
{
  for (int i = 0; i < count; ++i) {
    const PolySpan &s = spans[i];
    if (s.y < 0 || s.y >= height)
      continue;
    long long from = std::max<long long>(s.x, 0);
    long long to = std::min<long long>(static_cast<long long>(s.x) + s.width, width);
    std::uint8_t *row = mask + static_cast<long long>(s.y) * width;
    for (long long x = from; x < to; ++x)
      row[x] = value;
  }
}

void FillPolygonMask(std::uint8_t *mask, int width, int height, const PolyPoint *vertices, int count,
                     std::uint8_t value, int rule)
{
  if (count < 3 || !mask || !vertices)
    return;
  PolyEdge *edges = new (std::nothrow) PolyEdge[static_cast<size_t>(count)];
  if (!edges)
    return;
  EdgeTable table;
  ScanLineStore store;
  if (BuildEdgeTable(table, edges, vertices, count, store)) {
    PolyEdge active{};
    active.x = INT_MIN;
    SpanWriter out(mask, width, height, value);
    if (rule == PolyEvenOdd)
      ScanEvenOdd(table, active, out);
    else
      ScanWinding(table, active, out);
    out.Flush();
  }
  FreeScanlineBlocks(store.first.next);
  delete[] edges;
}
