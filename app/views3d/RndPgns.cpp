#include "views3d/RndPgns.h"

#include "Geometry3D.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// out = m * v for a column-major 4 x 4 matrix, as OpenGL stores them.
void Transform4(const double m[16], const double v[4], double out[4])
{
  for (int r = 0; r < 4; ++r)
    out[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3];
}

bool SamePoint(const TRndPgns::TVertex& a, const TRndPgns::TVertex& b)
{
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

// Drops vertices equal to the one before them (the last compared with the first).
void DropRepeats(std::vector<TRndPgns::TVertex>& vertices)
{
  std::vector<TRndPgns::TVertex> kept;
  for (const auto& v : vertices)
    if (kept.empty() || !SamePoint(kept.back(), v))
      kept.push_back(v);
  while (kept.size() > 1 && SamePoint(kept.back(), kept.front()))
    kept.pop_back();
  vertices.swap(kept);
}

} // namespace

void TRndPgns::SetMatrices(const double modelView[16], const double projection[16], const int32_t viewport[4])
{
  std::memcpy(ModelView, modelView, sizeof ModelView);
  std::memcpy(Projection, projection, sizeof Projection);
  std::memcpy(Viewport, viewport, sizeof Viewport);
}

TRndPgns::TWindowVertex TRndPgns::Project(const double point[3]) const
{
  const double p[4] = {point[0], point[1], point[2], 1};
  double eye[4], clip[4];
  Transform4(ModelView, p, eye);
  Transform4(Projection, eye, clip);
  const double w = clip[3] != 0 ? clip[3] : 1;
  return {Viewport[0] + Viewport[2] * (clip[0] / w + 1) / 2, Viewport[1] + Viewport[3] * (clip[1] / w + 1) / 2,
          (clip[2] / w + 1) / 2};
}

void TRndPgns::SetPlanes(const double (*cutPlanes)[4], const double (*outlines)[12][3], const int32_t* vertexCounts,
                         int32_t n, const double rotation[9])
{
  PlaneCount = std::min<int32_t>(n, 10);
  CutPlanes = cutPlanes;
  for (int j = 0; j < PlaneCount; ++j) {
    if (vertexCounts[j] < 3)
      continue;
    TWindowVertex w[3];
    for (int i = 0; i < 3; ++i) {
      double p[3];
      Matrix3Apply(p, rotation, outlines[j][i]);
      w[i] = Project(p);
    }
    // n . W = d through the three points, n of unit length. (The form
    // a X + b Y + c Z = 1 has no plane through the window origin.)
    const double e1[3] = {w[1][0] - w[0][0], w[1][1] - w[0][1], w[1][2] - w[0][2]};
    const double e2[3] = {w[2][0] - w[0][0], w[2][1] - w[0][1], w[2][2] - w[0][2]};
    double n3[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const double length = std::sqrt(n3[0] * n3[0] + n3[1] * n3[1] + n3[2] * n3[2]);
    for (int c = 0; c < 3; ++c)
      WindowPlanes[j][c] = length > 0 ? n3[c] / length : 0;
    WindowPlanes[j][3] = WindowPlanes[j][0] * w[0][0] + WindowPlanes[j][1] * w[0][1] + WindowPlanes[j][2] * w[0][2];
  }
}

void TRndPgns::Add(const std::vector<TVertex>& vertices, const std::vector<TWindowVertex>& window, int32_t section,
                   uint32_t mask)
{
  if (static_cast<size_t>(Count) == Items.size())
    Items.emplace_back();
  TRndPiece& piece = Items[static_cast<size_t>(Count)];
  piece.Section = section;
  piece.BehindMask = mask;
  piece.Vertices.assign(vertices.begin(), vertices.end());
  piece.WindowVertices.assign(window.begin(), window.end());
  ++Count;
}

void TRndPgns::Classify(TRndPiece& piece, int32_t plane) const
{
  const double* w = WindowPlanes[plane];
  if (w[2] == 0)
    return;
  for (const TWindowVertex& v : piece.WindowVertices) {
    double s = w[0] * v[0] + w[1] * v[1] + w[2] * v[2] - w[3];
    if (w[2] < 0)
      s = -s;
    if (std::fabs(s) < 1e-10)
      continue;
    if (s > 0)
      piece.BehindMask |= 1u << plane;
    return;
  }
}

void TRndPgns::Split(int32_t index, int32_t plane)
{
  TRndPiece& piece = Items[static_cast<size_t>(index)];
  const int n = static_cast<int>(piece.Vertices.size());
  struct Crossing {
    int k = -1;
    double t = 0;
    TVertex point{};
  } first, second;
  for (int k = 0; k < n && second.k < 0; ++k) {
    const TVertex& a = piece.Vertices[static_cast<size_t>((k + n - 1) % n)];
    const TVertex& b = piece.Vertices[static_cast<size_t>(k)];
    double at[3];
    const double t = PlaneSegmentIntersect(CutPlanes[plane], a.data(), b.data(), at);
    if (!(t >= 0 && t <= 1))
      continue;
    Crossing c;
    c.k = k;
    c.t = t;
    c.point = {at[0], at[1], at[2], a[3] + t * (b[3] - a[3]), a[4] + t * (b[4] - a[4])};
    if (first.k < 0)
      first = c;
    else if (t > 0 || k != first.k + 1)
      second = c;
  }
  if (first.k < 0 || second.k <= first.k) {
    Classify(piece, plane);
    return;
  }
  auto wrapped = [&](int from, int to, std::vector<TVertex>& out) {
    for (int k = from; k != to; k = (k + 1) % n)
      out.push_back(piece.Vertices[static_cast<size_t>(k)]);
  };
  std::vector<TVertex> front, back;
  if (first.t < 1)
    front.push_back(first.point);
  wrapped(first.k, second.k, front);
  if (second.t > 0)
    front.push_back(second.point);
  if (second.t < 1)
    back.push_back(second.point);
  wrapped(second.k, first.k, back);
  if (first.t > 0)
    back.push_back(first.point);
  DropRepeats(front);
  DropRepeats(back);
  // A plane that only touches the outline at a vertex leaves it whole.
  if (front.size() < 3 || back.size() < 3) {
    Classify(piece, plane);
    return;
  }
  auto project = [this](const std::vector<TVertex>& vertices) {
    std::vector<TWindowVertex> out;
    for (const TVertex& v : vertices)
      out.push_back(Project(v.data()));
    return out;
  };
  const int32_t section = piece.Section;
  const uint32_t mask = piece.BehindMask;
  const std::vector<TWindowVertex> backWindow = project(back);
  Add(front, project(front), section, mask);
  Classify(Items[static_cast<size_t>(Count - 1)], plane);
  TRndPiece& replaced = Items[static_cast<size_t>(index)];
  replaced.Vertices = back;
  replaced.WindowVertices = backWindow;
  Classify(replaced, plane);
}

void TRndPgns::AddSectionPolygon(const TVertex* vertices, int32_t n, int32_t section)
{
  std::vector<TVertex> outline(vertices, vertices + n);
  std::vector<TWindowVertex> window;
  for (const TVertex& v : outline)
    window.push_back(Project(v.data()));
  Add(outline, window, section, 0);
  const int32_t first = Count - 1;
  for (int32_t j = 0; j < PlaneCount; ++j) {
    if (j == section || !CutPlanes)
      continue;
    const int32_t end = Count;
    for (int32_t i = first; i < end; ++i)
      Split(i, j);
  }
}

void TRndPgns::GetNormal(int32_t index, int32_t k, double out[3]) const
{
  out[0] = out[1] = out[2] = 0;
  const TRndPiece& piece = Items[static_cast<size_t>(index)];
  if (k < 0 || static_cast<size_t>(k) + 2 >= piece.Vertices.size())
    return;
  const TVertex& p0 = piece.Vertices[static_cast<size_t>(k)];
  const TVertex& p1 = piece.Vertices[static_cast<size_t>(k) + 1];
  const TVertex& p2 = piece.Vertices[static_cast<size_t>(k) + 2];
  const double a[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
  const double b[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

std::vector<int32_t> TRndPgns::DrawingOrder() const
{
  std::vector<TPieceKey> keys;
  for (int32_t i = 0; i < Count; ++i)
    keys.push_back({Piece(i).Section, Piece(i).BehindMask});
  return PieceOrder(keys);
}

std::vector<int32_t> TRndPgns::PieceOrder(const std::vector<TPieceKey>& pieces)
{
  std::vector<int32_t> remaining(pieces.size());
  for (size_t i = 0; i < pieces.size(); ++i)
    remaining[i] = static_cast<int32_t>(i);
  std::stable_sort(remaining.begin(), remaining.end(),
                   [&](int32_t a, int32_t b) { return pieces[a].section < pieces[b].section; });
  auto behind = [&](int32_t a, int32_t b) {
    const uint32_t section = static_cast<uint32_t>(pieces[b].section);
    return section < 32 && (pieces[a].mask >> section & 1u) != 0;
  };
  auto mustPrecede = [&](int32_t a, int32_t b) {
    return pieces[a].section != pieces[b].section && behind(a, b) && !behind(b, a);
  };
  std::vector<int32_t> order;
  while (!remaining.empty()) {
    auto next = std::find_if(remaining.begin(), remaining.end(), [&](int32_t candidate) {
      return std::none_of(remaining.begin(), remaining.end(),
                          [&](int32_t other) { return mustPrecede(other, candidate); });
    });
    if (next == remaining.end())
      next = remaining.begin(); // a cycle: the lowest (section, position) goes first
    order.push_back(*next);
    remaining.erase(next);
  }
  return order;
}
