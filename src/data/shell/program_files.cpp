#include "data/shell/program_files.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include "data/database/schema.h"
#include "data/reports/work_tables.h"
#include "data/shell/program_lock.h"

namespace taktirio::data {

namespace {

// The folder of `path` resolved, and the file's name in it.
QString Resolved(const QString& path) {
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty()) {
        return QDir::cleanPath(info.absoluteFilePath());
    }
    return QDir(folder).filePath(info.fileName());
}

QStringList DatabaseFileNames() {
    QStringList names;
    for (const char* database : {kEntryDatabaseFile, kWorkingDatabaseFile, kReportDatabaseFile}) {
        const QString name = QString::fromLatin1(database);
        for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
            names.append(name + QLatin1String(suffix));
        }
    }
    names.append(QString::fromLatin1(kProgramLockFile));
    return names;
}

// SOLUTION3.htm, a page's temporary file .SOLUTION3.htm.<unique>.tmp, and a
// previous page a run keeps aside until its first page, .SOLUTION3.htm.previous.
bool IsPageName(const QString& name) {
    static const QRegularExpression kPage(
        QStringLiteral("^(SOLUTION[0-9]+\\.htm|\\.SOLUTION[0-9]+\\.htm\\.(.*\\.tmp|previous))$"));
    return kPage.match(name).hasMatch();
}

}  // namespace

QString FileWrittenAt(const QString& path) {
    QFileInfo info(path);
    // A loop of links ends somewhere; so does this walk.
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth) {
        info.setFile(info.symLinkTarget());
    }
    return Resolved(info.filePath());
}

bool IsProgramFile(const QString& directory, const QString& path) {
    const QString program = QFileInfo(directory).canonicalFilePath();
    if (program.isEmpty()) {
        return false;  // no such directory: it holds no files
    }
    const QFileInfo target(FileWrittenAt(path));
    const QString folder = target.absolutePath();
    if (folder == program) {
        return DatabaseFileNames().contains(target.fileName());
    }
    // SOLUTIONS/<user>/<page>
    const QString solutions = QDir(program).filePath(QStringLiteral("SOLUTIONS"));
    const QString canonical_solutions = QFileInfo(solutions).canonicalFilePath();
    const QString parent = QFileInfo(folder).absolutePath();
    return IsPageName(target.fileName()) &&
           (parent == solutions ||
            (!canonical_solutions.isEmpty() && parent == canonical_solutions));
}

bool IsInProgramDirectory(const QString& directory, const QString& path) {
    const QString program = QFileInfo(directory).canonicalFilePath();
    return !program.isEmpty() && FileWrittenAt(path).startsWith(program + u'/');
}

bool IsSpecialFile(const QString& path) {
    const QFileInfo info(FileWrittenAt(path));
    return info.exists() && !info.isFile();
}

}  // namespace taktirio::data
