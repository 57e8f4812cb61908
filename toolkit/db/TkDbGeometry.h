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
