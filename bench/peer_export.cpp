// Writes the generated schools the strict-option benchmarks use (9, 15 and 30
// class sections, seed 2026, each under the three strict option sets of
// strict_options.h) as input files of a free peer timetabler, so that its time
// to a first timetable can be measured beside ours (peer_compare.sh).
//
//   build/bench/peer_export DIR      writes DIR/school<C>_set<S>.fet,
//                                    _split.fet and _cap.fet (below)
//   build/bench/peer_export --judge C S ACTIVITIES_XML
//       reads the peer's timetable of school<C>_set<S> (its *_activities.xml)
//       back into our cells and judges it by our verifier's finished reading,
//       counting the broken rules by key: what the peer's timetable would be
//       refused for under our rules.
//   build/bench/peer_export --cap-check C S N
//       finds up to N timetables of school<C>_set<S> with our exact search and
//       counts those that also keep the stricter last-hours stand-in of the
//       _cap files: one is enough to show that the peer's _cap problem is not
//       made unsolvable by the stand-in alone.
//
// How our rules are stated in the peer's terms, and where that is not exact:
//
// - Time grid: 5 days; hours a day = the highest hour any class section's
//   hour positions reach (7, or 8 with eighth-hour days).
// - Teachers are people: each single teacher row is one person, a pair row
//   "A+B" teaches with both of its people; one subject per teacher row.
// - Class sections: one students year each. Its timetable holds exactly its
//   hour positions (as ours does): every other slot is "not available" for
//   it; on top of that, max gaps per week 0 and early max beginnings 0 (both
//   already implied by the positions).
// - Lessons: per (class section, teacher row) `two_hour_lessons` activities
//   of two hours and the rest of `teacher_class_hours` (pinned lessons
//   excluded) as one-hour activities; each pinned lesson is a one-hour
//   activity with a preferred starting time (weight 100).
// - Joint lessons: a teacher row with equal hours and equal two-hour lessons
//   in both class sections (no pinned ones) is one set of activities with
//   both years. An entry that does not fit that shape is written as two
//   separate sets of activities (a note is printed); the generated
//   schools measured have none.
// - Denied slots (absent days and free hours): a single row's are its
//   person's "not available" times. A pair row inherits its members'; any
//   denied slot of a pair row beyond its members' becomes preferred time
//   slots of the pair's activities.
// - Same-hour pairs: "activities not overlapping" over all activities of the
//   two rows; entries between a pair and its own member are left to the
//   people's own clash rule.
// - Split lessons: "min days between activities" 1 for each activity of one
//   teacher with each activity of the other in that class section.
// - Hours of a teacher in a class section a day: when the hours fit one a day
//   into the teacher's available days, every activity of the two is on a day
//   of its own ("min days between activities" 1, two pinned ones excepted);
//   otherwise one activity tag per (class section, teacher row) and "students
//   set activity tag max hours daily" = the allowance (2, or 3 when the hours
//   do not fit two a day).
// - With eighth hours, two-hour activities start no later than hour 6.
// - Option day-hours 5: teachers max hours daily 5. No five hours in a row:
//   teachers max hours continuously 4. Both count the person over all rows,
//   as ours do.
// - No single-hour runs: "min gaps between activities" 1 for every two
//   activities of one teacher row in one class section that may share a day
//   (two pinned ones and two two-hour ones excepted). This is stricter than
//   ours in one case: ours lets a one-hour lesson come right before a
//   two-hour lesson of the same teacher, which needs an allowance of three
//   hours a day in that class section.
// - The last-hours limit (at most 2 of a person's hours a week among each
//   class section's last five hour positions, read as slot numbers) has no
//   natural constraint in the peer: it counts a person's hours over slot
//   sets that differ from one class section to another (the generated
//   schools have short class sections). Three forms are written:
//   school<C>_set<S>.fet leaves it out (an easier problem for the peer);
//   _split.fet states it per person as "activities occupy max time slots
//   from selection" = 2 for each group of the person's activities whose
//   class sections share one set of last-hour slots, plus one over all of
//   them on the slots common to every group: exact for a person who teaches
//   class sections of one length only, laxer than ours otherwise; _cap.fet
//   states it as one such constraint over all of a person's activities on
//   the union of those slots: stricter than ours (an hour in a long class
//   section on a slot that is a last hour only of a shorter one counts too).
//   Whatever the form, --judge tells whether the peer's timetable keeps our
//   rules.
// - The other default rules (allowance of 2 a day, spread over days) are
//   stated as above; the max-hours option per class section day is 2 in all
//   three strict sets.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/exact/exact_search.h"
#include "core/gaps/teacher_gaps.h"
#include "core/generator/school_generator.h"
#include "core/solver/findsolution.h"
#include "core/solver/rule_index.h"
#include "core/solver/slots.h"
#include "core/verify/timetable_verifier.h"
#include "strict_options.h"

namespace taktirio {
namespace {

constexpr std::array<const char*, kDays + 1> kDayLabels = {"", "Mon", "Tue", "Wed", "Thu", "Fri"};

std::size_t At(int value) {
    return static_cast<std::size_t>(value);
}

std::string Escape(const std::string& text) {
    std::string out;
    for (const char ch : text) {
        switch (ch) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += ch;
        }
    }
    return out;
}

struct Activity {
    int id = 0;
    int row = 0;               // teacher row
    std::vector<int> classes;  // one, or two for a joint lesson
    int duration = 1;
    int pinned_slot = 0;  // 0 = free
};

// How the last-hours limit is written (see the top of the file).
enum class LastHours { kLeftOut, kSplit, kCap };

class Exporter {
  public:
    Exporter(const GeneratedSchool& school, const RunOptions& options, LastHours last_hours)
        : last_hours_(last_hours),
          in_(school.inputs),
          rules_(school.rules),
          options_(options),
          classes_(in_.number_of_classes),
          teachers_(in_.number_of_teachers),
          people_(PeopleOfTeachers(in_.teacher_names, teachers_)) {}

    // The whole input file; `notes` collects what could not be stated exactly.
    std::string Write(std::vector<std::string>& notes) {
        Prepare(notes);
        std::ostringstream x;
        x << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<fet version=\"6.8.5\">\n\n";
        x << "<Mode>Official</Mode>\n<Institution_Name>generated school of " << classes_
          << " class sections</Institution_Name>\n<Comments></Comments>\n\n";
        WriteGrid(x);
        WriteLists(x);
        WriteActivities(x);
        x << "<Buildings_List>\n</Buildings_List>\n<Rooms_List>\n</Rooms_List>\n\n";
        x << "<Time_Constraints_List>\n";
        Constraint(x, "ConstraintBasicCompulsoryTime", "");
        WriteClassConstraints(x);
        WriteTeacherConstraints(x);
        WriteLessonConstraints(x);
        WriteOptionConstraints(x);
        x << "</Time_Constraints_List>\n\n<Space_Constraints_List>\n";
        Constraint(x, "ConstraintBasicCompulsorySpace", "");
        x << "</Space_Constraints_List>\n\n</fet>\n";
        return x.str();
    }

    int activity_count() const { return static_cast<int>(activities_.size()); }
    const std::vector<Activity>& activities() const { return activities_; }
    int constraint_count() const { return constraints_; }
    int hours_per_day() const { return hours_per_day_; }

  private:
    // --- the school in activities ------------------------------------------

    void Prepare(std::vector<std::string>& notes) {
        positions_.assign(At(classes_) + 1, {});
        for (int c = 1; c <= classes_; ++c) {
            for (int k = 1; k <= in_.class_hours[At(c)]; ++k) {
                const int slot = PositionSlotOf(rules_, k);
                positions_[At(c)].insert(slot);
                hours_per_day_ = std::max(hours_per_day_, HourOfSlot(slot));
            }
        }
        available_days_.assign(At(teachers_) + 1, kDays);
        for (const AbsentDays& entry : rules_.AbsentDaysOfTeachers()) {
            available_days_[entry.teacher] = kDays - entry.days;
        }
        denied_.assign(At(teachers_) + 1, {});
        for (const DeniedSlot& entry : rules_.DeniedSlots()) {
            denied_[entry.teacher].insert(entry.slot);
        }

        // Joint lessons that fit one set of activities for both class sections.
        std::map<std::pair<int, int>, int> joined;  // (class, row) -> the other class
        for (const JointLesson& joint : rules_.JointLessons()) {
            const int c1 = std::min(joint.class1, joint.class2);
            const int c2 = std::max(joint.class1, joint.class2);
            const int t = joint.teacher;
            if (joined.contains({c1, t})) {
                continue;
            }
            const bool fits =
                in_.teacher_class_hours(At(t), At(c1)) == in_.teacher_class_hours(At(t), At(c2)) &&
                in_.two_hour_lessons(At(c1), At(t)) == in_.two_hour_lessons(At(c2), At(t)) &&
                PinnedCount(c1, t) == 0 && PinnedCount(c2, t) == 0;
            if (fits) {
                joined[{c1, t}] = c2;
                joined[{c2, t}] = 0;  // taught through c1's activities
            } else {
                notes.push_back("joint lesson of row " + std::to_string(t) + " in " +
                                std::to_string(c1) + " and " + std::to_string(c2) +
                                " written as two separate sets of activities");
            }
        }

        for (int c = 1; c <= classes_; ++c) {
            for (int t = 1; t <= teachers_; ++t) {
                const int hours = in_.teacher_class_hours(At(t), At(c));
                if (hours == 0) {
                    continue;
                }
                const auto found = joined.find({c, t});
                if (found != joined.end() && found->second == 0) {
                    continue;
                }
                std::vector<int> classes = {c};
                if (found != joined.end()) {
                    classes.push_back(found->second);
                }
                const int doubles = in_.two_hour_lessons(At(c), At(t));
                for (int k = 0; k < doubles; ++k) {
                    Add(t, classes, 2, 0);
                }
                for (int k = 0; k < hours - 2 * doubles; ++k) {
                    Add(t, classes, 1, 0);
                }
            }
            for (int s = 1; s <= kSlots; ++s) {
                if (const int t = in_.pinned_lessons(At(c), At(s)); t != 0) {
                    Add(t, {c}, 1, s);
                }
            }
        }

        // Every class section's activities fill its hour positions exactly.
        std::vector<int> filled(At(classes_) + 1, 0);
        for (const Activity& a : activities_) {
            for (const int c : a.classes) {
                filled[At(c)] += a.duration;
            }
        }
        for (int c = 1; c <= classes_; ++c) {
            if (filled[At(c)] != in_.class_hours[At(c)]) {
                notes.push_back("class section " + std::to_string(c) + " has " +
                                std::to_string(filled[At(c)]) + " hours of activities for " +
                                std::to_string(in_.class_hours[At(c)]) + " hour positions");
            }
        }
    }

    int PinnedCount(int c, int t) const {
        int count = 0;
        for (int s = 1; s <= kSlots; ++s) {
            count += in_.pinned_lessons(At(c), At(s)) == t ? 1 : 0;
        }
        return count;
    }

    void Add(int row, const std::vector<int>& classes, int duration, int pinned_slot) {
        Activity a;
        a.id = static_cast<int>(activities_.size()) + 1;
        a.row = row;
        a.classes = classes;
        a.duration = duration;
        a.pinned_slot = pinned_slot;
        for (const int c : classes) {
            of_class_row_[{c, row}].push_back(a.id);
        }
        of_row_[row].push_back(a.id);
        activities_.push_back(a);
    }

    const Activity& ActivityOf(int id) const { return activities_[At(id - 1)]; }

    // --- names ----------------------------------------------------------------

    std::string PersonName(int p) const {
        return "P" + std::to_string(p) + " " + Escape(people_.names[At(p)]);
    }
    std::string RowName(int t) const {
        return "R" + std::to_string(t) + " " + Escape(in_.teacher_names[At(t)]);
    }
    std::string ClassLabel(int c) const {
        return "C" + std::to_string(c) + " " + Escape(in_.class_names[At(c)]);
    }
    static std::string TagName(int c, int t) {
        return "c" + std::to_string(c) + "r" + std::to_string(t);
    }
    static std::string HourName(int hour) { return std::to_string(hour); }

    // --- sections ---------------------------------------------------------------

    void WriteGrid(std::ostringstream& x) const {
        x << "<Days_List>\n<Number_of_Days>" << kDays << "</Number_of_Days>\n";
        for (int d = 1; d <= kDays; ++d) {
            x << "<Day>\n\t<Name>" << kDayLabels[At(d)] << "</Name>\n</Day>\n";
        }
        x << "</Days_List>\n\n<Hours_List>\n<Number_of_Hours>" << hours_per_day_
          << "</Number_of_Hours>\n";
        for (int h = 1; h <= hours_per_day_; ++h) {
            x << "<Hour>\n\t<Name>" << HourName(h) << "</Name>\n</Hour>\n";
        }
        x << "</Hours_List>\n\n";
    }

    void WriteLists(std::ostringstream& x) const {
        x << "<Subjects_List>\n";
        for (int t = 1; t <= teachers_; ++t) {
            x << "<Subject>\n\t<Name>" << RowName(t) << "</Name>\n</Subject>\n";
        }
        x << "</Subjects_List>\n\n<Activity_Tags_List>\n";
        x << "<Activity_Tag>\n\t<Name>two-hour</Name>\n\t<Printable>true</Printable>\n"
             "</Activity_Tag>\n";
        for (const auto& [key, ids] : of_class_row_) {
            if (ActivityOf(ids.front()).classes.front() == key.first) {
                x << "<Activity_Tag>\n\t<Name>" << TagName(key.first, key.second)
                  << "</Name>\n\t<Printable>false</Printable>\n</Activity_Tag>\n";
            }
        }
        x << "</Activity_Tags_List>\n\n<Teachers_List>\n";
        for (int p = 1; p <= people_.count(); ++p) {
            x << "<Teacher>\n\t<Name>" << PersonName(p) << "</Name>\n</Teacher>\n";
        }
        x << "</Teachers_List>\n\n<Students_List>\n";
        for (int c = 1; c <= classes_; ++c) {
            x << "<Year>\n\t<Name>" << ClassLabel(c)
              << "</Name>\n\t<Number_of_Students>0</Number_of_Students>\n</Year>\n";
        }
        x << "</Students_List>\n\n";
    }

    void WriteActivities(std::ostringstream& x) const {
        x << "<Activities_List>\n";
        for (const Activity& a : activities_) {
            x << "<Activity>\n";
            for (const std::uint16_t p : people_.of_teacher[At(a.row)]) {
                if (p != 0) {
                    x << "\t<Teacher>" << PersonName(p) << "</Teacher>\n";
                }
            }
            x << "\t<Subject>" << RowName(a.row) << "</Subject>\n";
            if (a.duration == 2) {
                x << "\t<Activity_Tag>two-hour</Activity_Tag>\n";
            }
            x << "\t<Activity_Tag>" << TagName(a.classes.front(), a.row) << "</Activity_Tag>\n";
            for (const int c : a.classes) {
                x << "\t<Students>" << ClassLabel(c) << "</Students>\n";
            }
            x << "\t<Duration>" << a.duration << "</Duration>\n\t<Total_Duration>" << a.duration
              << "</Total_Duration>\n\t<Id>" << a.id << "</Id>\n\t<Activity_Group_Id>0"
              << "</Activity_Group_Id>\n\t<Active>true</Active>\n\t<Comments></Comments>\n"
              << "</Activity>\n";
        }
        x << "</Activities_List>\n\n";
    }

    // Class sections: their hour positions and nothing else, no gaps, first hour.
    void WriteClassConstraints(std::ostringstream& x) {
        for (int c = 1; c <= classes_; ++c) {
            std::vector<int> closed;
            for (int h = 1; h <= hours_per_day_; ++h) {
                for (int d = 1; d <= kDays; ++d) {
                    if (!positions_[At(c)].contains(SlotOf(d, h))) {
                        closed.push_back(SlotOf(d, h));
                    }
                }
            }
            if (!closed.empty()) {
                Constraint(x, "ConstraintStudentsSetNotAvailableTimes",
                           "\t<Students>" + ClassLabel(c) + "</Students>\n" +
                               SlotList("Number_of_Not_Available_Times", "Not_Available_Time",
                                        "Day", "Hour", closed));
            }
            Constraint(x, "ConstraintStudentsSetMaxGapsPerWeek",
                       "\t<Max_Gaps>0</Max_Gaps>\n\t<Students>" + ClassLabel(c) + "</Students>\n");
            Constraint(x, "ConstraintStudentsSetEarlyMaxBeginningsAtSecondHour",
                       "\t<Max_Beginnings_At_Second_Hour>0</Max_Beginnings_At_Second_Hour>\n"
                       "\t<Students>" +
                           ClassLabel(c) + "</Students>\n");
        }
    }

    // Denied slots: people's own, and a pair row's beyond its members'.
    void WriteTeacherConstraints(std::ostringstream& x) {
        std::vector<std::set<int>> person_closed(At(people_.count()) + 1);
        for (int t = 1; t <= teachers_; ++t) {
            const auto& persons = people_.of_teacher[At(t)];
            if (persons[1] == 0) {
                person_closed[persons[0]].insert(denied_[At(t)].begin(), denied_[At(t)].end());
            }
        }
        for (int p = 1; p <= people_.count(); ++p) {
            std::vector<int> closed;
            for (const int s : person_closed[At(p)]) {
                if (HourOfSlot(s) <= hours_per_day_) {
                    closed.push_back(s);
                }
            }
            if (!closed.empty()) {
                Constraint(x, "ConstraintTeacherNotAvailableTimes",
                           "\t<Teacher>" + PersonName(p) + "</Teacher>\n" +
                               SlotList("Number_of_Not_Available_Times", "Not_Available_Time",
                                        "Day", "Hour", closed));
            }
        }
        for (int t = 1; t <= teachers_; ++t) {
            const auto& persons = people_.of_teacher[At(t)];
            if (persons[1] == 0 || !of_row_.contains(t)) {
                continue;
            }
            std::vector<int> open;
            bool extra = false;
            for (int h = 1; h <= hours_per_day_; ++h) {
                for (int d = 1; d <= kDays; ++d) {
                    const int s = SlotOf(d, h);
                    const bool by_members = person_closed[persons[0]].contains(s) ||
                                            person_closed[persons[1]].contains(s);
                    if (!denied_[At(t)].contains(s)) {
                        open.push_back(s);
                    } else if (!by_members) {
                        extra = true;
                    }
                }
            }
            if (!extra) {
                continue;
            }
            for (const int id : of_row_.at(t)) {
                Constraint(x, "ConstraintActivityPreferredTimeSlots",
                           "\t<Activity_Id>" + std::to_string(id) + "</Activity_Id>\n" +
                               SlotList("Number_of_Preferred_Time_Slots", "Preferred_Time_Slot",
                                        "Preferred_Day", "Preferred_Hour", open));
            }
        }
    }

    void WriteLessonConstraints(std::ostringstream& x) {
        for (const Activity& a : activities_) {
            if (a.pinned_slot != 0) {
                Constraint(x, "ConstraintActivityPreferredStartingTime",
                           "\t<Activity_Id>" + std::to_string(a.id) +
                               "</Activity_Id>\n\t<Preferred_Day>" +
                               kDayLabels[At(DayOfSlot(a.pinned_slot))] +
                               "</Preferred_Day>\n\t<Preferred_Hour>" +
                               HourName(HourOfSlot(a.pinned_slot)) +
                               "</Preferred_Hour>\n\t<Permanently_Locked>false"
                               "</Permanently_Locked>\n");
            }
        }
        // Hours of one teacher row in one class section a day, and single-hour runs.
        for (const auto& [key, ids] : of_class_row_) {
            const auto [c, t] = key;
            if (ActivityOf(ids.front()).classes.front() != c) {
                continue;  // the joint lesson's constraints are stated from its first class
            }
            const int hours = rules_.teacher_class_hours_all(At(t), At(c));
            const int days = available_days_[At(t)];
            const int allowance = ClassDayAllowance(options_.max_class_hours_per_day, hours, days);
            if (hours <= days) {
                WritePairwiseOrGroup(
                    x, ids, "ConstraintMinDaysBetweenActivities", "\t<MinDays>1</MinDays>\n",
                    "\t<Consecutive_If_Same_Day>false</Consecutive_If_Same_Day>\n");
                continue;
            }
            if (hours > allowance) {
                Constraint(x, "ConstraintStudentsSetActivityTagMaxHoursDaily",
                           "\t<Maximum_Hours_Daily>" + std::to_string(allowance) +
                               "</Maximum_Hours_Daily>\n\t<Students>" + ClassLabel(c) +
                               "</Students>\n\t<Activity_Tag>" + TagName(c, t) +
                               "</Activity_Tag>\n");
            }
            if (options_.no_single_hour_runs) {
                for (std::size_t i = 0; i < ids.size(); ++i) {
                    for (std::size_t j = i + 1; j < ids.size(); ++j) {
                        const Activity& a = ActivityOf(ids[i]);
                        const Activity& b = ActivityOf(ids[j]);
                        if ((a.pinned_slot != 0 && b.pinned_slot != 0) ||
                            (a.duration == 2 && b.duration == 2)) {
                            continue;
                        }
                        Constraint(x, "ConstraintMinGapsBetweenActivities",
                                   IdList({a.id, b.id}) + "\t<MinGaps>1</MinGaps>\n");
                    }
                }
            }
        }
        // Split lessons: the two teachers never on one day in the class section.
        for (const SplitLesson& split : rules_.Splits()) {
            const auto first = of_class_row_.find({split.class_section, split.first});
            const auto second = of_class_row_.find({split.class_section, split.second});
            if (first == of_class_row_.end() || second == of_class_row_.end()) {
                continue;
            }
            for (const int a : first->second) {
                for (const int b : second->second) {
                    Constraint(x, "ConstraintMinDaysBetweenActivities",
                               "\t<Consecutive_If_Same_Day>false</Consecutive_If_Same_Day>\n" +
                                   IdList({a, b}) + "\t<MinDays>1</MinDays>\n");
                }
            }
        }
        // Same-hour pairs of rows that share no person.
        std::set<std::pair<int, int>> seen;
        for (const SameHourPair& pair : rules_.SameHourPairs()) {
            const int a = std::min(pair.first, pair.second);
            const int b = std::max(pair.first, pair.second);
            if (!seen.insert({a, b}).second || SharePerson(a, b) || !of_row_.contains(a) ||
                !of_row_.contains(b)) {
                continue;
            }
            std::vector<int> ids = of_row_.at(a);
            ids.insert(ids.end(), of_row_.at(b).begin(), of_row_.at(b).end());
            Constraint(x, "ConstraintActivitiesNotOverlapping", IdList(ids));
        }
        // With eighth hours no two-hour lesson reaches them.
        if (rules_.HasEighthHours()) {
            std::vector<int> starts;
            for (int h = 1; h + 1 <= kSevenHourWeekSlots / kDays; ++h) {
                for (int d = 1; d <= kDays; ++d) {
                    starts.push_back(SlotOf(d, h));
                }
            }
            Constraint(x, "ConstraintActivitiesPreferredStartingTimes",
                       "\t<Teacher_Name></Teacher_Name>\n\t<Students_Name></Students_Name>\n"
                       "\t<Subject_Name></Subject_Name>\n"
                       "\t<Activity_Tag_Name>two-hour</Activity_Tag_Name>\n"
                       "\t<Duration></Duration>\n" +
                           SlotList("Number_of_Preferred_Starting_Times", "Preferred_Starting_Time",
                                    "Preferred_Starting_Day", "Preferred_Starting_Hour", starts));
        }
    }

    void WriteOptionConstraints(std::ostringstream& x) {
        if (options_.last_hours_limit_on && last_hours_ != LastHours::kLeftOut) {
            WriteLastHours(x);
        }
        if (options_.day_hours_limit_on) {
            Constraint(x, "ConstraintTeachersMaxHoursDaily",
                       "\t<Maximum_Hours_Daily>" + std::to_string(options_.day_hours_limit) +
                           "</Maximum_Hours_Daily>\n");
        }
        if (options_.four_hour_run_limit_on) {
            Constraint(x, "ConstraintTeachersMaxHoursContinuously",
                       "\t<Maximum_Hours_Continuously>4</Maximum_Hours_Continuously>\n");
        }
    }

    // The last-hour slots of the class sections of an activity.
    std::set<int> LastHourSlots(const Activity& a) const {
        std::set<int> slots;
        for (const int c : a.classes) {
            const int top = std::min<int>(in_.class_hours[At(c)], kSlots);
            for (int s = std::max(1, top - 4); s <= top; ++s) {
                if (HourOfSlot(s) <= hours_per_day_) {
                    slots.insert(s);
                }
            }
        }
        return slots;
    }

    void WriteLastHours(std::ostringstream& x) {
        for (int p = 1; p <= people_.count(); ++p) {
            std::map<std::set<int>, std::vector<int>> groups;  // last-hour slots -> ids
            std::vector<int> ids;
            for (const Activity& a : activities_) {
                const auto& persons = people_.of_teacher[At(a.row)];
                if (persons[0] == p || persons[1] == p) {
                    groups[LastHourSlots(a)].push_back(a.id);
                    ids.push_back(a.id);
                }
            }
            if (ids.empty()) {
                continue;
            }
            std::set<int> all;
            std::set<int> common = groups.begin()->first;
            for (const auto& [slots, members] : groups) {
                all.insert(slots.begin(), slots.end());
                std::set<int> both;
                std::set_intersection(common.begin(), common.end(), slots.begin(), slots.end(),
                                      std::inserter(both, both.end()));
                common = both;
            }
            if (last_hours_ == LastHours::kCap) {
                WriteOccupyMax(x, ids, all);
                continue;
            }
            for (const auto& [slots, members] : groups) {
                WriteOccupyMax(x, members, slots);
            }
            if (groups.size() > 1 && !common.empty()) {
                WriteOccupyMax(x, ids, common);
            }
        }
    }

    void WriteOccupyMax(std::ostringstream& x, const std::vector<int>& ids,
                        const std::set<int>& selection) {
        std::string body = IdList(ids);
        body += SlotList("Number_of_Selected_Time_Slots", "Selected_Time_Slot", "Selected_Day",
                         "Selected_Hour", std::vector<int>(selection.begin(), selection.end()));
        body += "\t<Max_Number_of_Occupied_Time_Slots>" +
                std::to_string(options_.last_hours_limit) +
                "</Max_Number_of_Occupied_Time_Slots>\n";
        Constraint(x, "ConstraintActivitiesOccupyMaxTimeSlotsFromSelection", body);
    }

    // One constraint over all `ids`, or one per two of them when two pinned
    // activities would be held apart by it (the user's own pins stay as given).
    void WritePairwiseOrGroup(std::ostringstream& x, const std::vector<int>& ids,
                              const std::string& name, const std::string& tail,
                              const std::string& head) {
        if (ids.size() < 2) {
            return;
        }
        int pinned = 0;
        for (const int id : ids) {
            pinned += ActivityOf(id).pinned_slot != 0 ? 1 : 0;
        }
        if (pinned < 2) {
            Constraint(x, name, head + IdList(ids) + tail);
            return;
        }
        for (std::size_t i = 0; i < ids.size(); ++i) {
            for (std::size_t j = i + 1; j < ids.size(); ++j) {
                if (ActivityOf(ids[i]).pinned_slot == 0 || ActivityOf(ids[j]).pinned_slot == 0) {
                    Constraint(x, name, head + IdList({ids[i], ids[j]}) + tail);
                }
            }
        }
    }

    bool SharePerson(int a, int b) const {
        for (const std::uint16_t p : people_.of_teacher[At(a)]) {
            for (const std::uint16_t q : people_.of_teacher[At(b)]) {
                if (p != 0 && p == q) {
                    return true;
                }
            }
        }
        return false;
    }

    // --- XML pieces -------------------------------------------------------------

    void Constraint(std::ostringstream& x, const std::string& name, const std::string& body) {
        ++constraints_;
        x << "<" << name << ">\n\t<Weight_Percentage>100</Weight_Percentage>\n"
          << body << "\t<Active>true</Active>\n\t<Comments></Comments>\n</" << name << ">\n";
    }

    static std::string IdList(const std::vector<int>& ids) {
        std::string out =
            "\t<Number_of_Activities>" + std::to_string(ids.size()) + "</Number_of_Activities>\n";
        for (const int id : ids) {
            out += "\t<Activity_Id>" + std::to_string(id) + "</Activity_Id>\n";
        }
        return out;
    }

    static std::string SlotList(const std::string& count, const std::string& item,
                                const std::string& day, const std::string& hour,
                                const std::vector<int>& slots) {
        std::string out = "\t<" + count + ">" + std::to_string(slots.size()) + "</" + count + ">\n";
        for (const int s : slots) {
            out += "\t<" + item + ">\n\t\t<" + day + ">" + kDayLabels[At(DayOfSlot(s))] + "</" +
                   day + ">\n\t\t<" + hour + ">" + HourName(HourOfSlot(s)) + "</" + hour +
                   ">\n\t</" + item + ">\n";
        }
        return out;
    }

    const LastHours last_hours_;
    const SolverInputs& in_;
    const RuleTables& rules_;
    const RunOptions options_;
    const int classes_;
    const int teachers_;
    const TeacherPeople people_;

    int hours_per_day_ = 0;
    int constraints_ = 0;
    std::vector<std::set<int>> positions_;  // [class] = slots of its hour positions
    std::vector<int> available_days_;       // [row]
    std::vector<std::set<int>> denied_;     // [row] = denied slots
    std::vector<Activity> activities_;      // [id - 1]
    std::map<std::pair<int, int>, std::vector<int>> of_class_row_;  // (class, row) -> ids
    std::map<int, std::vector<int>> of_row_;                        // row -> ids
};

// The text between <tag> and </tag> from `from` on; empty when absent.
std::string Between(const std::string& text, const std::string& tag, std::size_t& from) {
    const std::string open = "<" + tag + ">";
    const std::size_t begin = text.find(open, from);
    if (begin == std::string::npos) {
        from = std::string::npos;
        return {};
    }
    const std::size_t end = text.find("</" + tag + ">", begin);
    from = end;
    return text.substr(begin + open.size(), end - begin - open.size());
}

int Judge(int classes, int set, const std::filesystem::path& xml) {
    const GeneratedSchool school = GenerateSchool(TypicalSchool(classes, 2026));
    const RunOptions options = StrictOptions(set);
    // The activities are the same whatever the form of the last-hours limit.
    Exporter exporter(school, options, LastHours::kLeftOut);
    std::vector<std::string> notes;
    exporter.Write(notes);
    std::ifstream stream(xml, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(stream)),
                           std::istreambuf_iterator<char>());
    ByteMatrix cells(At(classes) + 1, kSlotColumns);
    int placed = 0;
    for (std::size_t at = 0;;) {
        const std::string id = Between(text, "Id", at);
        if (at == std::string::npos) {
            break;
        }
        const std::string day = Between(text, "Day", at);
        const std::string hour = Between(text, "Hour", at);
        int d = 0;
        for (int k = 1; k <= kDays; ++k) {
            d = day == kDayLabels[At(k)] ? k : d;
        }
        if (d == 0 || hour.empty()) {
            continue;  // not placed
        }
        const Activity& a = exporter.activities().at(At(std::stoi(id) - 1));
        for (int k = 0; k < a.duration; ++k) {
            for (const int c : a.classes) {
                cells(At(c), At(SlotOf(d, std::stoi(hour) + k))) = static_cast<std::uint8_t>(a.row);
            }
        }
        ++placed;
    }
    const std::vector<Violation> found =
        VerifyTimetable(school.inputs, options, school.rules, cells, VerifyMode::kFinished);
    std::map<std::string, int> by_rule;
    for (const Violation& v : found) {
        ++by_rule[std::string(RuleName(v.rule))];
    }
    std::printf("school%d_set%d: %d of %d activities placed, %zu broken rules", classes, set,
                placed, exporter.activity_count(), found.size());
    for (const auto& [rule, count] : by_rule) {
        std::printf(" %s=%d", rule.c_str(), count);
    }
    std::printf("\n");
    for (const Violation& v : found) {
        std::printf("  %s\n", Describe(v).c_str());
    }
    return 0;
}

// The most slots of one person, over all people, in the union of the
// last-hour slots of the class sections the person teaches (the _cap files'
// stand-in for the last-hours limit).
int WorstCapCount(const GeneratedSchool& school, const TeacherPeople& people,
                  const ByteMatrix& cells) {
    const SolverInputs& in = school.inputs;
    const int classes = in.number_of_classes;
    int worst = 0;
    for (int p = 1; p <= people.count(); ++p) {
        std::set<int> selection;
        std::set<int> busy;
        for (int t = 1; t <= in.number_of_teachers; ++t) {
            const auto& persons = people.of_teacher[At(t)];
            if (persons[0] != p && persons[1] != p) {
                continue;
            }
            for (int c = 1; c <= classes; ++c) {
                if (school.rules.teacher_class_hours_all(At(t), At(c)) == 0) {
                    continue;
                }
                const int top = std::min<int>(in.class_hours[At(c)], kSlots);
                for (int s = std::max(1, top - 4); s <= top; ++s) {
                    selection.insert(s);
                }
                for (int s = 1; s <= kSlots; ++s) {
                    if (cells(At(c), At(s)) == t) {
                        busy.insert(s);
                    }
                }
            }
        }
        int count = 0;
        for (const int s : busy) {
            count += selection.contains(s) ? 1 : 0;
        }
        worst = std::max(worst, count);
    }
    return worst;
}

int CapCheck(int classes, int set, int wanted) {
    const GeneratedSchool school = GenerateSchool(TypicalSchool(classes, 2026));
    const RunOptions options = StrictOptions(set);
    const RuleIndex index = PrepareSearch(school.inputs, school.rules, options);
    const TeacherPeople people =
        PeopleOfTeachers(school.inputs.teacher_names, school.inputs.number_of_teachers);
    exact::ExactSearch search(school.inputs, school.rules, options, index, 1);
    int found = 0;
    int keeping = 0;
    std::map<int, int> worst_counts;
    for (; found < wanted; ++found) {
        ByteMatrix cells;
        if (search.Next({1000000, {}}, cells) != exact::ExactOutcome::kTimetable) {
            break;
        }
        const int worst = WorstCapCount(school, people, cells);
        ++worst_counts[worst];
        keeping += worst <= options.last_hours_limit ? 1 : 0;
    }
    std::printf(
        "school%d_set%d: %d timetables of ours, %d keep the stand-in (limit %d); "
        "worst person's count:",
        classes, set, found, keeping, options.last_hours_limit);
    for (const auto& [worst, count] : worst_counts) {
        std::printf(" %d in %d", worst, count);
    }
    std::printf("\n");
    return 0;
}

}  // namespace
}  // namespace taktirio

int main(int argc, char** argv) {
    using namespace taktirio;
    if (argc == 5 && std::string(argv[1]) == "--judge") {
        return Judge(std::stoi(argv[2]), std::stoi(argv[3]), argv[4]);
    }
    if (argc == 5 && std::string(argv[1]) == "--cap-check") {
        return CapCheck(std::stoi(argv[2]), std::stoi(argv[3]), std::stoi(argv[4]));
    }
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: %s OUTPUT_DIR | --judge C S ACTIVITIES_XML | --cap-check C S N\n",
                     argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    for (const int classes : {9, 15, 30}) {
        const GeneratedSchool school = GenerateSchool(TypicalSchool(classes, 2026));
        for (const int set : {0, 1, 2}) {
            for (const auto& [form, suffix] :
                 {std::pair{LastHours::kLeftOut, ""}, std::pair{LastHours::kSplit, "_split"},
                  std::pair{LastHours::kCap, "_cap"}}) {
                Exporter exporter(school, StrictOptions(set), form);
                std::vector<std::string> notes;
                const std::string text = exporter.Write(notes);
                const std::filesystem::path file =
                    dir / ("school" + std::to_string(classes) + "_set" + std::to_string(set) +
                           suffix + ".fet");
                std::ofstream(file, std::ios::binary) << text;
                std::printf("%s: %d activities, %d time constraints, %d hours a day\n",
                            file.string().c_str(), exporter.activity_count(),
                            exporter.constraint_count(), exporter.hours_per_day());
                for (const std::string& note : notes) {
                    std::printf("  note: %s\n", note.c_str());
                }
            }
        }
    }
    return 0;
}
