#include "calc/nnlib/minell.h"

#include "data/RuntimeRandom.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

// The walks of the fifth-point search double their step count per pass; past
// this many passes the pencil has no usable member.
constexpr int MaxPasses = 16;
// Secant steps usually settle within ten; midpoint steps need more.
constexpr int MaxRefinementSteps = 100;

using Support = std::array<point*, 5>;

struct Conic {
    double r, s, t, u, v, w;  // r x^2 + s y^2 + 2t xy + 2u x + 2v y + w
};

double LineValue(const double* line, const point* p) { return line[1] * p->x - line[0] * p->y + line[2]; }

void LineThrough(double* line, const point* pi, const point* pj)
{
    line[0] = pi->x - pj->x;
    line[1] = pi->y - pj->y;
    line[2] = pi->x * pj->y - pj->x * pi->y;
}

void LinePair(double* conic, const double* l, const double* m)
{
    conic[0] = l[1] * m[1];
    conic[1] = l[0] * m[0];
    conic[2] = -(l[0] * m[1] + m[0] * l[1]) / 2;
    conic[3] = (l[1] * m[2] + m[1] * l[2]) / 2;
    conic[4] = -(l[0] * m[2] + m[0] * l[2]) / 2;
    conic[5] = l[2] * m[2];
}

Conic Member(const minell* e, double lambda, double mu)
{
    const double* a = e->c1;
    const double* b = e->c2;
    return {lambda * a[0] + mu * b[0], lambda * a[1] + mu * b[1], lambda * a[2] + mu * b[2],
            lambda * a[3] + mu * b[3], lambda * a[4] + mu * b[4], lambda * a[5] + mu * b[5]};
}

bool IsEllipse(const minell* e, double lambda, double mu)
{
    return e->cond[0] * lambda * lambda + e->cond[1] * lambda * mu + e->cond[2] * mu * mu > 0;
}

// Sign of the change of area along the pencil at the member (lambda, mu).
double AreaDerivative(const minell* e, double lambda, double mu)
{
    const Conic c = Member(e, lambda, mu);
    const double* a = e->c1;
    const double* b = e->c2;
    const double d = c.r * c.s - c.t * c.t;
    const double dS = a[0] * b[1] - b[0] * a[1];
    const double dT = a[0] * b[2] - b[0] * a[2];
    const double dU = a[0] * b[3] - b[0] * a[3];
    const double dV = a[0] * b[4] - b[0] * a[4];
    const double dW = a[0] * b[5] - b[0] * a[5];
    const double E = c.r * dS - 2 * c.t * dT;
    const double F = (c.u * c.s - 2 * c.v * c.t) * c.u + c.v * c.v * c.r;
    const double G = 2 * (c.u * dU * c.s + c.v * dV * c.r - dU * c.v * c.t - c.u * dV * c.t -
                          c.u * c.v * dT) +
                     c.u * c.u * dS;
    return c.r * ((2 * d * dW - E * c.w - 2 * G) * d + 3 * E * F);
}

// The member of the pencil through p, kept in the record as the last tested.
void MemberThrough(minell* e, const point* p)
{
    e->lambda = LineValue(e->lines[1], p) * LineValue(e->lines[3], p);
    e->mu = -LineValue(e->lines[0], p) * LineValue(e->lines[2], p);
}

double Orient(const point* a, const point* b, const point* c)
{
    return (b->x - a->x) * (c->y - a->y) - (b->y - a->y) * (c->x - a->x);
}

// Inserts q into the counter-clockwise cycle: after the first point of the
// first edge that has q strictly on its right, else of the first edge whose
// line holds q. false when q lies inside (no convex position).
bool InsertIntoCycle(std::vector<point*>& cycle, point* q)
{
    const size_t count = cycle.size();
    for (size_t i = 0; i < count; ++i) {
        if (Orient(cycle[i], cycle[(i + 1) % count], q) < 0) {
            cycle.insert(cycle.begin() + static_cast<long>(i) + 1, q);
            return true;
        }
    }
    for (size_t i = 0; i < count; ++i) {
        if (Orient(cycle[i], cycle[(i + 1) % count], q) == 0) {
            cycle.insert(cycle.begin() + static_cast<long>(i) + 1, q);
            return true;
        }
    }
    return false;
}

// Four support points in convex cyclic order with their pencil.
bool SetUpPencil(minell* e, point* const* p)
{
    std::vector<point*> cycle{p[0], p[1], p[2]};
    if (Orient(p[0], p[1], p[2]) < 0)
        std::swap(cycle[1], cycle[2]);
    if (!InsertIntoCycle(cycle, p[3]))
        return false;
    for (int k = 0; k < 4; ++k) {
        e->points[k] = cycle[k];
        LineThrough(e->lines[k], cycle[k], cycle[(k + 1) % 4]);
    }
    LinePair(e->c1, e->lines[0], e->lines[2]);
    LinePair(e->c2, e->lines[1], e->lines[3]);
    const double* a = e->c1;
    const double* b = e->c2;
    e->cond[0] = a[0] * a[1] - a[2] * a[2];
    e->cond[1] = a[0] * b[1] + b[0] * a[1] - 2 * a[2] * b[2];
    e->cond[2] = b[0] * b[1] - b[2] * b[2];
    return true;
}

void SetAxes(minell* e)
{
    const double twoT = 2 * e->t;
    const double diff = e->s - e->r;
    // A circle has no inclination of its own.
    e->theta = (twoT == 0 && diff == 0) ? 0 : std::atan(twoT / diff) / 2;
    const double q = (e->r - e->s) / std::cos(2 * e->theta);
    e->a = std::sqrt(2 / (e->r + e->s + q));
    e->b = std::sqrt(2 / (e->r + e->s - q));
}

// Centre and normalised form of the member (lambda, mu).
bool SetFromMember(minell* e, double lambda, double mu)
{
    const Conic c = Member(e, lambda, mu);
    const double d = c.r * c.s - c.t * c.t;
    if (!(d > 0))
        return false;
    e->x = (c.t * c.v - c.s * c.u) / d;
    e->y = (c.t * c.u - c.r * c.v) / d;
    const double k = ((c.u * c.s - 2 * c.v * c.t) * c.u + c.v * c.v * c.r) / d - c.w;
    e->r = c.r / k;
    e->s = c.s / k;
    e->t = c.t / k;
    if (!(e->r > 0 && e->s > 0))
        return false;
    SetAxes(e);
    return true;
}

void SetSteiner(minell* e, point* const* p)
{
    ++e->nsteiner;
    e->x = (p[0]->x + p[1]->x + p[2]->x) / 3;
    e->y = (p[0]->y + p[1]->y + p[2]->y) / 3;
    double sxx = 0, sxy = 0, syy = 0;
    for (int i = 0; i < 3; ++i) {
        const double dx = p[i]->x - e->x;
        const double dy = p[i]->y - e->y;
        sxx += dx * dx;
        sxy += dx * dy;
        syy += dy * dy;
    }
    const double det = (sxx * syy - sxy * sxy) * 2 / 3;
    if (det == 0) {
        e->r = syy * 1e100;
        e->t = -sxy * 1e100;
        e->s = sxx * 1e100;
    } else {
        e->r = syy / det;
        e->t = -sxy / det;
        e->s = sxx / det;
    }
    SetAxes(e);
}

point Lerp(const point& a, const point& b, double t)
{
    return {(1 - t) * a.x + t * b.x, (1 - t) * a.y + t * b.y, 0};
}

point Midpoint(const point* a, const point* b) { return {(a->x + b->x) / 2, (a->y + b->y) / 2, 0}; }

// The smallest member of the pencil of four support points: a walk outward
// from the midpoint of one side pair to the first ellipse member, a walk to a
// sign change of the area derivative, and a secant refinement between them.
bool SmallestMember(minell* e)
{
    point* const* p = e->points;
    int shortest = 0;
    double shortestLength = INFINITY;
    for (int k = 0; k < 4; ++k) {
        const double length = std::hypot(p[k]->x - p[(k + 1) % 4]->x, p[k]->y - p[(k + 1) % 4]->y);
        if (length < shortestLength) {
            shortestLength = length;
            shortest = k;
        }
    }
    // Sides 1 and 3 (indices 0, 2) shortest: walk across from side 4 to side 2.
    const bool oddSide = shortest % 2 == 0;
    const point ma = oddSide ? Midpoint(p[3], p[0]) : Midpoint(p[2], p[3]);
    const point mb = oddSide ? Midpoint(p[1], p[2]) : Midpoint(p[0], p[1]);
    const double ex = mb.x - ma.x, ey = mb.y - ma.y;

    int steps = 5;
    point f{};
    bool found = false;
    for (int pass = 0; pass < MaxPasses && !found; ++pass) {
        steps *= 2;
        for (int i = 1; i <= steps && !found; ++i) {
            f = {mb.x + ex * i / steps, mb.y + ey * i / steps, 0};
            MemberThrough(e, &f);
            found = IsEllipse(e, e->lambda, e->mu);
        }
    }
    if (!found)
        return false;
    const double d0 = AreaDerivative(e, e->lambda, e->mu);
    if (d0 == 0)
        return SetFromMember(e, e->lambda, e->mu);

    const double g = d0 < 0 ? 1 : -1;
    double dB = d0;
    point b = f;
    for (int pass = 0; pass < MaxPasses && d0 * dB > 0; ++pass) {
        steps *= 2;
        for (int i = 1; i <= steps; ++i) {
            b = {f.x + g * ex * i / steps, f.y + g * ey * i / steps, 0};
            MemberThrough(e, &b);
            if (!IsEllipse(e, e->lambda, e->mu))
                break;
            dB = AreaDerivative(e, e->lambda, e->mu);
            if (!(d0 * dB > 0))
                break;
        }
    }
    if (d0 * dB > 0)
        return false;

    // Secant steps between the last two members; the derivative's scale
    // varies wildly along the segment, so a step that leaves the interval
    // known to hold the sign change is replaced by its midpoint.
    double ta = 0, da = d0, tb = 1, db = dB, previous = 0;
    double low = 0, dLow = d0, high = 1;
    double lambda = NAN, mu = NAN;
    for (int step = 0; step < MaxRefinementSteps; ++step) {
        double t = (db * ta - da * tb) / (db - da);
        if (!(t > low && t < high))
            t = (low + high) / 2;
        const point pt = Lerp(f, b, t);
        MemberThrough(e, &pt);
        if (!IsEllipse(e, e->lambda, e->mu))
            return false;
        lambda = e->lambda;
        mu = e->mu;
        const double d = AreaDerivative(e, lambda, mu);
        if (d == 0 || (step > 0 && std::fabs(t - previous) < 5e-11) || high - low < 5e-11)
            break;
        previous = t;
        if ((d > 0) == (dLow > 0)) {
            low = t;
            dLow = d;
        } else {
            high = t;
        }
        const double next = (d * tb - db * t) / (d - db);
        if (next >= 0 && next <= 1) {
            ta = tb;
            da = db;
            tb = t;
            db = d;
        } else if (d * db > 0) {
            tb = t;
            db = d;
        } else {
            ta = t;
            da = d;
        }
    }
    return SetFromMember(e, lambda, mu);
}

void SetEmpty(minell* e)
{
    e->x = e->y = e->theta = e->a = e->b = NAN;
}

// The ellipse with every point of the boundary set on it.
void SetFromBoundary(minell* e, const Support& boundary, int k)
{
    e->nprev = e->n;
    e->n = k;
    for (int i = 0; i < k; ++i)
        e->points[i] = boundary[i];
    switch (k) {
    case 0:
        SetEmpty(e);
        break;
    case 1:
        e->x = boundary[0]->x;
        e->y = boundary[0]->y;
        e->theta = e->a = e->b = 0;
        break;
    case 2:
        e->x = (boundary[0]->x + boundary[1]->x) / 2;
        e->y = (boundary[0]->y + boundary[1]->y) / 2;
        e->a = std::hypot(boundary[0]->x - boundary[1]->x, boundary[0]->y - boundary[1]->y) / 2;
        e->b = 0;
        e->theta = std::atan((boundary[0]->x - boundary[1]->x) / (boundary[0]->y - boundary[1]->y));
        break;
    case 3:
        SetSteiner(e, e->points);
        break;
    case 4:
        ++e->npencil;
        if (!SetUpPencil(e, boundary.data()) || !SmallestMember(e))
            e->degenerate = 1;
        break;
    default: {
        ++e->nfive;
        std::vector<point*> cycle;
        if (!SetUpPencil(e, boundary.data())) {
            e->degenerate = 1;
            break;
        }
        cycle.assign(e->points, e->points + 4);
        if (!InsertIntoCycle(cycle, boundary[4])) {
            e->degenerate = 1;
            break;
        }
        e->points[4] = boundary[4];
        MemberThrough(e, boundary[4]);
        e->elambda = e->lambda;
        e->emu = e->mu;
        if (!SetFromMember(e, e->elambda, e->emu))
            e->degenerate = 1;
        break;
    }
    }
}

bool Inside(minell* e, const point* p)
{
    ++e->ninside;
    for (int i = 0; i < e->n; ++i)
        if (e->points[i]->x == p->x && e->points[i]->y == p->y)
            return true;
    if (e->n < 3)
        return false;
    if (e->n == 3) {
        const double dx = p->x - e->x;
        const double dy = p->y - e->y;
        return (e->r * dx + 2 * e->t * dy) * dx + e->s * dy * dy <= 1;
    }
    if (e->n == 4) {
        MemberThrough(e, p);
        if (IsEllipse(e, e->lambda, e->mu))
            return AreaDerivative(e, e->lambda, e->mu) <= 0;
        return (2 * e->cond[0] - e->cond[1]) * e->lambda - (2 * e->cond[2] - e->cond[1]) * e->mu <= 0;
    }
    const double v = e->elambda * LineValue(e->lines[0], p) * LineValue(e->lines[2], p) +
                     e->emu * LineValue(e->lines[1], p) * LineValue(e->lines[3], p);
    const double r = e->elambda * e->c1[0] + e->emu * e->c2[0];
    return r <= 0 ? v >= 0 : v <= 0;
}

// Welzl's recursion: the smallest ellipse of the first m points of the list
// with every point of the boundary set on it.
void Enclose(minell* e, point* const* list, int m, Support boundary, int k)
{
    if (e->degenerate)
        return;
    if (m == 0 || k == 5) {
        SetFromBoundary(e, boundary, k);
        return;
    }
    point* p = list[m - 1];
    Enclose(e, list, m - 1, boundary, k);
    if (e->degenerate || Inside(e, p))
        return;
    boundary[k] = p;
    Enclose(e, list, m - 1, boundary, k + 1);
}

// Points on one line (or on one spot) have no ellipse about them; the
// Steiner step would only blow a flat ellipse up to an absurd size.
bool OnOneLine(const std::vector<point>& p)
{
    double mx = 0, my = 0;
    for (const point& q : p) {
        mx += q.x;
        my += q.y;
    }
    mx /= p.size();
    my /= p.size();
    double sxx = 0, sxy = 0, syy = 0;
    for (const point& q : p) {
        sxx += (q.x - mx) * (q.x - mx);
        sxy += (q.x - mx) * (q.y - my);
        syy += (q.y - my) * (q.y - my);
    }
    return !(sxx * syy - sxy * sxy > 1e-12 * sxx * syy);
}

bool Proper(const minell* e)
{
    if (e->degenerate || !std::isfinite(e->x) || !std::isfinite(e->y) || !std::isfinite(e->theta) ||
        !std::isfinite(e->a) || !std::isfinite(e->b) || !(e->a > 0) || !(e->b > 0))
        return false;
    return std::min(e->a, e->b) > 1e-12 * std::max(e->a, e->b);
}

}  // namespace

minell* min_ellipse_create(int n, point* points)
{
    minell* e = static_cast<minell*>(std::calloc(1, sizeof(minell)));
    if (!e)
        throw std::bad_alloc();
    e->npoints = n;
    SetEmpty(e);
    if (n <= 0 || !points) {
        e->degenerate = 1;
        return e;
    }
    // The conics are products of line values: far from the origin they lose
    // every digit to cancellation, so the search runs about the box centre.
    double xmin = points[0].x, xmax = xmin, ymin = points[0].y, ymax = ymin;
    for (int i = 1; i < n; ++i) {
        xmin = std::min(xmin, points[i].x);
        xmax = std::max(xmax, points[i].x);
        ymin = std::min(ymin, points[i].y);
        ymax = std::max(ymax, points[i].y);
    }
    e->ox = std::isfinite(xmin + xmax) ? (xmin + xmax) / 2 : 0;
    e->oy = std::isfinite(ymin + ymax) ? (ymin + ymax) / 2 : 0;
    std::vector<point> local(points, points + n);
    for (point& p : local) {
        p.x -= e->ox;
        p.y -= e->oy;
    }
    if (OnOneLine(local)) {
        e->degenerate = 1;
        return e;
    }
    std::vector<int> order(n);
    for (int i = 0; i < n; ++i)
        order[i] = i;
    TRuntimeRandom& random = RuntimeRandom();
    random.Seed(1);
    for (int i = 0; i < n; ++i) {
        const int j = static_cast<int>(static_cast<double>(random.Next()) * n / 32768);
        std::swap(order[i], order[j]);
    }
    // Each restart grows the area; rounding could keep it going for ever.
    const long long maxRestarts = 1000 + 10LL * n;
    long long restarts = 0;
    int insideRun = 0;
    for (int i = 0; insideRun < n && !e->degenerate; i = (i + 1) % n) {
        point* p = &local[order[i]];
        if (Inside(e, p)) {
            ++insideRun;
            continue;
        }
        if (++restarts > maxRestarts) {
            e->degenerate = 1;
            break;
        }
        const Support support{e->points[0], e->points[1], e->points[2], e->points[3], e->points[4]};
        const int count = e->n;
        Support boundary{};
        boundary[0] = p;
        Enclose(e, support.data(), count, boundary, 1);
        insideRun = 0;
    }
    if (!e->degenerate && !Proper(e))
        e->degenerate = 1;
    e->x += e->ox;
    e->y += e->oy;
    for (int k = 0; k < e->n; ++k)
        e->points[k] = points + (e->points[k] - local.data());
    return e;
}

void min_ellipse_free(minell* e) { std::free(e); }

bool min_ellipse_scale_points(const minell* e, int n, point* points)
{
    if (!e || e->degenerate)
        return false;
    const double c = std::cos(e->theta), s = std::sin(e->theta);
    for (int i = 0; i < n; ++i) {
        const double dx = points[i].x - e->x;
        const double dy = points[i].y - e->y;
        points[i].x = (dx * c - dy * s) / e->a;
        points[i].y = (dx * s + dy * c) / e->b;
    }
    return true;
}

bool min_ellipse_rescale_points(const minell* e, int n, point* points)
{
    if (!e || e->degenerate)
        return false;
    const double c = std::cos(e->theta), s = std::sin(e->theta);
    for (int i = 0; i < n; ++i) {
        const double x = points[i].x, y = points[i].y;
        points[i].x = e->a * x * c + e->b * y * s + e->x;
        points[i].y = -e->a * x * s + e->b * y * c + e->y;
    }
    return true;
}
