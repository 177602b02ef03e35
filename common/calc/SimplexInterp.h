#pragma once

// Sibson natural-neighbour interpolation of scattered values in N >= 2
// dimensions. One interpolation set is active at a time (module-wide state):
// init once, query any number of times, free once. Not re-entrant.

// sites: n pointers to N + 1 doubles (coordinates, then the value).
// bounds: a minimum and a maximum corner of N doubles each; they widen to
// hold every site. Returns false (and queries find nothing) for N < 2 or
// missing input. The sites are moved by up to 5e-7 per coordinate, drawn from
// the shared random sequence, so that no site and query are co-spherical.
bool simplex_interp_init(const double* const* sites, int n, int N, const double* const bounds[2]);

// true and the value when every natural neighbour of the point is a site;
// false, value untouched, outside the hull of the sites, too near its boundary
// or where the tessellation degenerates.
bool simplex_interp_value(const double* point, double* value);

void simplex_interp_free();
