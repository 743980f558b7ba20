// HvDbUtils: coordinate systems and point geometry.
//
// Four systems: the world system (WCS) the database stores geometry in, the
// user system (UCS) points are entered in, the entity system (ECS) a planar
// entity derives from its normal by the arbitrary-axis rule, and the display
// system (DCS) of the current viewport. The host's system codes are 0 WCS,
// 1 UCS, 2 DCS.
//
// The UCS of a database is the host's UCS-to-WCS matrix (kxdbUcsMatrix);
// whenever the host cannot supply one, the functions take the UCS to be the
// WCS (identity, WCS axes, origin 0,0,0) and say nothing. A null database
// means the host's working database.
#pragma once

#include "Ge.h"
#include "MWCommonModuleApi.h"
#include "OdArray.h"
#include "OdTypes.h"

class OdDbDatabase;
class OdDbEntity;

namespace HvDbUtils {

// Points.

/// (x, y, 0).
MWCOMMONMODULE_API OdGePoint3d p2to3(const OdGePoint2d& point);
/// (x, y).
MWCOMMONMODULE_API OdGePoint2d p3to2(const OdGePoint3d& point);
/// Copies x, y and z.
MWCOMMONMODULE_API void CopyAdsPoint(ads_point destination, const ads_point source);
/// 1 when the points are less than 0.001 apart (strictly), else 0.
MWCOMMONMODULE_API int PointIsEqual(const OdGePoint3d& first, const OdGePoint3d& second);
/// 1 when `point` lies on the segment from `start` to `end`: the way through
/// the point is less than 0.001 longer than the segment. Else 0.
MWCOMMONMODULE_API int PointIsOn(const OdGePoint3d& point, const OdGePoint3d& start, const OdGePoint3d& end);
/// The host's point at `angle` (radians) and `distance` from `point` (kxutPolar).
MWCOMMONMODULE_API OdGePoint3d arx_polar(const OdGePoint3d& point, double angle, double distance);
/// The host's angle from `from` to `to` (kxutAngle), in [0, 2 pi).
MWCOMMONMODULE_API double arx_angle(const OdGePoint3d& from, const OdGePoint3d& to);
/// A point converted by the host from one system code to another (kxedTrans).
MWCOMMONMODULE_API OdGePoint3d arx_trans(const OdGePoint3d& point, int from, int to);
/// A direction converted by the host, without translation.
MWCOMMONMODULE_API OdGeVector3d arx_trans(const OdGeVector3d& vector, int from, int to);

// The UCS.

/// The axes of the UCS matrix as they are (not normalised); the WCS axes
/// without a UCS matrix.
MWCOMMONMODULE_API OdGeVector3d GetUcsXAxis(OdDbDatabase* database = nullptr);
MWCOMMONMODULE_API OdGeVector3d GetUcsYAxis(OdDbDatabase* database = nullptr);
MWCOMMONMODULE_API OdGeVector3d GetUcsZAxis(OdDbDatabase* database = nullptr);
/// The plane through the UCS origin spanned by the UCS X and Y axes; the WCS
/// XY plane without a UCS matrix.
MWCOMMONMODULE_API OdGePlane GetUcsPlane(OdDbDatabase* database = nullptr);
/// The UCS-to-WCS matrix, or the identity.
MWCOMMONMODULE_API void GetUcsToWcsMatrix(OdGeMatrix3d& matrix, OdDbDatabase* database = nullptr);
/// The WCS-to-UCS matrix (the inverse), or the identity.
MWCOMMONMODULE_API void GetWcsToUcsMatrix(OdGeMatrix3d& matrix, OdDbDatabase* database = nullptr);
/// The matrix that maps the system with origin UCS origin + `offset` (added
/// coordinate by coordinate) and the UCS axes onto the WCS; the identity
/// without a UCS matrix (`offset` is then not applied).
MWCOMMONMODULE_API void GetUcsToWcsOriginMatrix(OdGeMatrix3d& matrix, const OdGePoint3d& offset,
                                                OdDbDatabase* database = nullptr);
/// UCS to WCS in place: points with translation, vectors without, arrays
/// element by element in order.
MWCOMMONMODULE_API void UcsToWcs(OdGePoint3d& point, OdDbDatabase* database = nullptr);
MWCOMMONMODULE_API void UcsToWcs(OdGeVector3d& vector, OdDbDatabase* database = nullptr);
MWCOMMONMODULE_API void UcsToWcs(OdArray<OdGePoint3d>& points, OdDbDatabase* database = nullptr);
/// WCS to UCS in place (the inverse of the UCS matrix).
MWCOMMONMODULE_API void WcsToUcs(OdGePoint3d& point, OdDbDatabase* database = nullptr);
MWCOMMONMODULE_API void WcsToUcs(OdGeVector3d& vector, OdDbDatabase* database = nullptr);
MWCOMMONMODULE_API void WcsToUcs(OdArray<OdGePoint3d>& points, OdDbDatabase* database = nullptr);
/// Transforms an entity open for write by the UCS matrix (drawn in UCS
/// coordinates, it lands where the user meant it). A null entity is left alone.
MWCOMMONMODULE_API void TransformToWcs(OdDbEntity* entity, OdDbDatabase* database = nullptr);
/// Transforms an entity open for write by the inverse of the UCS matrix.
MWCOMMONMODULE_API void TransformToUcs(OdDbEntity* entity, OdDbDatabase* database = nullptr);

// The ECS and the DCS.

/// The ECS-to-WCS matrix of `normal` by the arbitrary-axis rule: the
/// identity for (0, 0, 1); otherwise origin (0, 0, 0), X = W x N normalised
/// (W the WCS Y axis when both |N.x| and |N.y| are below 1/64, else the WCS
/// Z axis), Y = N x X normalised, and N itself (not normalised) as the Z
/// column. `point` does not change the result.
MWCOMMONMODULE_API void GetEcsToWcsMatrix(const OdGePoint3d& point, const OdGeVector3d& normal, OdGeMatrix3d& matrix);
/// The plane through the WCS origin spanned by the ECS X and Y axes of
/// `normal`, and the ECS X axis. `point` does not change the result.
MWCOMMONMODULE_API void GetEcsPlane(const OdGePoint3d& point, const OdGeVector3d& normal, OdGePlane& plane,
                                    OdGeVector3d& xAxis);
MWCOMMONMODULE_API void GetEcsPlane(const OdGeVector3d& normal, OdGePlane& plane);
/// The ECS X axis of `normal`.
MWCOMMONMODULE_API void GetEcsXAxis(const OdGeVector3d& normal, OdGeVector3d& xAxis);
/// ECS to WCS in place (multiplied by the ECS-to-WCS matrix of `normal`).
MWCOMMONMODULE_API void EcsToWcs(OdGePoint3d& point, const OdGeVector3d& normal);
MWCOMMONMODULE_API void EcsToWcs(OdGeVector3d& vector, const OdGeVector3d& normal);
/// The display point (x, y, 0) converted by the host from the DCS to the UCS.
MWCOMMONMODULE_API OdGePoint3d DcsToUcs(const OdGePoint2d& point);
/// x and y of the point converted by the host from the UCS to the DCS.
MWCOMMONMODULE_API OdGePoint2d UcsToDcs(const OdGePoint3d& point);

// Angles.

MWCOMMONMODULE_API double AngToRad(double degrees);
MWCOMMONMODULE_API double RadToAng(double radians);
/// An angle in degrees brought into [0, 360): whole turns are taken off
/// first, then the angle is brought into range turn by turn; what lies within
/// 0.001 of 0 before the range step, or of 360 after it, becomes 0 (so
/// -359.9995 gives 0.0005). An angle of 2^31 turns or more has its whole
/// turns taken off exactly (the remainder of the division by a turn) before
/// the same steps; a value that is infinite or not a number is returned as
/// it is.
MWCOMMONMODULE_API double RuleAngle(double degrees);
/// The same in radians, with 2 pi for a turn and 0.001 radians for the snap.
MWCOMMONMODULE_API double RuleRadAngle(double radians);

}  // namespace HvDbUtils
