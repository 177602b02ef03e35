#pragma once

// Delaunay triangulation of points in the plane with the entry point and
// record of the Triangle mesh generator, as far as our callers use them.
// Built over qhull.
//
// Guarantees: counter-clockwise triangles with the empty-circumcircle
// property covering the convex hull, no zero-area triangles, neighbour i
// opposite vertex i (-1 on the hull), the input points in their order in the
// output, exact duplicates in no triangle, and 0 triangles (not an error)
// for collinear input or fewer than 3 distinct points.

struct triangulateio {
    double* pointlist = nullptr;
    int numberofpoints = 0;

    int* trianglelist = nullptr;
    int numberoftriangles = 0;
    int numberofcorners = 0;
    int* neighborlist = nullptr;

    int* segmentlist = nullptr;
    int numberofsegments = 0;

    double* holelist = nullptr;
    int numberofholes = 0;

    int* edgelist = nullptr;
    int numberofedges = 0;
};

// switches: any of "z" (zero-based numbering), "e" (edges), "n" (neighbours),
// "C" (check), "Q" (quiet), and "p" (read segments; none may be given).
// Returns 0 on success; -1 for an unknown switch or for segments or holes,
// with out left empty. Output arrays are malloc'ed: release with trifree.
int triangulate(const char* switches, triangulateio* in, triangulateio* out, triangulateio* vorout);

void trifree(void* memory);
