#pragma once

#include <QList>
#include <optional>

#include "common/window.h"
#include "database/database.h"
#include "entry/session.h"

class QComboBox;
class QLabel;
class QTableWidget;

namespace taktirio::gui {

struct ProgramContext;

// The teacher detailed view TForm25: for the teacher or pair chosen at the
// top, the seven sections of what the school's data say about them, each a
// heading, a read-only grid and a result line. It reads the entry database
// through a connection of its own and changes nothing.
class TeacherViewWindow : public Window {
    Q_OBJECT

  public:
    // Throws data::DataError when the entry database cannot be opened.
    explicit TeacherViewWindow(ProgramContext* context, QWidget* parent = nullptr);

    // Fills the seven sections for the teacher chosen in the list.
    void showChosenTeacher();

  private:
    struct Section {
        QTableWidget* grid;
        QLabel* result;
    };

    ProgramContext* context_;
    std::optional<data::Database> database_;
    data::Session session_;
    QComboBox* teachers_;
    QList<Section> sections_;
};

}  // namespace taktirio::gui
