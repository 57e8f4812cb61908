#pragma once
// Geometry shared by extents and rendering: the object coordinate system of planar entities.
#include "toolkit/db/TkDbObjects.h"

// The OCS of an extrusion direction (group codes 210/220/230), by the arbitrary axis algorithm.
class TkDbOcs {
public:
    explicit TkDbOcs(const TkDbRecord& e);
    bool isIdentity() const { return identity_; }
    TkDbPoint3 toWcs(double x, double y, double z) const;

private:
    struct V3 {
        double x, y, z;
    };
    bool identity_ = true;
    V3 ax_{1, 0, 0}, ay_{0, 1, 0}, az_{0, 0, 1};
};

// The counter-clockwise sweep from angle a0 to a1 (radians), in [0, 2 pi]: a1 - a0 as it is when
// it lies there, else reduced by whole turns. Whatever the file says, nothing loops on a sweep
// larger than a turn; a sweep that is no number is none.
double tkDbSweep(double a0, double a1);
// An angle reduced to [0, 2 pi), so that the sines and cosines of far-out angles stay cheap and exact.
double tkDbAngle(double a);
