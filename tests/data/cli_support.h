#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace taktirio::data::testing {

// What one run of taktirio-cli left behind.
struct CliResult {
    int code = -1;
    QString out;
    QString err;
};

// Runs the built taktirio-cli with the arguments; code -1 when it did not end
// within the time given.
inline CliResult RunCli(const QStringList& arguments, int timeout_ms = 120000) {
    QProcess process;
    process.start(QStringLiteral(TAKTIRIO_CLI_PATH), arguments);
    if (!process.waitForFinished(timeout_ms)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

inline const QString kDemoSchoolFile = QStringLiteral(TAKTIRIO_EXAMPLES_DIR "/demo-gymnasium.json");

}  // namespace taktirio::data::testing
