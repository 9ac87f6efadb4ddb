#include "shapes.h"

#include <algorithm>
#include <cmath>
#include <utility>

Color Mix(Color A, Color B, double T) {
    return Color{A.R + (B.R - A.R) * T, A.G + (B.G - A.G) * T, A.B + (B.B - A.B) * T};
}

double SmoothStep(double Edge0, double Edge1, double X) {
    const double t = std::clamp((X - Edge0) / (Edge1 - Edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

double CircleDistance(double X, double Y, Point Centre, double Radius) {
    return std::hypot(X - Centre.X, Y - Centre.Y) - Radius;
}

double RoundedRectDistance(double X, double Y, Point TopLeft, Point BottomRight, double Radius) {
    // Distance to the rectangle shrunk by the radius, minus the radius: the
    // classic rounded-box distance, measured from the box's centre.
    const double halfW = (BottomRight.X - TopLeft.X) / 2 - Radius;
    const double halfH = (BottomRight.Y - TopLeft.Y) / 2 - Radius;
    const double qx = std::abs(X - (TopLeft.X + BottomRight.X) / 2) - halfW;
    const double qy = std::abs(Y - (TopLeft.Y + BottomRight.Y) / 2) - halfH;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - Radius;
}

Region Circle(Point Centre, double Radius) {
    return [=](double x, double y) { return CircleDistance(x, y, Centre, Radius) < 0; };
}

Region Ellipse(Point Centre, double RadiusX, double RadiusY) {
    return [=](double x, double y) {
        const double u = (x - Centre.X) / RadiusX, v = (y - Centre.Y) / RadiusY;
        return u * u + v * v < 1;
    };
}

Region Polygon(std::vector<Point> Corners) {
    return [corners = std::move(Corners)](double x, double y) {
        bool inside = false;
        for (size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
            const Point a = corners[i], b = corners[j];
            // Count crossings of a ray going right from (x, y).
            if ((a.Y > y) != (b.Y > y) && x < (b.X - a.X) * (y - a.Y) / (b.Y - a.Y) + a.X) inside = !inside;
        }
        return inside;
    };
}

Region Difference(Region A, Region B) {
    return [a = std::move(A), b = std::move(B)](double x, double y) { return a(x, y) && !b(x, y); };
}

Region Intersection(Region A, Region B) {
    return [a = std::move(A), b = std::move(B)](double x, double y) { return a(x, y) && b(x, y); };
}

Shader Solid(Color Paint) {
    return [=](double, double) { return Paint; };
}

Region Placed(Region A, Point Origin, double Scale) {
    return [a = std::move(A), Origin, Scale](double x, double y) {
        return a((x - Origin.X) / Scale, (y - Origin.Y) / Scale);
    };
}

Shader Placed(Shader Paint, Point Origin, double Scale) {
    return [paint = std::move(Paint), Origin, Scale](double x, double y) {
        return paint((x - Origin.X) / Scale, (y - Origin.Y) / Scale);
    };
}
