#include "calc/SimplexInterp.h"
#include "data/RuntimeRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// Owns one interpolation set for a test; the unit allows only one at a time.
class SiteSet {
public:
    SiteSet(std::vector<std::vector<double>> sites, int dim, std::vector<double> lo, std::vector<double> hi)
        : sites_(std::move(sites)), lo_(std::move(lo)), hi_(std::move(hi))
    {
        for (auto& s : sites_)
            pointers_.push_back(s.data());
        const double* bounds[2] = {lo_.data(), hi_.data()};
        ok_ = simplex_interp_init(pointers_.data(), static_cast<int>(pointers_.size()), dim, bounds);
    }
    ~SiteSet() { simplex_interp_free(); }
    bool Ok() const { return ok_; }

    bool Value(std::vector<double> p, double& v) const { return simplex_interp_value(p.data(), &v); }

private:
    std::vector<std::vector<double>> sites_;
    std::vector<const double*> pointers_;
    std::vector<double> lo_, hi_;
    bool ok_ = false;
};

std::vector<std::vector<double>> RandomSites(int n, int dim, unsigned seed, double (*field)(const double*))
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<std::vector<double>> sites;
    // The corners of the unit cube first, so that the probes are inside.
    for (int corner = 0; corner < (1 << dim); ++corner) {
        std::vector<double> s(dim + 1);
        for (int c = 0; c < dim; ++c)
            s[c] = (corner >> c) & 1;
        sites.push_back(s);
    }
    for (int i = 0; i < n; ++i) {
        std::vector<double> s(dim + 1);
        for (int c = 0; c < dim; ++c)
            s[c] = u(gen);
        sites.push_back(s);
    }
    for (auto& s : sites)
        s[dim] = field(s.data());
    return sites;
}

double Linear2(const double* p) { return 3 * p[0] - 2 * p[1] + 0.5; }
double Linear3(const double* p) { return p[0] + 2 * p[1] - 4 * p[2] + 1; }
double Wavy(const double* p) { return std::sin(4 * p[0]) + p[1] * p[1]; }

}  // namespace

TEST(SimplexInterp, CentreOfASquareGetsTheMeanOfItsCorners)
{
    SiteSet set({{0, 0, 0}, {1, 0, 1}, {1, 1, 2}, {0, 1, 3}}, 2, {0, 0}, {1, 1});
    ASSERT_TRUE(set.Ok());
    double v = -1;
    ASSERT_TRUE(set.Value({0.5, 0.5}, v));
    EXPECT_NEAR(v, 1.5, 1e-4);
}

TEST(SimplexInterp, ReproducesLinearFieldsInsideTheHull)
{
    struct Case {
        int dim;
        double (*field)(const double*);
        int sites;
    };
    for (const Case c : {Case{2, Linear2, 30}, Case{3, Linear3, 25}}) {
        SiteSet set(RandomSites(c.sites, c.dim, 3, c.field), c.dim, std::vector<double>(c.dim, 0),
                    std::vector<double>(c.dim, 1));
        std::mt19937 gen(4);
        std::uniform_real_distribution<double> u(0.15, 0.85);
        for (int k = 0; k < 20; ++k) {
            std::vector<double> p(c.dim);
            for (double& x : p)
                x = u(gen);
            double v = 0;
            ASSERT_TRUE(set.Value(p, v)) << "dimension " << c.dim;
            // The sites moved by up to 5e-7; the field's slopes are a few units.
            EXPECT_NEAR(v, c.field(p.data()), 1e-5) << "dimension " << c.dim;
        }
    }
}

TEST(SimplexInterp, AtASiteGivesItsValueAndIsLinearInTheValues)
{
    auto sites = RandomSites(20, 2, 5, Wavy);
    auto shifted = sites;
    for (auto& s : shifted)
        s[2] = 2 * s[2] + 7;
    std::vector<double> plain, moved;
    const std::vector<std::vector<double>> probes = {{sites[6][0], sites[6][1]}, {0.3, 0.6}, {0.71, 0.2}};
    {
        SiteSet set(sites, 2, {0, 0}, {1, 1});
        for (const auto& p : probes) {
            double v = 0;
            ASSERT_TRUE(set.Value(p, v));
            plain.push_back(v);
        }
    }
    {
        SiteSet set(shifted, 2, {0, 0}, {1, 1});
        for (const auto& p : probes) {
            double v = 0;
            ASSERT_TRUE(set.Value(p, v));
            moved.push_back(v);
        }
    }
    EXPECT_NEAR(plain[0], sites[6][2], 1e-4);
    for (size_t i = 0; i < probes.size(); ++i)
        EXPECT_NEAR(moved[i], 2 * plain[i] + 7, 1e-4);
}

TEST(SimplexInterp, NotFoundOutsideTheHullOrWithoutATessellation)
{
    {
        SiteSet set({{0, 0, 1}, {1, 0, 2}, {0, 1, 3}, {1, 1, 4}}, 2, {0, 0}, {1, 1});
        double v = 42;
        EXPECT_FALSE(set.Value({1.5, 0.5}, v));
        EXPECT_FALSE(set.Value({-3, -3}, v));
        EXPECT_EQ(v, 42);
    }
    struct Case {
        std::vector<std::vector<double>> sites;
        const char* name;
    };
    const Case cases[] = {
        {{{0.5, 0.5, 1}}, "single site"},
        {{{0, 0, 1}, {0.5, 0.5, 2}, {1, 1, 3}}, "sites on a line"},
        {{}, "no sites"},
    };
    for (const Case& c : cases) {
        SiteSet set(c.sites, 2, {0, 0}, {1, 1});
        double v = 42;
        for (const auto& p : std::vector<std::vector<double>>{{0.5, 0.5}, {0.25, 0.25}, {0.9, 0.1}})
            EXPECT_FALSE(set.Value(p, v)) << c.name;
        EXPECT_EQ(v, 42);
    }
}

TEST(SimplexInterp, OneDimensionIsRefusedAndFreedSetsFindNothing)
{
    {
        SiteSet set({{0, 1}, {1, 2}}, 1, {0}, {1});
        EXPECT_FALSE(set.Ok());
        double v = 0;
        EXPECT_FALSE(set.Value({0.5}, v));
    }
    double v = 0;
    const double p[2] = {0.5, 0.5};
    EXPECT_FALSE(simplex_interp_value(p, &v));
}

TEST(SimplexInterp, JitterDrawsFromTheSharedSequence)
{
    const auto sites = RandomSites(5, 2, 6, Linear2);
    RuntimeRandom().Seed(1);
    {
        SiteSet set(sites, 2, {0, 0}, {1, 1});
    }
    TRuntimeRandom expected(1);
    for (size_t i = 0; i < 2 * sites.size(); ++i)
        expected.Next();
    EXPECT_EQ(RuntimeRandom().Next(), expected.Next());
}

TEST(SimplexInterp, MapCoordinatesFarFromTheOrigin)
{
    const double x0 = 6.5e8, y0 = 4.2e9;
    auto sites = RandomSites(40, 2, 8, Linear2);
    for (auto& s : sites) {
        s[0] = x0 + 50 * s[0];
        s[1] = y0 + 50 * s[1];
    }
    SiteSet set(sites, 2, {x0, y0}, {x0 + 50, y0 + 50});
    std::mt19937 gen(9);
    std::uniform_real_distribution<double> u(8, 42);
    for (int k = 0; k < 20; ++k) {
        const double px = u(gen), py = u(gen);
        double v = 0;
        ASSERT_TRUE(set.Value({x0 + px, y0 + py}, v));
        const double unit[2] = {px / 50, py / 50};
        EXPECT_NEAR(v, Linear2(unit), 1e-6);
    }
}
