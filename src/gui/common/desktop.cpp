#include "gui/common/desktop.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace taktirio::gui {

bool SystemDesktop::OpenUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

QString SystemDesktop::FindProgram(const QString& name) {
    return QStandardPaths::findExecutable(name);
}

bool SystemDesktop::StartProgram(const QString& path, const QStringList& arguments) {
    return QProcess::startDetached(path, arguments);
}

}  // namespace taktirio::gui
