#include "calc/SimplexInterp.h"

#include "calc/SmallLinearAlgebra.h"
#include "data/RuntimeRandom.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// One Bowyer-Watson tessellation over the rows of the site matrix. Vertex
// lists keep insertion order, so a face shared by two simplices reads the
// same in both.
class TTessellation {
public:
    TTessellation(int dim, const std::vector<double>& rows) : dim_(dim), rows_(rows) {}

    void Reset(int firstSuperRow, const std::vector<double>& minimum, const std::vector<double>& range)
    {
        vertices_.clear();
        spheres_.clear();
        active_.clear();
        free_.clear();
        degenerate_ = false;
        for (int i = 0; i <= dim_; ++i)
            vertices_.push_back(firstSuperRow + i);
        for (int c = 0; c < dim_; ++c)
            spheres_.push_back(minimum[c] + range[c] / 2);
        spheres_.push_back(1e37);
        active_.push_back(0);
    }

    // keepRow < 0 keeps every new simplex; otherwise only those whose face
    // holds that row.
    void Insert(int row, int keepRow)
    {
        const double* p = Row(row);
        faces_.clear();
        for (size_t a = 0; a < active_.size();) {
            const int s = active_[a];
            if (!Holds(s, p)) {
                ++a;
                continue;
            }
            for (int j = 0; j <= dim_; ++j)
                ToggleFace(s, j);
            free_.push_back(s);
            active_[a] = active_.back();
            active_.pop_back();
        }
        const size_t faceCount = faces_.size() / dim_;
        for (size_t f = 0; f < faceCount; ++f) {
            const int* face = &faces_[f * dim_];
            if (keepRow >= 0 && !Contains(face, dim_, keepRow))
                continue;
            newSimplex_.assign(face, face + dim_);
            newSimplex_.push_back(row);
            if (!Circumcentre(newSimplex_, dim_, p, newSphere_)) {
                degenerate_ = true;
                continue;
            }
            double r2 = 0;
            for (int c = 0; c < dim_; ++c)
                r2 += (p[c] - newSphere_[c]) * (p[c] - newSphere_[c]);
            newSphere_.push_back(r2);
            Add(newSimplex_, newSphere_);
        }
    }

    // Circumcentre of the points of rows `others` (all but the last taken as v)
    // with p: (v - p).c = (|v|^2 - |p|^2)/2 over the first `count` rows.
    bool Circumcentre(const std::vector<int>& others, int count, const double* p,
                      std::vector<double>& centre) const
    {
        std::vector<double>& a = system_;
        a.assign(static_cast<size_t>(dim_) * dim_, 0.0);
        centre.assign(dim_, 0.0);
        double p2 = 0;
        for (int c = 0; c < dim_; ++c)
            p2 += p[c] * p[c];
        for (int i = 0; i < count; ++i) {
            const double* v = Row(others[i]);
            double v2 = 0;
            for (int c = 0; c < dim_; ++c) {
                a[static_cast<size_t>(i) * dim_ + c] = v[c] - p[c];
                v2 += v[c] * v[c];
            }
            centre[i] = (v2 - p2) / 2;
        }
        return SolveSmallSystem(a, centre, dim_);
    }

    bool Holds(int s, const double* p) const
    {
        const double* sphere = &spheres_[static_cast<size_t>(s) * (dim_ + 1)];
        double d2 = 0;
        for (int c = 0; c < dim_; ++c)
            d2 += (sphere[c] - p[c]) * (sphere[c] - p[c]);
        return sphere[dim_] - d2 >= 0;
    }

    const std::vector<int>& Active() const { return active_; }
    const int* Vertices(int s) const { return &vertices_[static_cast<size_t>(s) * (dim_ + 1)]; }
    const double* Sphere(int s) const { return &spheres_[static_cast<size_t>(s) * (dim_ + 1)]; }
    const double* Row(int row) const { return &rows_[static_cast<size_t>(row) * (dim_ + 1)]; }
    bool Degenerate() const { return degenerate_; }

private:
    static bool Contains(const int* list, int count, int row)
    {
        for (int i = 0; i < count; ++i)
            if (list[i] == row)
                return true;
        return false;
    }

    void ToggleFace(int s, int without)
    {
        scratch_.resize(dim_);
        int* target = scratch_.data();
        const int* v = Vertices(s);
        for (int i = 0, k = 0; i <= dim_; ++i)
            if (i != without)
                target[k++] = v[i];
        const size_t faceCount = faces_.size() / dim_;
        for (size_t f = 0; f < faceCount; ++f) {
            int* existing = &faces_[f * dim_];
            bool same = true;
            for (int i = 0; i < dim_ && same; ++i)
                same = existing[i] == target[i];
            if (same) {
                // Shared by two removed simplices: inside the cavity.
                const size_t last = (faceCount - 1) * dim_;
                for (int i = 0; i < dim_; ++i)
                    existing[i] = faces_[last + i];
                faces_.resize(last);
                return;
            }
        }
        faces_.insert(faces_.end(), target, target + dim_);
    }

    void Add(const std::vector<int>& simplex, const std::vector<double>& sphere)
    {
        int s;
        if (!free_.empty()) {
            s = free_.back();
            free_.pop_back();
            std::copy(simplex.begin(), simplex.end(), vertices_.begin() + static_cast<size_t>(s) * (dim_ + 1));
            std::copy(sphere.begin(), sphere.end(), spheres_.begin() + static_cast<size_t>(s) * (dim_ + 1));
        } else {
            s = static_cast<int>(vertices_.size() / (dim_ + 1));
            vertices_.insert(vertices_.end(), simplex.begin(), simplex.end());
            spheres_.insert(spheres_.end(), sphere.begin(), sphere.end());
        }
        active_.push_back(s);
    }

    int dim_;
    const std::vector<double>& rows_;
    std::vector<int> vertices_;
    std::vector<double> spheres_;  // centre, then squared radius
    std::vector<int> active_;
    std::vector<int> free_;
    std::vector<int> faces_;
    std::vector<int> scratch_;
    std::vector<int> newSimplex_;
    std::vector<double> newSphere_;
    mutable std::vector<double> system_;
    bool degenerate_ = false;
};

struct TSiteSet {
    int dim = 0;
    int count = 0;
    std::vector<double> rows;  // row 0 query, 1..count sites, then the super-simplex
    std::vector<double> origin;          // the caller's minimum corner
    std::vector<double> minimum, range;  // relative to the origin
    std::vector<char> neighbour;

    int SuperRow() const { return count + 1; }
};

std::unique_ptr<TSiteSet> activeSet;

void BuildSuperSimplex(TSiteSet& set)
{
    const int dim = set.dim;
    for (int i = 0; i <= dim; ++i) {
        double* row = &set.rows[static_cast<size_t>(set.SuperRow() + i) * (dim + 1)];
        for (int c = 0; c < dim; ++c)
            row[c] = set.minimum[c] - set.range[c];
        if (i < dim)
            row[i] = set.minimum[i] + (3 * dim - 1) * set.range[i];
        row[dim] = 0;
    }
}

double Factorial(int k)
{
    double f = 1;
    for (int i = 2; i <= k; ++i)
        f *= i;
    return f;
}

struct TNeighbourWeights {
    std::vector<int> rows;
    std::vector<double> weights;

    void Add(int row, double weight)
    {
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i] == row) {
                weights[i] += weight;
                return;
            }
        }
        rows.push_back(row);
        weights.push_back(weight);
    }
};

// Adds the volumes that simplex s of the tessellation without p gives up to
// p's cell. False when a super-simplex vertex is involved or the geometry
// degenerates.
bool AddStolenVolumes(const TSiteSet& set, const TTessellation& tess, int s, const double* p,
                      TNeighbourWeights& weights)
{
    const int dim = set.dim;
    const int* v = tess.Vertices(s);
    std::vector<double> edges(static_cast<size_t>(dim) * dim);
    const double* last = tess.Row(v[dim]);
    for (int k = 0; k < dim; ++k) {
        const double* row = tess.Row(v[k]);
        for (int c = 0; c < dim; ++c)
            edges[static_cast<size_t>(k) * dim + c] = row[c] - last[c];
    }
    const double volume = SmallDeterminant(edges, dim);
    if (volume == 0 || !std::isfinite(volume))
        return false;
    const double parity = dim % 2 == 0 ? 1 : -1;
    const double sign = (volume > 0 ? 1 : -1) * parity;

    std::vector<std::vector<double>> replaced(dim + 1);
    std::vector<int> others;
    for (int j = 0; j <= dim; ++j) {
        others.clear();
        for (int i = 0; i <= dim; ++i)
            if (i != j)
                others.push_back(v[i]);
        if (!tess.Circumcentre(others, dim, p, replaced[j]))
            return false;
    }
    const double* centre = tess.Sphere(s);
    const double divisor = Factorial(dim) * sign;
    std::vector<double> rows(static_cast<size_t>(dim) * dim);
    for (int j = 0; j <= dim; ++j) {
        for (int r = 0; r < dim; ++r) {
            const std::vector<double>& c = replaced[(j + 1 + r) % (dim + 1)];
            for (int col = 0; col < dim; ++col)
                rows[static_cast<size_t>(r) * dim + col] = c[col] - centre[col];
        }
        const double orientation = std::pow(parity, j + 1);
        const double share = SmallDeterminant(rows, dim) / (divisor * orientation);
        if (v[j] >= set.SuperRow())
            return false;
        weights.Add(v[j], share);
    }
    return true;
}

}  // namespace

bool simplex_interp_init(const double* const* sites, int n, int N, const double* const bounds[2])
{
    simplex_interp_free();
    if (N < 2 || n < 0 || (n > 0 && !sites) || !bounds || !bounds[0] || !bounds[1])
        return false;
    auto set = std::make_unique<TSiteSet>();
    set->dim = N;
    set->count = n;
    set->rows.assign(static_cast<size_t>(n + N + 2) * (N + 1), 0.0);
    set->minimum.assign(bounds[0], bounds[0] + N);
    std::vector<double> maximum(bounds[1], bounds[1] + N);
    for (int i = 0; i < n; ++i) {
        double* row = &set->rows[static_cast<size_t>(i + 1) * (N + 1)];
        std::copy(sites[i], sites[i] + N + 1, row);
        for (int c = 0; c < N; ++c) {
            maximum[c] = std::max(maximum[c], row[c]);
            set->minimum[c] = std::min(set->minimum[c], row[c]);
        }
    }
    set->range.resize(N);
    for (int c = 0; c < N; ++c) {
        set->range[c] = maximum[c] - set->minimum[c];
        // A flat extent would make the enclosing simplex flat as well.
        if (!(set->range[c] > 0))
            set->range[c] = 1;
    }
    // Sphere centres come from differences of squared lengths, which lose
    // their digits far from the origin (map coordinates in the millions):
    // the tessellation works relative to the minimum corner.
    set->origin = set->minimum;
    set->minimum.assign(N, 0.0);
    for (int i = 0; i < n; ++i) {
        double* row = &set->rows[static_cast<size_t>(i + 1) * (N + 1)];
        for (int c = 0; c < N; ++c) {
            row[c] -= set->origin[c];
            const double u = RuntimeRandom().Next() * (1.0 / TRuntimeRandom::MaxValue);
            row[c] += (0.5 - u) * 1e-6;
        }
    }
    BuildSuperSimplex(*set);
    set->neighbour.assign(n + N + 2, 0);
    activeSet = std::move(set);
    return true;
}

bool simplex_interp_value(const double* point, double* value)
{
    if (!activeSet || !point || !value)
        return false;
    TSiteSet& set = *activeSet;
    const int dim = set.dim;
    for (int c = 0; c < dim; ++c)
        set.rows[c] = point[c] - set.origin[c];
    const double* p = set.rows.data();
    TTessellation tess(dim, set.rows);

    // The simplices around p in the tessellation of p and the sites.
    tess.Reset(set.SuperRow(), set.minimum, set.range);
    tess.Insert(0, -1);
    for (int row = 1; row <= set.count; ++row)
        tess.Insert(row, 0);
    std::fill(set.neighbour.begin(), set.neighbour.end(), 0);
    for (int s : tess.Active()) {
        const int* v = tess.Vertices(s);
        for (int i = 0; i <= dim; ++i)
            if (v[i] >= 1 && v[i] <= set.count)
                set.neighbour[v[i]] = 1;
    }
    if (tess.Degenerate())
        return false;

    // The same neighbourhood without p, and the volume p takes from each cell.
    tess.Reset(set.SuperRow(), set.minimum, set.range);
    for (int row = 1; row <= set.count; ++row)
        if (set.neighbour[row])
            tess.Insert(row, -1);
    if (tess.Degenerate())
        return false;
    TNeighbourWeights weights;
    for (int s : tess.Active()) {
        if (tess.Holds(s, p) && !AddStolenVolumes(set, tess, s, p, weights))
            return false;
    }
    double sum = 0;
    for (double w : weights.weights)
        sum += w;
    if (weights.rows.empty() || sum == 0 || !std::isfinite(sum))
        return false;
    double result = 0;
    for (size_t i = 0; i < weights.rows.size(); ++i)
        result += weights.weights[i] / sum * tess.Row(weights.rows[i])[dim];
    *value = result;
    return true;
}

void simplex_interp_free() { activeSet.reset(); }
