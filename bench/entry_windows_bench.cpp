// Opening and refreshing the allocation and pinned-lessons windows of a school
// at its limits: 255 class sections, 245 teachers and 10 pairs (255 in all),
// 2 550 allocation rows (ten per class, 50 hours a week each) and 2 550 pinned
// lessons (ten per class), offscreen, on a real entry file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QTableView>
#include <QTemporaryDir>
#include <memory>

#include "data/database/database.h"
#include "data/entry/windows.h"
#include "data/exchange/exchange.h"
#include "data/shell/startup.h"
#include "gui/common/asker.h"
#include "gui/common/program_context.h"
#include "gui/forms/entry_window.h"
#include "gui/forms/entry_windows.h"

namespace {

using namespace taktirio;

constexpr int kClasses = 255;
constexpr int kSingles = 245;
constexpr int kPairs = 10;
constexpr int kRowsPerClass = 10;

class SilentAsker : public gui::Asker {
  public:
    void Error(QWidget*, const QString&) override {}
    void Inform(QWidget*, const QString&) override {}
    bool Confirm(QWidget*, const QString&) override { return false; }
};

data::SchoolDocument School() {
    data::SchoolDocument d;
    d.name = QStringLiteral("School");
    d.responsible = QStringLiteral("Responsible");
    for (int c = 1; c <= kClasses; ++c) {
        d.classes.append(QStringLiteral("Τμήμα %1").arg(c));
    }
    for (int t = 1; t <= kSingles; ++t) {
        d.teachers.append(QStringLiteral("Διδάσκων %1").arg(t));
    }
    QStringList everyone = d.teachers;
    for (int p = 0; p < kPairs; ++p) {
        d.pairs.append({d.teachers[2 * p], d.teachers[2 * p + 1]});
        everyone.append(d.teachers[2 * p] + u'+' + d.teachers[2 * p + 1]);
    }
    const auto count = static_cast<int>(everyone.size());
    for (int c = 0; c < kClasses; ++c) {
        for (int k = 0; k < kRowsPerClass; ++k) {
            const QString& teacher = everyone[(c * kRowsPerClass + k) % count];
            d.allocation.append({d.classes[c], teacher, 3, 1});  // 5 hours, 50 a class
            d.pinned.append({d.classes[c], teacher, 1 + k % 5, 1 + k / 5});
        }
    }
    return d;
}

// A program directory with the school imported, and its context.
struct Fixture {
    Fixture() : context{data::PathsFor(dir.path()), &asker, nullptr, {}} {
        const data::Database working = data::Database::Open(context.paths.working_database);
        const data::Database entry = data::Database::Open(context.paths.entry_database);
        data::RegisterSchool(entry.connection(), QStringLiteral("School"),
                             QStringLiteral("Responsible"));
        context.school = data::Login(entry.connection());
        data::ImportSchool({entry.connection(), context.school}, School());
    }

    QTemporaryDir dir;
    SilentAsker asker;
    gui::ProgramContext context;
};

Fixture& SharedFixture() {
    static Fixture fixture;
    return fixture;
}

QComboBox* ClassList(gui::DataEntryWindow* window) {
    return window->findChild<QComboBox*>(QStringLiteral("ClassList"));
}

// The rows the window's grid holds, reported with the figures.
double GridRows(gui::DataEntryWindow* window) {
    return window->findChild<QTableView*>(QStringLiteral("DBGrid1"))->model()->rowCount();
}

// Opening the allocation window (both pick lists filled) and choosing a class.
void BM_OpenAllocationWindow(benchmark::State& state) {
    Fixture& fixture = SharedFixture();
    for (auto _ : state) {
        std::unique_ptr<gui::DataEntryWindow> window(
            gui::MakeEntryWindow(data::EntryWindow::kAllocation, &fixture.context));
        window->show();
        ClassList(window.get())->setCurrentIndex(kClasses / 2);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OpenAllocationWindow)->Unit(benchmark::kMillisecond);

// Choosing another class in an open allocation window: list, count and total.
void BM_RefreshAllocationWindow(benchmark::State& state) {
    Fixture& fixture = SharedFixture();
    std::unique_ptr<gui::DataEntryWindow> window(
        gui::MakeEntryWindow(data::EntryWindow::kAllocation, &fixture.context));
    window->show();
    int next = 0;
    for (auto _ : state) {
        ClassList(window.get())->setCurrentIndex(next);
        next = (next + 1) % kClasses;
    }
    state.counters["rows"] = GridRows(window.get());
}
BENCHMARK(BM_RefreshAllocationWindow)->Unit(benchmark::kMicrosecond);

// Opening the pinned-lessons window: its pick lists and all 2 550 rows.
void BM_OpenPinnedWindow(benchmark::State& state) {
    Fixture& fixture = SharedFixture();
    for (auto _ : state) {
        std::unique_ptr<gui::DataEntryWindow> window(
            gui::MakeEntryWindow(data::EntryWindow::kPinned, &fixture.context));
        window->show();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OpenPinnedWindow)->Unit(benchmark::kMillisecond);

// Refreshing the pinned-lessons window, as after every insert or delete.
void BM_RefreshPinnedWindow(benchmark::State& state) {
    Fixture& fixture = SharedFixture();
    std::unique_ptr<gui::DataEntryWindow> window(
        gui::MakeEntryWindow(data::EntryWindow::kPinned, &fixture.context));
    window->show();
    for (auto _ : state) {
        window->refresh();
    }
    state.counters["rows"] = GridRows(window.get());
}
BENCHMARK(BM_RefreshPinnedWindow)->Unit(benchmark::kMillisecond);

// All eleven windows open at once.
void BM_OpenAllElevenWindows(benchmark::State& state) {
    Fixture& fixture = SharedFixture();
    for (auto _ : state) {
        std::vector<std::unique_ptr<gui::DataEntryWindow>> windows;
        for (int w = 0; w <= static_cast<int>(data::EntryWindow::kApart); ++w) {
            windows.emplace_back(
                gui::MakeEntryWindow(static_cast<data::EntryWindow>(w), &fixture.context));
            windows.back()->show();
        }
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OpenAllElevenWindows)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Windows need a display; these are measured offscreen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
