#pragma once

#include <cstdint>
#include <vector>

namespace taktirio {

// Rows of small byte lists kept in one block (compressed row storage).
class ByteLists {
  public:
    void Assign(std::size_t rows, const std::vector<std::vector<std::uint8_t>>& lists);
    const std::uint8_t* begin(std::size_t r) const { return values_.data() + offsets_[r]; }
    const std::uint8_t* end(std::size_t r) const { return values_.data() + offsets_[r + 1]; }
    std::size_t rows() const { return offsets_.empty() ? 0 : offsets_.size() - 1; }

  private:
    std::vector<std::uint32_t> offsets_;
    std::vector<std::uint8_t> values_;
};

// The rule tables rearranged for the search: the same answers, looked up per
// teacher or class section instead of scanned entry by entry.
struct RuleIndex {
    int teachers = -1;                         // T the index was built for; -1 = not built
    int classes = -1;                          // C the index was built for
    std::vector<std::uint8_t> available_days;  // [teacher] = 5 - absent days
    std::vector<std::uint8_t> slot_denied;     // [teacher * 51 + slot] = 1 when refused
    ByteLists same_hour_partners;              // [teacher] = teachers it may not meet
    ByteLists split_partners;                  // [class] = (first, second) pairs, in entry order
    ByteLists joint_entries;                  // [class] = (class1, class2, teacher), in entry order
    std::vector<std::uint8_t> position_slot;  // [hour position 1..50] = slot; 0 = none
};

}  // namespace taktirio
