#pragma once

#include <cstddef>
#include <vector>

namespace taktirio {

// Maximum flow on a small graph (Dinic's algorithm). The checks before a search
// use it as a matching: class sections that need lessons against teachers
// with limited room. After Run, Reachable tells which nodes the source still
// reaches; those on the source's side form the group whose needs the others
// cannot meet (a minimum cut).
class MaxFlow {
  public:
    explicit MaxFlow(int nodes);

    void AddEdge(int from, int to, int capacity);
    int Run(int source, int sink);
    // Valid after Run: true for the nodes on the source's side of a minimum cut.
    bool Reachable(int node) const { return level_[static_cast<std::size_t>(node)] >= 0; }

  private:
    struct Edge {
        int to;
        int capacity;
    };

    bool Levels(int source, int sink);
    int Push(int node, int sink, int limit);

    std::vector<Edge> edges_;                 // edge e and its reverse e ^ 1
    std::vector<std::vector<int>> adjacent_;  // [node] = edge indexes
    std::vector<int> level_;
    std::vector<std::size_t> next_;
};

}  // namespace taktirio
