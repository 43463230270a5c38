#include "core/exact/cardinality.h"

#include <algorithm>

namespace taktirio::exact {

void ClauseSink::AddClause(const std::vector<int>& literals) {
    if (guard_ == 0) {
        Write(literals);
        return;
    }
    guarded_.assign(literals.begin(), literals.end());
    guarded_.push_back(-guard_);
    Write(guarded_);
}

Totalizer::Totalizer(ClauseSink& sink, const std::vector<int>& inputs, int cap)
    : inputs_(inputs.size()) {
    const GuardScope unguarded(sink, 0);
    if (!inputs.empty() && cap > 0) {
        outputs_ = Build(sink, inputs, 0, inputs.size(), cap);
    }
}

// The unary sum of inputs[from, to), capped: output k - 1 is "at least k".
// Both directions are written, so the outputs are exact below the cap.
std::vector<int> Totalizer::Build(ClauseSink& sink, const std::vector<int>& inputs,
                                  std::size_t from, std::size_t to, int cap) {
    if (to - from == 1) {
        return {inputs[from]};
    }
    const std::size_t middle = from + (to - from) / 2;
    const std::vector<int> left = Build(sink, inputs, from, middle, cap);
    const std::vector<int> right = Build(sink, inputs, middle, to, cap);
    const int a = static_cast<int>(left.size());
    const int b = static_cast<int>(right.size());
    const int n = std::min(a + b, cap);
    std::vector<int> out(static_cast<std::size_t>(n));
    for (int& literal : out) {
        literal = sink.NewVariable();
    }
    const auto at = [](const std::vector<int>& v, int k) {
        return v[static_cast<std::size_t>(k - 1)];
    };
    // left >= i and right >= j give out >= i + j.
    for (int i = 0; i <= a; ++i) {
        for (int j = 0; j <= b; ++j) {
            if (i + j == 0) {
                continue;
            }
            const int k = std::min(i + j, n);
            std::vector<int> clause;
            if (i > 0) {
                clause.push_back(-at(left, i));
            }
            if (j > 0) {
                clause.push_back(-at(right, j));
            }
            clause.push_back(at(out, k));
            sink.AddClause(clause);
        }
    }
    // out >= k needs left >= i + 1 or right >= j + 1 whenever i + j = k - 1.
    for (int i = 0; i <= a; ++i) {
        for (int j = 0; j <= b; ++j) {
            const int k = i + j + 1;
            if (k > n) {
                continue;
            }
            std::vector<int> clause{-at(out, k)};
            if (i < a) {
                clause.push_back(at(left, i + 1));
            }
            if (j < b) {
                clause.push_back(at(right, j + 1));
            }
            sink.AddClause(clause);
        }
    }
    return out;
}

int Totalizer::AtLeast(int k) const {
    if (k < 1 || k > static_cast<int>(outputs_.size())) {
        return 0;
    }
    return outputs_[static_cast<std::size_t>(k - 1)];
}

void Totalizer::AtMost(ClauseSink& sink, int k) const {
    if (k < 0) {
        sink.AddClause({});
        return;
    }
    if (const int over = AtLeast(k + 1); over != 0) {
        sink.Add({-over});
    }
}

void Totalizer::AtLeastBound(ClauseSink& sink, int k) const {
    if (k <= 0) {
        return;
    }
    const int reach = AtLeast(k);
    sink.AddClause(reach != 0 ? std::vector<int>{reach} : std::vector<int>{});
}

void AtMostOne(ClauseSink& sink, const std::vector<int>& literals) {
    if (literals.size() <= 5) {
        for (std::size_t i = 0; i < literals.size(); ++i) {
            for (std::size_t j = i + 1; j < literals.size(); ++j) {
                sink.Add({-literals[i], -literals[j]});
            }
        }
        return;
    }
    // Sequential ladder: seen[i] = one of the first i + 1 literals is true.
    int seen = literals[0];
    for (std::size_t i = 1; i < literals.size(); ++i) {
        sink.Add({-seen, -literals[i]});
        if (i + 1 < literals.size()) {
            const int next = sink.NewVariable();
            sink.Add({-seen, next});
            sink.Add({-literals[i], next});
            seen = next;
        }
    }
}

}  // namespace taktirio::exact
