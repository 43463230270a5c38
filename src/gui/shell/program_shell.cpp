#include "gui/shell/program_shell.h"

#include <QDir>
#include <QFileInfo>

#include "data/database/database.h"
#include "data/database/errors.h"
#include "data/shell/startup.h"
#include "gui/common/asker.h"
#include "gui/common/look.h"
#include "gui/common/program_context.h"
#include "gui/shell/login_window.h"
#include "gui/shell/main_window.h"
#include "gui/shell/startup_window.h"

namespace taktirio::gui {

namespace {

// The database message, with the data layer's own words on a file it refuses.
QString DatabaseMessage(const data::DataError& error) {
    const QString general = U(data::kDatabaseProblemMessage);
    return error.message() == general ? general : general + u'\r' + error.message();
}

}  // namespace

ProgramShell::ProgramShell(ProgramContext* context, QObject* parent)
    : QObject(parent), context_(context) {}

ProgramShell::~ProgramShell() {
    delete main_;
    delete login_;
    delete startup_;
}

StartupWindow* ProgramShell::startupWindow() const {
    return startup_;
}

LoginWindow* ProgramShell::loginWindow() const {
    return login_;
}

MainWindow* ProgramShell::mainWindow() const {
    return main_;
}

bool ProgramShell::Start(QSize screen) {
    context_->asker->Inform(nullptr, U(kImportantInformationMessage));
    // The display mode is never changed: the windows are laid out to fit any
    // screen of 1024 x 768 or more; a smaller one is told so.
    if (screen.width() < 1024 || screen.height() < 768) {
        context_->asker->Inform(nullptr, U(kSmallScreenMessage));
    }
    if (!CheckDirectory()) {
        return false;
    }
    startup_ = new StartupWindow(context_->desktop);
    connect(startup_, &StartupWindow::okPressed, this, &ProgramShell::continueFromStartup);
    connect(startup_, &QDialog::rejected, this, [this] { emit finished(0); });
    startup_->show();
    return true;
}

bool ProgramShell::OfferToCreateDirectory() {
    const QString directory = context_->paths.directory;
    if (QFileInfo(directory).exists()) {
        return true;
    }
    const QString shown = QDir::fromNativeSeparators(directory);
    if (!context_->asker->Confirm(nullptr, U(kCreateDirectoryQuestion).arg(shown))) {
        return false;
    }
    if (!QDir().mkpath(directory)) {
        context_->asker->Error(nullptr, U(kDirectoryNotCreatedMessage).arg(shown));
        return false;
    }
    return true;
}

bool ProgramShell::CheckDirectory() {
    if (!OfferToCreateDirectory()) {
        return false;
    }
    if (const QString problem = data::ProgramDirectoryProblem(context_->paths.directory);
        !problem.isEmpty()) {
        context_->asker->Error(nullptr, problem);
        return false;
    }
    // A working database that is not ours or is damaged stops the program
    // before anything could write to it; the entry database is checked when
    // the login opens it.
    try {
        if (QFileInfo::exists(context_->paths.working_database)) {
            data::CheckDatabaseFile(context_->paths.working_database);
        }
    } catch (const data::DataError& error) {
        context_->asker->Error(nullptr, DatabaseMessage(error));
        return false;
    }
    return true;
}

void ProgramShell::continueFromStartup() {
    if (continued_) {
        startup_->hide();
        emit finished(0);
        return;
    }
    continued_ = true;
    startup_->hide();
    openLogin();
}

void ProgramShell::openLogin() {
    int schools = 0;
    try {
        const data::Database entry = data::Database::Open(context_->paths.entry_database);
        schools = data::RegisteredSchoolCount(entry.connection());
    } catch (const data::DataError& error) {
        context_->school.clear();
        context_->asker->Error(nullptr, DatabaseMessage(error));
        emit finished(1);
        return;
    }
    login_ = new LoginWindow(context_);
    login_->showOffer(data::OfferFor(schools));
    connect(login_, &LoginWindow::loggedIn, this, &ProgramShell::openMainWindow);
    connect(login_, &LoginWindow::left, this, [this] {
        login_->hide();
        login_->deleteLater();
        backToStartup();
    });
    login_->show();
}

void ProgramShell::openMainWindow() {
    main_ = new MainWindow(context_);
    connect(main_, &MainWindow::left, this, [this] {
        main_->hide();
        backToStartup();
    });
    main_->show();
}

void ProgramShell::backToStartup() {
    if (startup_ != nullptr) {
        startup_->show();
    }
}

}  // namespace taktirio::gui
