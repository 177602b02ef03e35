#pragma once
// Solid bodies drawn with GLU quadrics into the current OpenGL context (the
// context belongs to Qt, so no toolkit that owns its own windows can draw them).
// Each is centred like the classic toolkit solids: spheres and cubes at the
// origin, cones and cylinders standing on the origin along +z.

void CubeSolidSphere(double radius, int slices, int stacks);
// A cube of the given edge length.
void CubeSolidCube(double size);
// A closed cone: the base disk of the radius at z = 0, the apex at z = height.
void CubeSolidCone(double base, double height, int slices, int stacks);
// A closed cylinder from z = 0 to z = length.
void CubeSolidCylinder(double radius, double length);
