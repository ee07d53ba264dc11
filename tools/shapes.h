#pragma once
// Closed triangle meshes for the demo's objects, wound counter-clockwise
// seen from outside (right-handed frame).
#include "lwob_writer.h"

// Ring around the z axis: main radius R, tube radius r, `segments` steps
// around the ring and `sides` around the tube.
TriangleMesh makeTorus(float R, float r, int segments, int sides);

// Subdivided icosahedron of the given radius: 20 * 4^levels triangles. It is
// turned slightly so that no point lies on the z axis, where spherical
// texture coordinates are undefined.
TriangleMesh makeSphere(float radius, int levels);

// Signed volume enclosed by the mesh: positive when every face is wound
// counter-clockwise seen from outside.
double signedVolume(const TriangleMesh& mesh);
