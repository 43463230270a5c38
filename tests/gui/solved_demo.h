#pragma once

// What the window tests that read solution pages share: the demo school
// solved by the built taktirio-cli, and a file choice answered from a list.
// A test that includes this defines TAKTIRIO_CLI_PATH and
// TAKTIRIO_EXAMPLES_DIR.

#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "gui/reports/solution_choice.h"

namespace taktirio::gui::testing {

// Imports the demo school into `dir` and solves one timetable (seed 7, one
// thread). Returns the page's path; empty, with `error` set, when a step
// failed.
inline QString SolveDemoInto(const QString& dir, QString& error) {
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("import"),
                      QStringLiteral(TAKTIRIO_EXAMPLES_DIR "/demo-gymnasium.json"),
                      QStringLiteral("--dir"), dir},
          QStringList{QStringLiteral("solve"), QStringLiteral("-n"), QStringLiteral("1"),
                      QStringLiteral("--seed"), QStringLiteral("7"), QStringLiteral("--threads"),
                      QStringLiteral("1"), QStringLiteral("--dir"), dir}}) {
        QProcess process;
        process.start(QStringLiteral(TAKTIRIO_CLI_PATH), arguments);
        if (!process.waitForFinished(120000) || process.exitCode() != 0) {
            error = arguments.front() + QStringLiteral(": ") +
                    QString::fromUtf8(process.readAllStandardError());
            return {};
        }
    }
    const QString page = QDir(dir).filePath(QStringLiteral("SOLUTIONS/HOMEBASE/SOLUTION1.htm"));
    if (!QFile::exists(page)) {
        error = QStringLiteral("no page ") + page;
        return {};
    }
    return page;
}

// Answers the file choice from a list (empty = cancelled) and records where
// each choice started.
class ScriptedChooser : public SolutionChooser {
  public:
    QString Choose(QWidget*, const QString& folder) override {
        folders.append(folder);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers;
    QStringList folders;
};

}  // namespace taktirio::gui::testing
