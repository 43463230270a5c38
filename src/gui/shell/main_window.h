#pragma once

#include <QMainWindow>

#include "gui/shell/menu_windows.h"

class QAction;
class QMenu;

namespace taktirio::gui {

struct ProgramContext;
struct UtilityItem;

inline constexpr char kNoPreviousSolutionsMessage[] =
    "Δεν βρέθηκαν προηγούμενες λύσεις για το σχολείο.\rΓια να υπολογίσεις λύσεις για το "
    "σχολείο επέλεξε από το\rκεντρικό menu επιλογών Λύσεις -> Εύρεση - υπολογισμός λύσεων.";
inline constexpr char kSolutionsNotShownMessage[] =
    "Παρουσιάστηκε σφάλμα.\rΟι λύσεις είναι διαθέσιμες στο\r";

// The main window TForm7: the information panel and the whole menu. It only
// opens other windows; closing it asks the exit question.
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainWindow(ProgramContext* context, QWidget* parent = nullptr);

    // The school's solutions folder: SOLUTIONS/<user name> in the program directory.
    QString solutionsFolder() const;

  signals:
    // The user answered Yes to the exit question; the window is hidden.
    void left();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* createPanel();
    void createMenus();
    QMenu* createDataMenu();
    QMenu* createSolutionsMenu();
    QMenu* createUtilitiesMenu();
    QAction* addItem(QMenu* menu, const char* object_name, const QString& caption,
                     MenuWindow window);
    void openWindow(MenuWindow window);
    void openEightHourDays();
    bool solutionsFolderExists();
    void showPreviousSolutions();
    void printSolutions();
    void freeHourTeachers();
    void editSolution();
    void startUtility(const UtilityItem& item);
    void openCalendar();
    void openAbout();

    ProgramContext* context_;
    // Set once the window has been shown: from then on closing asks first.
    bool confirm_exit_ = false;
};

}  // namespace taktirio::gui
