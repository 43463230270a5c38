// The run window during a run of 254 solutions of the demo school, offscreen:
// how long the window's event loop waits at worst between two turns while the
// search's news arrives, and how long the whole run takes through the window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "data/database/database.h"
#include "data/exchange/exchange.h"
#include "data/exchange/school_document.h"
#include "data/run/run_sequence.h"
#include "data/shell/startup.h"
#include "gui/common/asker.h"
#include "gui/common/desktop.h"
#include "gui/common/program_context.h"
#include "gui/run/run_window.h"

namespace {

using namespace taktirio;
using namespace taktirio::gui;

// Every question answered Yes (the previous pages go), nothing shown.
class YesAsker : public Asker {
  public:
    void Error(QWidget*, const QString&) override {}
    void Inform(QWidget*, const QString&) override {}
    bool Confirm(QWidget*, const QString&) override { return true; }
};

class InertDesktop : public Desktop {
  public:
    bool OpenUrl(const QUrl&) override { return true; }
    QString FindProgram(const QString&) override { return {}; }
    bool StartProgram(const QString&, const QStringList&) override { return false; }
};

// The demo school imported and prepared in a program directory of its own.
struct Demo {
    QTemporaryDir dir;
    YesAsker asker;
    InertDesktop desktop;
    ProgramContext context;
    std::shared_ptr<data::RunSequence> sequence;

    Demo() : context{data::PathsFor(dir.path()), &asker, &desktop, {}} {
        data::CheckProgramDirectory(dir.path());
        {
            const data::Database entry = data::Database::Open(context.paths.entry_database);
            const data::SchoolDocument document = data::ParseSchoolDocument(
                data::ReadSchoolFile(QStringLiteral(TAKTIRIO_EXAMPLES_DIR "/demo-gymnasium.json")));
            data::RegisterSchool(entry.connection(), document.name, document.responsible);
            context.school = data::Login(entry.connection());
            data::ImportSchool({entry.connection(), context.school}, document);
        }
        sequence = std::make_shared<data::RunSequence>(context.paths);
        sequence->Prepare();
    }
};

// One run of 254 solutions per iteration, started with the window's start
// button. Counter max_wait_ms: the longest time between two turns of the
// window's event loop, over every run.
void BM_RunWindow254(benchmark::State& state) {
    Demo demo;
    RunWindow window(&demo.context, demo.sequence);
    window.show();
    window.findChild<QLineEdit*>(QStringLiteral("DBEdit1"))->setText(QStringLiteral("254"));
    auto* start = window.findChild<QPushButton*>(QStringLiteral("Button1"));
    double worst_ms = 0;
    for (auto _ : state) {
        QEventLoop loop;
        QElapsedTimer since_last_turn;
        QTimer turn;  // fires on every turn of the loop that has nothing else to do
        turn.setInterval(0);
        QObject::connect(&turn, &QTimer::timeout, &loop, [&] {
            worst_ms =
                std::max(worst_ms, static_cast<double>(since_last_turn.nsecsElapsed()) / 1e6);
            since_last_turn.restart();
        });
        QObject::connect(&window, &RunWindow::runEnded, &loop, &QEventLoop::quit);
        since_last_turn.start();
        turn.start();
        start->click();
        loop.exec();
    }
    state.counters["max_wait_ms"] = worst_ms;
}
BENCHMARK(BM_RunWindow254)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
