#include "core/feasibility/max_flow.h"

#include <algorithm>
#include <limits>
#include <queue>

namespace taktirio {

namespace {
std::size_t Ix(int value) {
    return static_cast<std::size_t>(value);
}
}  // namespace

MaxFlow::MaxFlow(int nodes) : adjacent_(Ix(nodes)), level_(Ix(nodes), -1), next_(Ix(nodes), 0) {}

void MaxFlow::AddEdge(int from, int to, int capacity) {
    adjacent_[Ix(from)].push_back(static_cast<int>(edges_.size()));
    edges_.push_back({to, capacity});
    adjacent_[Ix(to)].push_back(static_cast<int>(edges_.size()));
    edges_.push_back({from, 0});
}

bool MaxFlow::Levels(int source, int sink) {
    std::fill(level_.begin(), level_.end(), -1);
    std::queue<int> queue;
    level_[Ix(source)] = 0;
    queue.push(source);
    while (!queue.empty()) {
        const int node = queue.front();
        queue.pop();
        for (const int e : adjacent_[Ix(node)]) {
            const Edge& edge = edges_[Ix(e)];
            if (edge.capacity > 0 && level_[Ix(edge.to)] < 0) {
                level_[Ix(edge.to)] = level_[Ix(node)] + 1;
                queue.push(edge.to);
            }
        }
    }
    return level_[Ix(sink)] >= 0;
}

int MaxFlow::Push(int node, int sink, int limit) {
    if (node == sink) {
        return limit;
    }
    std::vector<int>& out = adjacent_[Ix(node)];
    for (std::size_t& i = next_[Ix(node)]; i < out.size(); ++i) {
        Edge& edge = edges_[Ix(out[i])];
        if (edge.capacity <= 0 || level_[Ix(edge.to)] != level_[Ix(node)] + 1) {
            continue;
        }
        const int pushed = Push(edge.to, sink, std::min(limit, edge.capacity));
        if (pushed > 0) {
            edge.capacity -= pushed;
            edges_[Ix(out[i] ^ 1)].capacity += pushed;
            return pushed;
        }
    }
    return 0;
}

int MaxFlow::Run(int source, int sink) {
    int flow = 0;
    while (Levels(source, sink)) {
        std::fill(next_.begin(), next_.end(), 0);
        while (const int pushed = Push(source, sink, std::numeric_limits<int>::max())) {
            flow += pushed;
        }
    }
    // The last level search left level_ >= 0 exactly on the source's side.
    return flow;
}

}  // namespace taktirio
