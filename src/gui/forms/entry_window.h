#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "data/database/database.h"
#include "data/entry/session.h"
#include "data/entry/windows.h"
#include "gui/common/window.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QSpinBox;
class QSqlQueryModel;
class QTableView;
class QVBoxLayout;

namespace taktirio::gui {

struct ProgramContext;

// One data-entry window: its own inputs (declared by the window through the
// add…() functions), a read-only grid of its list, a red count label, and the
// insert, delete and exit buttons. The window works through a connection of
// its own to the entry database, open while the window lives. Every insert or
// delete, whether the database took it or not, is followed by a refresh, so
// that the grid always shows what is stored.
class DataEntryWindow : public Window {
    Q_OBJECT

  public:
    // Throws data::DataError when the entry database cannot be opened.
    DataEntryWindow(const char* object_name, data::EntryWindow kind, ProgramContext* context,
                    QWidget* parent = nullptr);
    ~DataEntryWindow() override;

    const data::Session& session() const { return session_; }

    // The inputs, one row each under the previous one.
    // A free-text box: the insert button follows the validator on every change,
    // Enter presses it, and the box is emptied and focused after every insert
    // and delete (refused or not).
    QLineEdit* addNameEdit(const char* name, const QString& label, const QString& hint,
                           int max_length);
    // A lookup list showing names; its item data is the identifier.
    QComboBox* addPickList(const char* name, const QString& label, const QString& hint,
                           data::PickList list);
    QComboBox* addDayList(const char* name, const QString& label, const QString& hint);
    QComboBox* addHourList(const char* name, const QString& label, const QString& hint);
    QSpinBox* addSpinBox(const char* name, const QString& label, const QString& hint, int maximum);
    // A line of text under the inputs ("\r" breaks it).
    QLabel* addNote(const char* name, const QString& text);

    // What the insert button stores; it throws data::EntryRefusedError (or
    // another data::DataError) when the entry is refused.
    void setInsert(std::function<void()> insert) { insert_ = std::move(insert); }
    // The allocation window lists one class: the list waits for a class
    // chosen in `classes` and follows it.
    void listByClass(QComboBox* classes);

    // The choice of a pick list: its identifier (0 for none) or the name shown.
    static int ChosenId(const QComboBox* list);
    static QString ChosenText(const QComboBox* list);

    // Reads the list and the count again from the database.
    void refresh();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel* addInputLabel(const QString& label);
    void addInputRow(const QString& label, QWidget* input);
    void showColumns();
    void insertEntry();
    void deleteSelected();
    void updateInsertButton();
    // The selected row of the grid as shown; -1 for none.
    int selectedRow() const;
    // Selects `row` (or the nearest row there is) when the grid has rows and
    // none is selected, so that the delete button always has a row to delete.
    void keepARowSelected(int row);
    void resetNameEdit();

    ProgramContext* context_;
    data::EntryWindow kind_;
    std::optional<data::Database> database_;
    data::Session session_;
    std::function<void()> insert_;

    QGridLayout* inputs_;
    QVBoxLayout* notes_;
    QLineEdit* name_edit_ = nullptr;
    QComboBox* class_list_ = nullptr;  // set when the list follows a class
    QSqlQueryModel* model_;
    QSortFilterProxyModel* sorted_;
    QTableView* grid_;
    QLabel* count_label_;
    QPushButton* insert_button_;
    QPushButton* delete_button_;
    // Set while the list is read again: the selection then follows refresh().
    bool refreshing_ = false;
};

}  // namespace taktirio::gui
