#pragma once
// The solid geometry helpers are shared with the drawing library and live with
// the mesh helpers; this name stays for the core data code that includes it.
#include "mesh/Geometry3D.h"
