// What the search saw: counts added up across workers, reported by a run that
// ends without its solutions, and worded for the user.
#include "core/solver/search_evidence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/run/run_engine.h"
#include "core/run/run_messages.h"
#include "core/solver/test_school.h"

namespace taktirio {
namespace {

using testing::TestSchool;

class NoPages : public SolutionWriter {
  public:
    void WriteSolution(const ClaimedSolution&) override { ++written; }
    int written = 0;
};

TEST(SearchEvidence, MergeAddsTheCountsAndKeepsTheFurthestPoint) {
    SearchEvidence first = SearchEvidence::Sized(3, 2);
    first.attempts = 2;
    first.draws = 40;
    first.refusals[static_cast<std::size_t>(Refusal::kTeacherBusy)] = 7;
    first.teacher_refusals[2] = 7;
    first.class_failures[3] = 5;
    first.attempts_ended[3] = 2;
    first.Reached(2, 30, 30);

    SearchEvidence second = SearchEvidence::Sized(3, 2);
    second.attempts = 1;
    second.draws = 10;
    second.refusals[static_cast<std::size_t>(Refusal::kTeacherBusy)] = 1;
    second.refusals[static_cast<std::size_t>(Refusal::kSlotDenied)] = 4;
    second.teacher_refusals[1] = 5;
    second.class_failures[3] = 1;
    second.joint_refusals[3] = 1;
    second.Reached(3, 4, 4);

    SearchEvidence total;  // an empty total takes the sizes of what it is given
    EXPECT_TRUE(total.empty());
    total.Merge(first);
    total.Merge(second);
    EXPECT_FALSE(total.empty());
    EXPECT_EQ(total.attempts, 3);
    EXPECT_EQ(total.draws, 50);
    EXPECT_EQ(total.Refused(Refusal::kTeacherBusy), 8);
    EXPECT_EQ(total.Refused(Refusal::kSlotDenied), 4);
    EXPECT_EQ(total.teacher_refusals, (std::vector<std::int64_t>{0, 5, 7}));
    EXPECT_EQ(total.class_failures, (std::vector<std::int64_t>{0, 0, 0, 6}));
    EXPECT_EQ(total.joint_refusals, (std::vector<std::int64_t>{0, 0, 0, 1}));
    EXPECT_EQ(total.attempts_ended, (std::vector<std::int64_t>{0, 0, 0, 2}));
    EXPECT_EQ(total.deepest_class, 3) << "a later class section is further than any position";
    EXPECT_EQ(total.deepest_position, 4);

    // Within one class section the deeper position wins, in either order.
    struct Case {
        int class1, position1, class2, position2, class_wanted, position_wanted;
    };
    for (const Case& c : {Case{2, 5, 2, 9, 2, 9}, Case{2, 9, 2, 5, 2, 9}, Case{4, 1, 3, 35, 4, 1},
                          Case{0, 0, 1, 3, 1, 3}}) {
        SearchEvidence a = SearchEvidence::Sized(4, 1);
        SearchEvidence b = SearchEvidence::Sized(4, 1);
        a.Reached(c.class1, c.position1, c.position1);
        b.Reached(c.class2, c.position2, c.position2);
        a.Merge(b);
        EXPECT_EQ(a.deepest_class, c.class_wanted) << c.class1 << "/" << c.class2;
        EXPECT_EQ(a.deepest_position, c.position_wanted) << c.position1 << "/" << c.position2;
        EXPECT_EQ(a.deepest_slot, c.position_wanted);
    }
}

// Two class sections under a last-hour limit of 1. Α1 has five teachers of two
// hours, one for each of its five last hours: it has a timetable. Α2 has two
// teachers of six hours, who can take only two of its five last hours: it
// never completes, and only the last-hour limit refuses anyone there.
struct LastHourSchool {
    TestSchool school{2, 7};
    LastHourSchool() {
        const char* teachers[] = {"",          "Αλεξίου",   "Βασιλείου", "Γεωργίου",
                                  "Δημητρίου", "Ευαγγέλου", "Ζαχαρίου",  "Ηλιόπουλος"};
        for (std::size_t t = 1; t <= 7; ++t) {
            school.in.teacher_names[t] = teachers[t];
        }
        school.in.class_names[1] = "Α1";
        school.in.class_names[2] = "Α2";
        for (int t = 1; t <= 5; ++t) {
            school.Teach(1, t, 2);
        }
        school.Teach(2, 6, 6).Teach(2, 7, 6);
    }
    RunParameters Parameters(int threads) const {
        RunParameters parameters;
        parameters.engines = SearchEngines::kRandom;  // what the randomised search saw
        parameters.options.last_hours_limit_on = true;
        parameters.options.last_hours_limit = 1;
        parameters.options.attempts_per_class = 1000;
        parameters.solutions_requested = 1;
        parameters.threads = threads;
        parameters.seed = 3;
        parameters.time_limit = std::chrono::milliseconds(250);
        return parameters;
    }
};

TEST(SearchEvidence, AnImpossibleSchoolAtTheTimeLimitNamesItsClassSectionAndRule) {
    const LastHourSchool fixture;
    const SolverInputs& inputs = fixture.school.in;
    for (const int threads : {1, 2}) {
        NoPages writer;
        RunEngine engine(inputs, fixture.school.ctx.rules, fixture.Parameters(threads), writer);
        const RunSummary summary = engine.Run();
        ASSERT_EQ(summary.end, RunEnd::kTimeLimit);
        EXPECT_EQ(summary.found, 0);
        const SearchEvidence& seen = summary.evidence;

        // Every worker's counts arrived: the attempts the engine counted as
        // they ended are exactly those in the evidence.
        EXPECT_EQ(seen.attempts, summary.attempts) << threads << " threads";
        EXPECT_GT(seen.class_failures.at(2), seen.class_failures.at(1));
        EXPECT_EQ(seen.attempts_ended.at(1), 0);
        EXPECT_EQ(seen.deepest_class, 2);
        EXPECT_EQ(seen.deepest_position, 10) << "two last hours placed, the third refused";
        EXPECT_EQ(seen.deepest_slot, 10);
        std::int64_t refused = 0;
        std::int64_t by_teacher = 0;
        for (std::size_t k = 1; k < kRefusalKinds; ++k) {
            refused += seen.refusals[k];
            EXPECT_LE(seen.refusals[k], seen.Refused(Refusal::kLastHoursFull)) << "rule " << k;
        }
        for (const std::int64_t n : seen.teacher_refusals) {
            by_teacher += n;
        }
        EXPECT_EQ(by_teacher, refused);
        EXPECT_LT(refused, seen.draws) << "placements are not refusals";

        const std::vector<std::string> lines = EvidenceLines(seen, inputs, {});
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[0].rfind("Το τμήμα που απέτυχε συχνότερα: Α2, ", 0), 0u) << lines[0];
        EXPECT_EQ(lines[1],
                  "Το πιο μακρινό σημείο που έφτασε: Α2 (2ο από τα 2 τμήματα στη σειρά "
                  "συμπλήρωσης), ώρα 10 από τις 12 (Παρασκευή 2η ώρα).");
        EXPECT_EQ(lines[3].rfind("1) " + RefusalText(Refusal::kLastHoursFull) + ": ", 0), 0u)
            << lines[3];
        const std::string teachers = lines.back();
        const std::string most = teachers.substr(teachers.find(": ") + 2);
        EXPECT_TRUE(most.rfind("Ζαχαρίου", 0) == 0 || most.rfind("Ηλιόπουλος", 0) == 0) << teachers;
    }
}

TEST(SearchEvidence, ARunThatFindsEverythingCarriesNone) {
    // Two teachers sharing five hours: ten timetables, more than asked for.
    TestSchool school(1, 2);
    school.Teach(1, 1, 3);
    school.Teach(1, 2, 2);
    RunParameters parameters;
    parameters.solutions_requested = 2;
    NoPages writer;
    RunEngine engine(school.in, school.ctx.rules, parameters, writer);
    const RunSummary summary = engine.Run();
    EXPECT_EQ(summary.end, RunEnd::kAllFound);
    EXPECT_TRUE(summary.evidence.empty());
    EXPECT_EQ(EvidenceMessage(summary.evidence, school.in, {}), "");
}

// Teacher T1 teaches five hours in each of two class sections, so at most
// once a day in each, and is refused every hour of Monday: the search never
// completes, and the refused slots are all T1's on Monday. Whether the school
// entered that as an absent day or as seven free hours decides the words.
TEST(SearchEvidence, RefusedSlotsAreWordedByTheRuleTheSchoolEntered) {
    TestSchool school(2, 7);
    for (int c = 1; c <= 2; ++c) {
        for (int t = 1; t <= 7; ++t) {
            school.Teach(c, t, 5);
        }
    }
    for (int s = 1; s <= kSlots; s += kDays) {
        school.ctx.rules.AddDeniedSlot(1, static_cast<std::uint8_t>(s));
    }
    RunParameters parameters;
    parameters.engines = SearchEngines::kRandom;
    parameters.solutions_requested = 1;
    parameters.threads = 2;
    parameters.seed = 5;
    parameters.time_limit = std::chrono::milliseconds(250);
    NoPages writer;
    RunEngine engine(school.in, school.ctx.rules, parameters, writer);
    const RunSummary summary = engine.Run();
    ASSERT_EQ(summary.end, RunEnd::kTimeLimit);
    const SearchEvidence& seen = summary.evidence;
    ASSERT_GT(seen.Refused(Refusal::kSlotDenied), 0);
    // Every refused slot was counted at its slot, and each is T1's on Monday.
    std::int64_t at_slots = 0;
    for (std::size_t i = 0; i < seen.denied_slot_refusals.size(); ++i) {
        if (seen.denied_slot_refusals[i] > 0) {
            EXPECT_EQ(i / kSlotColumns, 1u) << "slot index " << i;
            EXPECT_EQ(DayOfSlot(static_cast<int>(i % kSlotColumns)), 1) << "slot index " << i;
        }
        at_slots += seen.denied_slot_refusals[i];
    }
    EXPECT_EQ(at_slots, seen.Refused(Refusal::kSlotDenied));

    DeniedSlotRules absent_monday;
    absent_monday.AddAbsentDay(7, 1, 1);
    DeniedSlotRules free_hours_only;
    free_hours_only.absent_day.assign(8 * kSlotColumns, 0);
    struct Case {
        const char* name;
        const DeniedSlotRules* rules;
        DeniedSlotRule said;
    };
    const std::string all_rules[] = {DeniedSlotText(DeniedSlotRule::kAbsentDay),
                                     DeniedSlotText(DeniedSlotRule::kFreeHour),
                                     DeniedSlotText(DeniedSlotRule::kEither)};
    for (const Case& c : {Case{"absent day", &absent_monday, DeniedSlotRule::kAbsentDay},
                          Case{"free hours", &free_hours_only, DeniedSlotRule::kFreeHour}}) {
        const DeniedSlotCounts split = SplitDeniedSlots(seen, *c.rules);
        EXPECT_EQ(c.said == DeniedSlotRule::kAbsentDay ? split.absent_day : split.free_hour,
                  seen.Refused(Refusal::kSlotDenied))
            << c.name;
        EXPECT_EQ(split.either, 0) << c.name;
        const std::string message = EvidenceMessage(seen, school.in, *c.rules);
        for (const std::string& text : all_rules) {
            const bool expected = text == DeniedSlotText(c.said);
            EXPECT_EQ(message.find(") " + text + ": ") != std::string::npos, expected)
                << c.name << ": " << message;
        }
    }
}

TEST(RunMessages, TheSearchAtWorkShowsItsTimeAndAttempts) {
    struct Case {
        std::int64_t seconds, attempts;
        const char* line;
    };
    for (const Case& c :
         {Case{0, 0, "Χρόνος: 0:00:00   Προσπάθειες: 0"},
          Case{59, 12, "Χρόνος: 0:00:59   Προσπάθειες: 12"},
          Case{61, 3456, "Χρόνος: 0:01:01   Προσπάθειες: 3456"},
          Case{3 * 3600 + 59 * 60 + 7, 9876543210, "Χρόνος: 3:59:07   Προσπάθειες: 9876543210"},
          Case{-2, 1, "Χρόνος: 0:00:00   Προσπάθειες: 1"}}) {
        EXPECT_EQ(SearchProgressText(c.seconds, c.attempts), c.line);
    }
}

// A run without a timetable blames the data and the options only when the
// search ended by itself: a stop is the user's, a time limit is the clock's.
TEST(RunMessages, ARunWithoutATimetableIsWordedByHowItEnded) {
    const std::string blame = "Τα δεδομένα είναι αντιφατικά ή ανεπαρκή";
    struct Case {
        RunEnd end;
        const char* starts;
        bool blames_data;
    };
    for (const Case& c : {Case{RunEnd::kStopped,
                               "Η διαδικασία υπολογισμού λύσεων διακόπηκε από "
                               "εσένα πριν βρεθεί κάποια λύση.",
                               false},
                          Case{RunEnd::kTimeLimit,
                               "Δεν βρέθηκε λύση μέσα στον χρόνο που δόθηκε για τον υπολογισμό "
                               "λύσεων.",
                               false},
                          Case{RunEnd::kAllFound, "Το TAKTIRIO είναι κατασκευασμένο", true},
                          Case{RunEnd::kExhausted, "Το TAKTIRIO είναι κατασκευασμένο", true}}) {
        const std::string text = NoTimetableMessage(c.end);
        EXPECT_EQ(text.rfind(c.starts, 0), 0u) << text;
        EXPECT_EQ(text.find(blame) != std::string::npos, c.blames_data) << text;
    }
    EXPECT_NE(std::string(NoTimetableMessage(RunEnd::kTimeLimit))
                  .find("δεν σημαίνει ότι δεν "
                        "υπάρχουν λύσεις"),
              std::string::npos);
}

TEST(RunMessages, EvidenceInWordsWithNamesCountsAndShares) {
    SolverInputs inputs = SolverInputs::Sized(3, 6);
    inputs.class_names = {"", "Α1", "Β1", ""};
    inputs.teacher_names = {"", "Αλεξίου", "Βασιλείου", "Γεωργίου", "", "Ευαγγέλου", "Ζαχαρίου"};
    inputs.class_hours = {0, 35, 35, 33};

    SearchEvidence seen = SearchEvidence::Sized(3, 6);
    seen.attempts = 5;
    seen.draws = 1000;
    auto refuse = [&](Refusal rule, std::int64_t n) {
        seen.refusals[static_cast<std::size_t>(rule)] = n;
    };
    refuse(Refusal::kLastHoursFull, 500);
    refuse(Refusal::kTeacherBusy, 300);
    refuse(Refusal::kSlotDenied, 100);
    // Teacher 2 is absent on Tuesday (slot 2 is Tuesday's first hour) and
    // must be free at Monday's first hour (slot 1): 60 and 40 refusals.
    DeniedSlotRules absent_tuesday;
    absent_tuesday.AddAbsentDay(6, 2, 2);
    for (int i = 0; i < 60; ++i) {
        seen.DeniedAt(2, 2 + kDays);
    }
    for (int i = 0; i < 40; ++i) {
        seen.DeniedAt(2, 1);
    }
    refuse(Refusal::kDayHoursFull, 50);
    refuse(Refusal::kTooManyInARow, 50);  // a fifth rule: not shown
    seen.teacher_refusals = {0, 10, 500, 0, 300, 100, 90};
    seen.class_failures = {0, 10, 4000, 0};
    seen.joint_refusals = {0, 0, 12, 0};
    seen.attempts_ended = {0, 0, 5, 0};
    seen.Reached(2, 27, 32);

    const std::vector<std::string> expected = {
        "Το τμήμα που απέτυχε συχνότερα: Β1, που ξεκίνησε και δεν συμπληρώθηκε 4000 φορές "
        "(12 φορές συμπληρώθηκε αλλά δεν ταίριαζαν τα μαθήματα διδασκόντων σε δύο τμήματα την "
        "ίδια ώρα)· εκεί εγκαταλείφθηκαν 5 από τις 5 προσπάθειες.",
        "Το πιο μακρινό σημείο που έφτασε: Β1 (2ο από τα 3 τμήματα στη σειρά συμπλήρωσης), ώρα 27 "
        "από τις 35 (Τρίτη 7η ώρα).",
        "Οι κανόνες που απέρριψαν τους περισσότερους υποψήφιους διδάσκοντες (1000 απορρίψεις σε "
        "1000 δοκιμές):",
        "1) μέγιστος αριθμός τοποθετήσεων καθηγητή στις τελευταίες ώρες σε μιαν εβδομάδα "
        "(περιορισμός του υπολογισμού λύσεων): 500 φορές (50%)",
        "2) ο διδάσκων διδάσκει την ίδια ώρα σε άλλο τμήμα: 300 φορές (30%)",
        "3) ημέρα στην οποία ο διδάσκων απουσιάζει: 60 φορές (6%)",
        "4) μέγιστος αριθμός ωρών διδασκαλίας ενός καθηγητή σε μια μέρα (περιορισμός του "
        "υπολογισμού λύσεων): 50 φορές (5%)",
        "Οι διδάσκοντες που απορρίφθηκαν συχνότερα: Βασιλείου (500 φορές), διδάσκων 4 (300 "
        "φορές), Ευαγγέλου (100 φορές), Ζαχαρίου (90 φορές), Αλεξίου (10 φορές).",
    };
    EXPECT_EQ(EvidenceLines(seen, inputs, absent_tuesday), expected);

    std::string message = "Τι συνάντησε η αναζήτηση λύσεων:";
    for (const std::string& line : expected) {
        message += "\r" + line;
    }
    EXPECT_EQ(EvidenceMessage(seen, inputs, absent_tuesday), message);

    // Without the school's data the refused slots are worded as either rule.
    EXPECT_EQ(EvidenceLines(seen, inputs, {})[5],
              "3) ημέρα που ο διδάσκων απουσιάζει ή ώρα που πρέπει να είναι ελεύθερος: 100 "
              "φορές (10%)");

    // A class section without a name is named by its number.
    seen.Reached(3, 1, 1);
    EXPECT_EQ(EvidenceLines(seen, inputs, {})[1],
              "Το πιο μακρινό σημείο που έφτασε: τμήμα 3 (3ο από τα 3 τμήματα στη σειρά "
              "συμπλήρωσης), ώρα 1 από τις 33 (Δευτέρα 1η ώρα).");

    // Stopped before any start failed or any candidate was refused.
    SearchEvidence early = SearchEvidence::Sized(3, 6);
    early.attempts = 1;
    early.draws = 3;
    early.Reached(1, 4, 4);
    const std::vector<std::string> few = EvidenceLines(early, inputs, {});
    ASSERT_EQ(few.size(), 2u);
    EXPECT_EQ(few[0],
              "Κανένα τμήμα δεν έμεινε ασυμπλήρωτο: η αναζήτηση διακόπηκε πριν αποτύχει κάποια "
              "προσπάθεια.");
    EXPECT_TRUE(EvidenceLines(SearchEvidence::Sized(3, 6), inputs, {}).empty());
}

}  // namespace
}  // namespace taktirio
