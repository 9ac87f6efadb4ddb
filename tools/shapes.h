// The vocabulary the sprite pictures are drawn with: colours with blending,
// regions as inside-tests in a picture's design space, and signed distances
// for shapes whose rim is shaded (negative inside, positive outside).
#pragma once

#include <functional>
#include <vector>

// A colour with channels from 0 to 255, kept fractional while it is being mixed.
struct Color {
    double R = 0;
    double G = 0;
    double B = 0;
};

// A region of the design space: true for the points inside it.
using Region = std::function<bool(double X, double Y)>;
// The colour a paint has at a point of the design space.
using Shader = std::function<Color(double X, double Y)>;

struct Point {
    double X = 0;
    double Y = 0;
};

// A + (B - A) * T, channel by channel.
Color Mix(Color A, Color B, double T);
// 0 below Edge0, 1 above Edge1, a smooth S-curve in between.
double SmoothStep(double Edge0, double Edge1, double X);

// Signed distance from (X, Y) to a circle.
double CircleDistance(double X, double Y, Point Centre, double Radius);
// Signed distance from (X, Y) to an axis-aligned rectangle with rounded corners.
double RoundedRectDistance(double X, double Y, Point TopLeft, Point BottomRight, double Radius);

// The inside of a circle, an axis-aligned ellipse, or a closed polygon (even-odd rule).
Region Circle(Point Centre, double Radius);
Region Ellipse(Point Centre, double RadiusX, double RadiusY);
Region Polygon(std::vector<Point> Corners);
// Points in A but not in B; points in both.
Region Difference(Region A, Region B);
Region Intersection(Region A, Region B);
// A constant paint.
Shader Solid(Color Paint);
// A region or paint designed in its own units, placed in another design space:
// its point (0, 0) lands on Origin and each of its units spans Scale units.
Region Placed(Region A, Point Origin, double Scale);
Shader Placed(Shader Paint, Point Origin, double Scale);
