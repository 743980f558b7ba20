// Geometry helpers of the entities: the entity coordinate system and checks
// of the transforms entities can take.
#pragma once

#include "Ge.h"

/// ECS (of a normal, by the arbitrary-axis rule) to WCS, without translation.
OdGeMatrix3d ecsToWcs(const OdGeVector3d& normal);
OdGePoint3d toWcs(const OdGeVector3d& normal, const OdGePoint3d& ecsPoint);
OdGePoint3d toEcs(const OdGeVector3d& normal, const OdGePoint3d& wcsPoint);
/// Whether the transform scales alike in every direction and keeps angles;
/// gives the scale factor.
bool isUniformOrtho(const OdGeMatrix3d& m, double& scale);
/// The normal of a planar entity under a transform: a mirror keeps the
/// entity's sense of turning by flipping the normal back.
OdGeVector3d transformNormal(const OdGeMatrix3d& m, const OdGeVector3d& normal);
/// An angle in [0, 2pi).
double normalizeAngle(double angle);
/// The box of an arc (centre, radius, normal, start and end angle in its ECS).
void addArcExtents(OdGeExtents3d& ext, const OdGePoint3d& center, double radius, const OdGeVector3d& normal,
                   double start, double end);
/// The box of a bulged segment in an ECS (2D points at an elevation).
void addBulgeExtents(OdGeExtents3d& ext, const OdGePoint2d& a, const OdGePoint2d& b, double bulge, double elevation,
                     const OdGeVector3d& normal);
