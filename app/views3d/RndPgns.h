#pragma once
// TRndPgns: the transparent section pieces of the cube view. Blending needs
// the pieces drawn from the back to the front; sections may cross, so every
// outline is cut along the planes of the other sections until no piece
// crosses another section's plane, and every piece records which section
// planes it lies behind on the screen. Depth is judged in window coordinates
// (the projection of the last OpenGL frame), cuts are made in view
// coordinates. No OpenGL here: the frame hands in its matrices.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class TRndPgns {
public:
  using TVertex = std::array<double, 5>;       // x, y, z (view coordinates), s, t
  using TWindowVertex = std::array<double, 3>; // X, Y (pixels), Z (depth 0 .. 1)
  struct TRndPiece {
    int32_t Section = 0;
    uint32_t BehindMask = 0; // bit j: the piece lies behind the plane of section j
    std::vector<TVertex> Vertices;
    std::vector<TWindowVertex> WindowVertices;
  };

  // Count = 0; the records and their vertex arrays stay for the next frame.
  void Reset() { Count = 0; }
  void SetMatrices(const double modelView[16], const double projection[16], const int32_t viewport[4]);
  // Window coordinates of a point in view coordinates (as gluProject).
  TWindowVertex Project(const double point[3]) const;
  // cutPlanes: per section {nx, ny, nz, shift} in view coordinates, kept by
  // reference. outlines: per section up to 12 vertices in scaled cube
  // coordinates, turned into view coordinates by rotation. A section with
  // fewer than three vertices keeps its earlier window plane.
  void SetPlanes(const double (*cutPlanes)[4], const double (*outlines)[12][3], const int32_t* vertexCounts,
                 int32_t n, const double rotation[9]);
  // Adds a section's outline (view coordinates) and cuts it by the planes of
  // all other sections.
  void AddSectionPolygon(const TVertex* vertices, int32_t n, int32_t section);
  // (p[k+1] - p[k]) x (p[k+2] - p[k]) of the piece's vertices, not normalised;
  // zero without three vertices from k on.
  void GetNormal(int32_t piece, int32_t k, double out[3]) const;

  // The pieces in drawing order (indices into the pieces).
  std::vector<int32_t> DrawingOrder() const;
  // The order of pieces given by section and mask: repeatedly the first
  // remaining piece (by section, then position) that no other remaining piece
  // must precede. A piece must precede another of a different section when it
  // lies behind that section's plane while the other does not lie behind its
  // own. Where the pieces precede one another in a cycle the first remaining
  // piece is taken, so the order is always defined and always the same.
  struct TPieceKey {
    int32_t section;
    uint32_t mask;
  };
  static std::vector<int32_t> PieceOrder(const std::vector<TPieceKey>& pieces);

  const TRndPiece& Piece(int32_t i) const { return Items[static_cast<size_t>(i)]; }

  int32_t Count = 0;
  int32_t PlaneCount = 0;
  // Per section the plane n . (X, Y, Z) = d of its outline in window
  // coordinates (X, Y pixels, Z depth), n of unit length.
  double WindowPlanes[10][4] = {};

private:
  void Add(const std::vector<TVertex>& vertices, const std::vector<TWindowVertex>& window, int32_t section,
           uint32_t mask);
  void Classify(TRndPiece& piece, int32_t plane) const;
  void Split(int32_t piece, int32_t plane);

  double ModelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  double Projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  int32_t Viewport[4] = {0, 0, 1, 1};
  const double (*CutPlanes)[4] = nullptr;
  std::vector<TRndPiece> Items;
};
