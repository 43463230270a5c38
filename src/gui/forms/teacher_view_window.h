#pragma once

#include <QList>
#include <QPointer>
#include <QThread>
#include <optional>
#include <string>

#include "data/checks/teacher_view.h"
#include "data/database/database.h"
#include "data/entry/session.h"
#include "gui/common/window.h"

class QComboBox;
class QLabel;
class QScrollArea;
class QTableWidget;

namespace taktirio::gui {

struct ProgramContext;

// The teacher detailed view TForm25: for the teacher or pair chosen at the
// top, the seven sections of what the school's data say about them, each a
// heading, a read-only grid and a result line. It reads the entry database
// through a connection of its own and changes nothing. Under the choice, the
// teacher's gaps in the school's solution pages, read off the window's thread
// (up to 254 pages), when there are pages: the fewest above a small table of
// every page's count, in room taken from the sections' scroll box, so that
// the window keeps its size on a 1024 x 768 screen.
class TeacherViewWindow : public Window {
    Q_OBJECT

  public:
    // Throws data::DataError when the entry database cannot be opened.
    explicit TeacherViewWindow(ProgramContext* context, QWidget* parent = nullptr);
    ~TeacherViewWindow() override;

    // Fills the seven sections for the teacher chosen in the list, and starts
    // reading the gaps in the solutions.
    void showChosenTeacher();

    // True while the solution pages are being read.
    bool readingGaps() const { return reading_ != nullptr; }

  signals:
    // The gaps in the solutions of the chosen teacher are shown (or there
    // are no pages to show them from).
    void gapsShown();

  private:
    void readGaps(const std::string& teacher_name);
    void showGaps(const data::GapsInPages& gaps, const QString& summary);
    void setGapsVisible(bool visible);

    struct Section {
        QTableWidget* grid;
        QLabel* result;
    };

    ProgramContext* context_;
    std::optional<data::Database> database_;
    data::Session session_;
    QComboBox* teachers_;
    QWidget* gaps_panel_;
    QLabel* gaps_summary_;
    QTableWidget* gaps_;
    QScrollArea* scroll_;
    QList<Section> sections_;
    QPointer<QThread> reading_;
    std::optional<std::string> next_reading_;  // chosen while a reading was under way
};

}  // namespace taktirio::gui
