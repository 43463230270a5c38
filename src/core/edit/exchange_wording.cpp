#include "core/edit/exchange_wording.h"

#include <set>

#include "core/common/narrow.h"
#include "core/text/wording.h"

namespace taktirio {

namespace {

std::string TeacherOrFree(const SolverInputs& inputs, int teacher) {
    return teacher == 0 ? std::string("(κενό)") : TeacherName(inputs, teacher);
}

ExchangeWording WordKept(const TimetableEditor& editor, const SolverInputs& inputs,
                         const MoveProposal& proposal) {
    ExchangeWording words;
    std::set<int> classes;
    for (const CellChange& change : proposal.changes) {
        classes.insert(change.class_section);
        words.lines.push_back(ClassName(inputs, change.class_section) + ", " +
                              SlotName(change.slot) + ": " + TeacherOrFree(inputs, change.before) +
                              " → " + TeacherOrFree(inputs, change.after));
    }
    for (const PersonGapChange& gaps : proposal.gaps) {
        words.lines.push_back("Κενά: " + editor.people().names[AsIndex(gaps.person)] + " " +
                              std::to_string(gaps.before) + " → " + std::to_string(gaps.after));
    }
    words.headline = "Η μετακίνηση γίνεται: αλλάζουν " +
                     CountOf(proposal.changes.size(), "κελί", "κελιά") + " σε " +
                     CountOf(classes.size(), "τμήμα", "τμήματα") + ", κενά συνολικά " +
                     std::to_string(proposal.gaps_before.total) + " → " +
                     std::to_string(proposal.gaps_after.total) + ".";
    return words;
}

ExchangeWording WordRefused(const TimetableEditor& editor, const SolverInputs& inputs,
                            const ByteMatrix& timetable, const MoveProposal& proposal,
                            RuleKeyShown key) {
    ExchangeWording words;
    words.headline = "Η μετακίνηση δεν γίνεται χωρίς να παραβιαστεί κανόνας:";
    words.lines = editor.InTheWay(timetable, proposal);
    if (proposal.beyond_reach) {
        words.lines.push_back("η ανταλλαγή θα έφτανε σε περισσότερα από " +
                              CountOf(editor.limits().most_classes, "τμήμα", "τμήματα"));
    }
    for (const Violation& violation : proposal.blocking) {
        words.lines.push_back(ViolationLine(violation, inputs, key));
    }
    return words;
}

}  // namespace

ExchangeWording WordExchange(const TimetableEditor& editor, const SolverInputs& inputs,
                             const ByteMatrix& timetable, const MoveProposal& proposal,
                             RuleKeyShown key) {
    return proposal.keeps_rules ? WordKept(editor, inputs, proposal)
                                : WordRefused(editor, inputs, timetable, proposal, key);
}

std::string MoveText(const SolverInputs& inputs, const MoveRequest& request) {
    return ClassName(inputs, request.class_section) + ": " + SlotName(request.from_slot) + " → " +
           SlotName(request.to_slot);
}

}  // namespace taktirio
