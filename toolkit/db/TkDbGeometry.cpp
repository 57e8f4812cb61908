#include "toolkit/db/TkDbGeometry.h"

#include <cmath>

namespace {
constexpr double kTurn = 2 * 3.14159265358979323846;
struct V { double x, y, z; };
V cross(V a, V b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V unit(V a) {
    double l = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    return l > 0 ? V{a.x / l, a.y / l, a.z / l} : V{0, 0, 1};
}
}  // namespace

TkDbOcs::TkDbOcs(const TkDbRecord& e) {
    V n{e.real(210, {}, 0), e.real(220, {}, 0), e.real(230, {}, 1)};
    if (std::fabs(n.x) < 1e-12 && std::fabs(n.y) < 1e-12 && n.z > 0) return;
    identity_ = false;
    V az = unit(n);
    const double lim = 1.0 / 64.0;
    V ax = (std::fabs(az.x) < lim && std::fabs(az.y) < lim) ? unit(cross({0, 1, 0}, az)) : unit(cross({0, 0, 1}, az));
    V ay = unit(cross(az, ax));
    ax_ = {ax.x, ax.y, ax.z};
    ay_ = {ay.x, ay.y, ay.z};
    az_ = {az.x, az.y, az.z};
}

TkDbPoint3 TkDbOcs::toWcs(double x, double y, double z) const {
    if (identity_) return {x, y, z};
    return {x * ax_.x + y * ay_.x + z * az_.x, x * ax_.y + y * ay_.y + z * az_.y, x * ax_.z + y * ay_.z + z * az_.z};
}

double tkDbSweep(double a0, double a1) {
    double s = a1 - a0;
    if (!std::isfinite(s)) return 0;
    if (s >= 0 && s <= kTurn) return s;
    s = std::fmod(s, kTurn);
    return s < 0 ? s + kTurn : s;
}

double tkDbAngle(double a) {
    if (!std::isfinite(a)) return 0;
    if (a >= 0 && a < kTurn) return a;
    a = std::fmod(a, kTurn);
    return a < 0 ? a + kTurn : a;
}
