#pragma once

#include <vector>

// Quadtree cut of the plane into blocks for the local solvers. Points are
// numbered data first (0..n-1), then output points (n..n+m-1).
class TBlockPartition {
public:
    struct Block {
        double x0, x1, y0, y1;
        std::vector<int> points;      // increasing point numbers
        std::vector<int> neighbours;  // increasing block numbers, itself included
    };

    // Only data points count against splitLimit. Coincident data points
    // cannot be separated by any cut, so the depth of the tree is bounded.
    TBlockPartition(const double* rect, const std::vector<double>& xs, const std::vector<double>& ys,
                    int dataCount, int splitLimit);

    static constexpr int MaxDepth = 24;

    int BlockCount() const { return static_cast<int>(blocks_.size()); }
    const Block& BlockAt(int k) const { return blocks_[k]; }
    bool IsData(int point) const { return point < dataCount_; }

    // The data and output points whose local fit block k makes, and the
    // blending weight of each output point.
    void Gather(int k, int neighbourMinimum, std::vector<int>& data, std::vector<int>& outputs,
                std::vector<double>& weights) const;

private:
    void Split(double x0, double x1, double y0, double y1, std::vector<int> points, int depth);
    void LinkNeighbours();
    static bool Touch(const Block& a, const Block& b);
    int AddPoints(int block, std::vector<int>& data, std::vector<int>* outputs) const;
    double Weight(const Block& block, int point) const;

    const std::vector<double>& xs_;
    const std::vector<double>& ys_;
    int dataCount_;
    int splitLimit_;
    std::vector<Block> blocks_;
};
