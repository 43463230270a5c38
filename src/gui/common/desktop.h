#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace taktirio::gui {

// What the program asks of the desktop it runs on: opening a folder, a web or
// mail address or a call link with the system's default handler, and starting
// another program. Tests put a recording fake in its place.
class Desktop {
  public:
    virtual ~Desktop() = default;
    virtual bool OpenUrl(const QUrl& url) = 0;
    // The full path of an executable found on the search path; empty when none.
    virtual QString FindProgram(const QString& name) = 0;
    // Starts a program detached from this one; false when it cannot start.
    virtual bool StartProgram(const QString& path, const QStringList& arguments) = 0;
};

// The real desktop: QDesktopServices, QStandardPaths, QProcess.
class SystemDesktop : public Desktop {
  public:
    bool OpenUrl(const QUrl& url) override;
    QString FindProgram(const QString& name) override;
    bool StartProgram(const QString& path, const QStringList& arguments) override;
};

}  // namespace taktirio::gui
