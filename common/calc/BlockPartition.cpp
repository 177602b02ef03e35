#include "calc/BlockPartition.h"

#include <algorithm>

TBlockPartition::TBlockPartition(const double* rect, const std::vector<double>& xs,
                                 const std::vector<double>& ys, int dataCount, int splitLimit)
    : xs_(xs), ys_(ys), dataCount_(dataCount), splitLimit_(std::max(splitLimit, 1))
{
    std::vector<int> all(xs.size());
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<int>(i);
    Split(rect[0], rect[1], rect[2], rect[3], std::move(all), 0);
    LinkNeighbours();
}

void TBlockPartition::Split(double x0, double x1, double y0, double y1, std::vector<int> points,
                            int depth)
{
    const auto data = std::count_if(points.begin(), points.end(), [this](int p) { return IsData(p); });
    if (data <= splitLimit_ || depth >= MaxDepth) {
        blocks_.push_back(Block{x0, x1, y0, y1, std::move(points), {}});
        return;
    }
    const double xm = (x0 + x1) / 2;
    const double ym = (y0 + y1) / 2;
    // Quadrant order: left-bottom, left-top, right-bottom, right-top; a point
    // on a midline goes left or down.
    std::vector<int> quadrant[4];
    for (int p : points) {
        const int right = xs_[p] > xm ? 2 : 0;
        const int up = ys_[p] > ym ? 1 : 0;
        quadrant[right + up].push_back(p);
    }
    points.clear();
    points.shrink_to_fit();
    Split(x0, xm, y0, ym, std::move(quadrant[0]), depth + 1);
    Split(x0, xm, ym, y1, std::move(quadrant[1]), depth + 1);
    Split(xm, x1, y0, ym, std::move(quadrant[2]), depth + 1);
    Split(xm, x1, ym, y1, std::move(quadrant[3]), depth + 1);
}

bool TBlockPartition::Touch(const Block& a, const Block& b)
{
    const bool sideBySide = (a.x1 == b.x0 || b.x1 == a.x0) && a.y0 <= b.y1 && b.y0 <= a.y1;
    const bool stacked = (a.y1 == b.y0 || b.y1 == a.y0) && a.x0 <= b.x1 && b.x0 <= a.x1;
    return sideBySide || stacked;
}

void TBlockPartition::LinkNeighbours()
{
    const int count = BlockCount();
    for (int i = 0; i < count; ++i) {
        for (int j = 0; j < count; ++j) {
            if (i == j || Touch(blocks_[i], blocks_[j]))
                blocks_[i].neighbours.push_back(j);
        }
    }
}

int TBlockPartition::AddPoints(int block, std::vector<int>& data, std::vector<int>* outputs) const
{
    int added = 0;
    for (int p : blocks_[block].points) {
        if (IsData(p)) {
            data.push_back(p);
            ++added;
        } else if (outputs) {
            outputs->push_back(p);
        }
    }
    return added;
}

double TBlockPartition::Weight(const Block& block, int point) const
{
    // The weight falls with the square of the distance from the block,
    // measured in block sizes; a degenerate block has no fall-off on that axis.
    double weight = 1;
    const double width = block.x1 - block.x0;
    const double height = block.y1 - block.y0;
    const double x = xs_[point];
    const double y = ys_[point];
    if (width > 0 && (x < block.x0 || x > block.x1)) {
        const double u = (x < block.x0 ? block.x0 - x : x - block.x1) / width;
        weight /= 1 + 16 * u * u;
    }
    if (height > 0 && (y < block.y0 || y > block.y1)) {
        const double v = (y < block.y0 ? block.y0 - y : y - block.y1) / height;
        weight /= 1 + 16 * v * v;
    }
    return weight;
}

void TBlockPartition::Gather(int k, int neighbourMinimum, std::vector<int>& data,
                             std::vector<int>& outputs, std::vector<double>& weights) const
{
    data.clear();
    outputs.clear();
    weights.clear();
    const Block& own = blocks_[k];
    std::vector<char> taken(blocks_.size(), 0);
    for (int b : own.neighbours)
        taken[b] = 1;
    AddPoints(k, data, &outputs);
    for (int b : own.neighbours) {
        if (b == k)
            continue;
        if (AddPoints(b, data, &outputs) >= neighbourMinimum)
            continue;
        // A sparse neighbour borrows the data of its own neighbours so that the
        // local fit still sees enough points on that side.
        for (int c : blocks_[b].neighbours) {
            if (taken[c])
                continue;
            taken[c] = 1;
            AddPoints(c, data, nullptr);
        }
    }
    weights.reserve(outputs.size());
    for (int o : outputs)
        weights.push_back(Weight(own, o));
}
