#include "gui/shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QUrl>
#include <QVBoxLayout>

#include "data/checks/presolve.h"
#include "data/database/database.h"
#include "data/database/errors.h"
#include "gui/common/asker.h"
#include "gui/common/desktop.h"
#include "gui/common/link_label.h"
#include "gui/common/look.h"
#include "gui/common/maker.h"
#include "gui/common/program_context.h"
#include "gui/shell/about_window.h"
#include "gui/shell/calendar_window.h"
#include "gui/shell/utilities.h"

namespace taktirio::gui {

namespace {

QLabel* WhiteLabel(QWidget* parent, const char* object_name, const QString& text, bool bold) {
    QLabel* label = MakeLabel(parent, object_name, text);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    return label;
}

LinkLabel* Link(QWidget* parent, const char* object_name, const char* text, const QUrl& target,
                Desktop* desktop) {
    return new LinkLabel(object_name, QString::fromLatin1(text), target, desktop, parent);
}

}  // namespace

MainWindow::MainWindow(ProgramContext* context, QWidget* parent)
    : QMainWindow(parent), context_(context) {
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QString::fromUtf8(data::kProgramTitle));
    PaintBackground(this, kPanelBlue);
    auto* centre = new QWidget(this);
    auto* grid = new QGridLayout(centre);
    // The panel stays in the middle of the window at any size.
    grid->addWidget(createPanel(), 1, 1);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    setCentralWidget(centre);
    createMenus();
}

QWidget* MainWindow::createPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setMinimumSize(769, 313);
    Desktop* desktop = context_->desktop;
    auto* column = new QVBoxLayout(panel);
    column->addWidget(MakeProductName(panel, "Label1", true));
    QLabel* version = WhiteLabel(panel, "Label10", QString::fromLatin1(kVersionText), true);
    version->setAlignment(Qt::AlignCenter);
    column->addWidget(version);
    column->addSpacing(12);

    auto* links = new QGridLayout;
    links->addWidget(WhiteLabel(panel, "Label2", QStringLiteral("Websites:"), true), 0, 0,
                     Qt::AlignTop);
    links->addWidget(Link(panel, "Label5", kWebSite, QUrl(QString::fromLatin1(kWebSite)), desktop),
                     0, 1);
    links->addWidget(
        Link(panel, "Label12", kHelpSite, QUrl(QString::fromLatin1(kHelpSite)), desktop), 1, 1);
    links->addWidget(
        Link(panel, "Label7", kNewsSite, QUrl(QString::fromLatin1(kNewsSite)), desktop), 2, 1);
    links->addWidget(WhiteLabel(panel, "Label3", QStringLiteral("E-mail:"), true), 3, 0);
    links->addWidget(
        Link(panel, "Label4", kMailAddress,
             QUrl(QStringLiteral("mailto:") + QString::fromLatin1(kMailAddress)), desktop),
        3, 1);
    // The two pictures: a telephone that starts a call and the program's
    // emblem that opens its page.
    auto* call = new LinkLabel("Image1", QString(QChar(0x260E)),
                               QUrl(QStringLiteral("tel:") + QString::fromLatin1(kPhoneNumber)),
                               desktop, panel);
    call->setToolTip(QStringLiteral("Click to Call"));
    call->setLightsUp(false);
    QFont phone = call->font();
    phone.setUnderline(false);
    phone.setPixelSize(40);
    call->setFont(phone);
    QPalette white = call->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    call->setPalette(white);
    auto* emblem = new LinkLabel("Image7", {}, QUrl(QString::fromLatin1(kWebSite)), desktop, panel);
    emblem->setLightsUp(false);
    emblem->setPixmap(ProgramIcon().pixmap(48, 48));
    auto* pictures = new QHBoxLayout;
    pictures->addWidget(call);
    pictures->addSpacing(16);
    pictures->addWidget(emblem);
    pictures->addStretch();
    links->addLayout(pictures, 4, 1);
    links->setColumnStretch(2, 1);
    auto* links_row = new QHBoxLayout;
    links_row->addStretch();
    links_row->addLayout(links);
    links_row->addStretch();
    column->addLayout(links_row);
    column->addStretch();
    QLabel* notice = WhiteLabel(
        panel, "Label11",
        U("Το πρόγραμμα διανέμεται ως έχει, χωρίς καμία εγγύηση. Κράτα αντίγραφα των βάσεων "
          "δεδομένων."),
        false);
    notice->setAlignment(Qt::AlignCenter);
    column->addWidget(notice);
    return panel;
}

void MainWindow::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu2"));
    // The menu bar keeps the system's colours over the blue window.
    QPalette system = QApplication::palette();
    system.setColor(QPalette::Window, system.color(QPalette::Window));
    bar->setPalette(system);
    bar->setAutoFillBackground(true);
    bar->addMenu(createDataMenu());
    QAction* teacher_view = bar->addAction(U("Αναλυτική ει&κόνα του διδάσκοντος"));
    teacher_view->setObjectName(QStringLiteral("N15"));
    connect(teacher_view, &QAction::triggered, this,
            [this] { openWindow(MenuWindow::kTeacherView); });
    bar->addMenu(createSolutionsMenu());
    QAction* calendar = bar->addAction(U("&Ημερολογιακά"));
    calendar->setObjectName(QStringLiteral("Calendar1"));
    connect(calendar, &QAction::triggered, this, &MainWindow::openCalendar);
    bar->addMenu(createUtilitiesMenu());
    QAction* about = bar->addAction(QStringLiteral("A&bout"));
    about->setObjectName(QStringLiteral("N8"));
    connect(about, &QAction::triggered, this, &MainWindow::openAbout);
    QAction* exit = bar->addAction(U("Έξο&δος"));
    exit->setObjectName(QStringLiteral("N1"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

QAction* MainWindow::addItem(QMenu* menu, const char* object_name, const QString& caption,
                             MenuWindow window) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(object_name));
    connect(action, &QAction::triggered, this, [this, window] { openWindow(window); });
    return action;
}

QMenu* MainWindow::createDataMenu() {
    auto* menu = new QMenu(U("&Επεξεργασία δεδομένων"), this);
    menu->setObjectName(QStringLiteral("DataMenu"));
    addItem(menu, "N11", U("&1. Καταχώρηση - Παρουσίαση - Διαγραφή τμημάτων"),
            MenuWindow::kClasses);
    addItem(menu, "N21", U("&2. Καταχώρηση - Παρουσίαση - Διαγραφή διδακτικού προσωπικού"),
            MenuWindow::kTeachers);
    addItem(menu, "N31", U("&3. Καταχώρηση - Παρουσίαση - Διαγραφή ζεύγους διδασκόντων"),
            MenuWindow::kTeacherPairs);
    // "Kατανομή" with a Latin capital K, as the menu always showed it.
    addItem(menu, "N4Katattaddasaastddatpsp1",
            U("&4. Kατανομή τμημάτων και ωρών διδασκαλίας στο διδακτικό προσωπικό"),
            MenuWindow::kAllocation);
    menu->addSeparator();
    QAction* eight_hours = menu->addAction(U("&5. Μέρες με 8 ωρο"));
    eight_hours->setObjectName(QStringLiteral("N5ee81"));
    connect(eight_hours, &QAction::triggered, this, &MainWindow::openEightHourDays);
    addItem(menu, "N61",
            U("&6. Υποχρεωτική τοποθέτηση διδάσκοντος σε συγκεκριμένο τμήμα και συγκεκριμένη "
              "μέρα και ώρα της εβδομάδας"),
            MenuWindow::kPinnedLessons);
    addItem(menu, "N71", U("&7. Διδάσκοντες που δεν έρχονται σε συγκεκριμένες μέρες"),
            MenuWindow::kAbsentDays);
    addItem(menu, "N81",
            U("&8. Υποχρεωτικές κενές ώρες των διδασκόντων (κοινές κενές) και επιθυμητές κενές "
              "ώρες"),
            MenuWindow::kFreeHours);
    addItem(menu, "N9dstesedtatatdaapatfsap1",
            U("&9. Διδάσκοντες σε δυο τμήματα την ίδια ώρα (πχ Καθηγητές σωματικής αγωγής, κλπ)"),
            MenuWindow::kTwoClassTeachers);
    addItem(menu, "N101", U("1&0. Χωρισμός μαθήματος"), MenuWindow::kLessonSplit);
    addItem(menu, "N111",
            U("11. &Ζεύγος διδασκόντων που όταν ο ένας διδάσκει ο άλλος υποχρεωτικά έχει κενή ώρα"),
            MenuWindow::kExclusivePairs);
    return menu;
}

QMenu* MainWindow::createSolutionsMenu() {
    auto* menu = new QMenu(U("Λύ&σεις"), this);
    menu->setObjectName(QStringLiteral("SolutionsMenu"));
    addItem(menu, "N3", U("Εύρεση - υπολογισμός &λύσεων"), MenuWindow::kSolve);
    menu->addSeparator();
    QAction* show = menu->addAction(U("Εμ&φάνιση προηγούμενων λύσεων"));
    show->setObjectName(QStringLiteral("N6"));
    connect(show, &QAction::triggered, this, &MainWindow::showPreviousSolutions);
    QAction* print = menu->addAction(U("Εκτύ&πωση λύσεων"));
    print->setObjectName(QStringLiteral("N2"));
    connect(print, &QAction::triggered, this, &MainWindow::printSolutions);
    QAction* edit = menu->addAction(U("Διόρ&θωση λύσης"));
    edit->setObjectName(QStringLiteral("NEdit"));
    connect(edit, &QAction::triggered, this, &MainWindow::editSolution);
    menu->addSeparator();
    QAction* free = menu->addAction(U("&Διδάσκοντες που έχουν κενή ώρα"));
    free->setObjectName(QStringLiteral("N10"));
    connect(free, &QAction::triggered, this, &MainWindow::freeHourTeachers);
    return menu;
}

QMenu* MainWindow::createUtilitiesMenu() {
    auto* menu = new QMenu(QStringLiteral("Windows &utilities"), this);
    menu->setObjectName(QStringLiteral("UtilitiesMenu"));
    for (const UtilityItem& item : UtilityItems()) {
        QAction* action = menu->addAction(item.caption);
        action->setObjectName(QString::fromLatin1(item.object_name));
        connect(action, &QAction::triggered, this, [this, item] { startUtility(item); });
    }
    return menu;
}

void MainWindow::openWindow(MenuWindow window) {
    OpenMenuWindow(window, context_, this);
}

void MainWindow::openEightHourDays() {
    bool allowed = false;
    try {
        const data::Database entry = data::Database::Open(context_->paths.entry_database);
        allowed = data::EightHourDaysAllowed({entry.connection(), context_->school});
    } catch (const data::DataError&) {
        allowed = false;
    }
    if (!allowed) {
        context_->asker->Inform(this, U(data::kEightHourDaysUnavailableMessage));
        return;
    }
    openWindow(MenuWindow::kEightHourDays);
}

QString MainWindow::solutionsFolder() const {
    return QDir(context_->paths.solutions).filePath(context_->school);
}

bool MainWindow::solutionsFolderExists() {
    if (QDir(solutionsFolder()).exists()) {
        return true;
    }
    context_->asker->Inform(this, U(kNoPreviousSolutionsMessage));
    return false;
}

void MainWindow::showPreviousSolutions() {
    if (!solutionsFolderExists()) {
        return;
    }
    if (!context_->desktop->OpenUrl(QUrl::fromLocalFile(solutionsFolder()))) {
        context_->asker->Error(this, U(kSolutionsNotShownMessage) + solutionsFolder());
    }
}

void MainWindow::printSolutions() {
    if (!solutionsFolderExists()) {
        return;
    }
    // Maximised behind the print window, as behind every other.
    openWindow(MenuWindow::kPrint);
}

void MainWindow::freeHourTeachers() {
    if (solutionsFolderExists()) {
        openWindow(MenuWindow::kFreeHourTeachers);
    }
}

void MainWindow::editSolution() {
    if (solutionsFolderExists()) {
        openWindow(MenuWindow::kSolutionEdit);
    }
}

void MainWindow::startUtility(const UtilityItem& item) {
    if (!StartUtility(item, *context_->desktop)) {
        context_->asker->Error(this, U(kUtilityNotFoundMessage));
    }
}

void MainWindow::openCalendar() {
    (new CalendarWindow(this))->OpenModal();
}

void MainWindow::openAbout() {
    (new AboutWindow(context_->desktop, this))->OpenModal();
}

void MainWindow::showEvent(QShowEvent* event) {
    setWindowTitle(QString::fromUtf8(data::kProgramTitle));
    confirm_exit_ = true;
    QMainWindow::showEvent(event);
}

void MainWindow::changeEvent(QEvent* event) {
    // Back to full screen whenever the window becomes active again, e.g.
    // after a window that put it into its normal state.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !isMaximized()) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (confirm_exit_ && !context_->asker->Confirm(this, U(data::kExitQuestion))) {
        event->ignore();
        return;
    }
    event->accept();
    emit left();
}

}  // namespace taktirio::gui
