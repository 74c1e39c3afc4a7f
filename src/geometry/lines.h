#pragma once
// Lines a*x + b*y + c = 0, their intersections and perpendiculars, and
// direction angles. Stateless, no allocation; failures only through the
// boolean results.
namespace zelkan {

struct TLine {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
};

// Unit normal form of the line through P1 and P2; (a, b) is the direction
// P1->P2 turned +90 degrees. Fails (L untouched) when the points coincide
// within 1e-11.
bool LineThrough(TLine& L, double x1, double y1, double x2, double y2);

// Turns L into the perpendicular through (px, py), in the same scale.
void PerpendicularThrough(TLine& L, double px, double py);

// Fails for (nearly) parallel lines or an intersection at or beyond
// +-2147483647; x and y are then 0.
bool IntersectLines(const TLine& L1, const TLine& L2, double& x, double& y);

// Foot of the perpendicular from P on the line through (x1,y1), (x2,y2).
bool FootOfPerpendicular(double& fx, double& fy, double x1, double y1, double x2, double y2,
                         double px, double py);

// Angle of the direction (dx, dy) in radians, in (-pi/2, 3pi/2).
double DirectionAngle(double dx, double dy);

}  // namespace zelkan
