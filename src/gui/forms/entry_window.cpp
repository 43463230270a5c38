#include "gui/forms/entry_window.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "data/database/database.h"
#include "data/database/errors.h"
#include "data/database/greek_collation.h"
#include "data/entry/delete_row.h"
#include "data/entry/messages.h"
#include "data/entry/validation.h"
#include "gui/common/asker.h"
#include "gui/common/look.h"
#include "gui/common/program_context.h"

namespace taktirio::gui {

namespace {

// The grid's smallest size: room for a few rows and the longest titles.
constexpr int kGridWidth = 480;
constexpr int kGridHeight = 240;

// Sorting by a clicked column: numbers by value, names in Greek order, as
// the list statements themselves order them.
class GreekSortProxy : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

  protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        const QString a = left.data().toString();
        const QString b = right.data().toString();
        bool a_number = false;
        bool b_number = false;
        const int x = a.toInt(&a_number);
        const int y = b.toInt(&b_number);
        if (a_number && b_number) {
            return x < y;
        }
        return data::GreekCompare(a, b) < 0;
    }
};

void PaintText(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

}  // namespace

DataEntryWindow::DataEntryWindow(const char* object_name, data::EntryWindow kind,
                                 ProgramContext* context, QWidget* parent)
    : Window(object_name, data::InfoOf(kind).caption, parent), context_(context), kind_(kind) {
    database_.emplace(data::Database::Open(context_->paths.entry_database));
    session_ = {database_->connection(), context_->school};

    QGroupBox* group = MakeGroupBox(this, "GroupBox1", data::InfoOf(kind).caption);
    auto* column = new QVBoxLayout(group);
    inputs_ = new QGridLayout;
    inputs_->setColumnStretch(1, 1);
    column->addLayout(inputs_);
    notes_ = new QVBoxLayout;
    notes_->setSpacing(2);
    column->addLayout(notes_);

    model_ = new QSqlQueryModel(this);
    sorted_ = new GreekSortProxy(this);
    sorted_->setSourceModel(model_);
    grid_ = new QTableView(group);
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    grid_->setToolTip(U("Επέλεξε μιαν εγγραφή για διαγραφή"));
    grid_->setModel(sorted_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setAlternatingRowColors(true);
    grid_->setSortingEnabled(true);
    grid_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->setMinimumSize(kGridWidth, kGridHeight);
    grid_->installEventFilter(this);
    column->addWidget(grid_, 1);
    // A row stays selected while the grid has rows, even after a Ctrl+click.
    connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!refreshing_) {
            keepARowSelected(grid_->currentIndex().row());
        }
    });

    count_label_ = MakeLabel(group, "Label_count", QString());
    PaintText(count_label_, Qt::red);
    column->addWidget(count_label_);

    insert_button_ = MakeButton(group, "Button1", U("&Καταχώρηση"), U("Καταχώρηση"));
    delete_button_ = MakeButton(group, "Button2", U("&Διαγραφή"), U("Διαγραφή"));
    QPushButton* exit = MakeButton(group, "Button3", U("Έξοδος"), U("Έξοδος"));
    delete_button_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insert_button_);
    buttons->addWidget(delete_button_);
    buttons->addStretch();
    buttons->addWidget(exit);
    column->addLayout(buttons);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(group);
    setExitButton(exit);

    connect(insert_button_, &QPushButton::clicked, this, &DataEntryWindow::insertEntry);
    connect(delete_button_, &QPushButton::clicked, this, &DataEntryWindow::deleteSelected);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
}

DataEntryWindow::~DataEntryWindow() {
    // The model's query uses the window's connection: release it first.
    sorted_->setSourceModel(nullptr);
    model_->clear();
}

QLabel* DataEntryWindow::addInputLabel(const QString& label) {
    const int row = inputs_->rowCount();
    QLabel* caption = MakeLabel(this, "", label);
    caption->setObjectName(QStringLiteral("Label%1").arg(row + 1));
    inputs_->addWidget(caption, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    return caption;
}

void DataEntryWindow::addInputRow(const QString& label, QWidget* input) {
    const int row = inputs_->rowCount();
    addInputLabel(label);
    inputs_->addWidget(input, row, 1);
}

QLineEdit* DataEntryWindow::addNameEdit(const char* name, const QString& label, const QString& hint,
                                        int max_length) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setToolTip(hint);
    edit->setMaxLength(max_length);
    addInputRow(label, edit);
    QLabel* note = MakeLabel(this, "Label_note", U(data::kQuoteNote));
    PaintText(note, Qt::red);
    inputs_->addWidget(note, inputs_->rowCount(), 1);
    name_edit_ = edit;
    setDefaultButton(insert_button_);
    connect(edit, &QLineEdit::textChanged, this, &DataEntryWindow::updateInsertButton);
    updateInsertButton();
    edit->setFocus();
    return edit;
}

QComboBox* DataEntryWindow::addPickList(const char* name, const QString& label, const QString& hint,
                                        data::PickList list) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setToolTip(hint);
    combo->setMaxVisibleItems(20);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (const data::PickItem& item : data::PickItems(session_, list)) {
        combo->addItem(item.name, item.id);
    }
    combo->setCurrentIndex(-1);
    addInputRow(label, combo);
    return combo;
}

QComboBox* DataEntryWindow::addDayList(const char* name, const QString& label,
                                       const QString& hint) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setToolTip(hint);
    combo->addItems(data::DayItems());
    combo->setCurrentIndex(-1);
    addInputRow(label, combo);
    return combo;
}

QComboBox* DataEntryWindow::addHourList(const char* name, const QString& label,
                                        const QString& hint) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setToolTip(hint);
    combo->setMaxVisibleItems(data::kMaxHoursPerDay);
    combo->addItems(data::HourItems());
    combo->setCurrentIndex(-1);
    addInputRow(label, combo);
    return combo;
}

QSpinBox* DataEntryWindow::addSpinBox(const char* name, const QString& label, const QString& hint,
                                      int maximum) {
    auto* spin = new QSpinBox(this);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setToolTip(hint);
    spin->setRange(0, maximum);
    spin->setValue(0);
    addInputRow(label, spin);
    return spin;
}

QLabel* DataEntryWindow::addNote(const char* name, const QString& text) {
    QLabel* note = MakeLabel(this, name, text);
    notes_->addWidget(note);
    return note;
}

void DataEntryWindow::listByClass(QComboBox* classes) {
    class_list_ = classes;
    connect(classes, &QComboBox::currentIndexChanged, this, &DataEntryWindow::refresh);
}

int DataEntryWindow::ChosenId(const QComboBox* list) {
    return list->currentIndex() < 0 ? 0 : list->currentData().toInt();
}

QString DataEntryWindow::ChosenText(const QComboBox* list) {
    return list->currentIndex() < 0 ? QString() : list->currentText().trimmed();
}

void DataEntryWindow::refresh() {
    // The row that was selected, or the first at the opening: after a delete
    // the row that took the deleted one's place, or the one before the last.
    const int selected = selectedRow();
    const QScopedValueRollback<bool> refreshing(refreshing_, true);
    const int class_id = class_list_ != nullptr ? ChosenId(class_list_) : 0;
    if (class_list_ != nullptr && class_id == 0) {
        // Nothing to list until a class is chosen.
        model_->clear();
        count_label_->clear();
        delete_button_->setEnabled(false);
        return;
    }
    try {
        // The list, its count and its hours from one state of the school.
        data::Transaction reading(session_.db);
        model_->setQuery(data::ListQuery(session_, kind_, class_id));
        // Every row at once, so that a click on a title sorts the whole list.
        while (model_->canFetchMore()) {
            model_->fetchMore();
        }
        count_label_->setText(data::CountLabel(session_, kind_, class_id));
        delete_button_->setEnabled(data::CountRows(session_, kind_, class_id) != 0);
        reading.Commit();  // ends the reading without undoing: the model keeps its rows
    } catch (const data::DataError& error) {
        model_->clear();
        count_label_->clear();
        delete_button_->setEnabled(false);
        context_->asker->Error(this, error.message());
        return;
    }
    showColumns();
    keepARowSelected(selected < 0 ? 0 : selected);
}

int DataEntryWindow::selectedRow() const {
    const QModelIndexList rows = grid_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void DataEntryWindow::keepARowSelected(int row) {
    const int rows = sorted_->rowCount();
    if (rows == 0 || selectedRow() >= 0) {
        return;
    }
    grid_->selectRow(std::clamp(row, 0, rows - 1));
}

void DataEntryWindow::showColumns() {
    // The grid shows the window's columns in its own order and hides the
    // identifiers; rows are still read by their position in the list.
    const QSqlRecord record = model_->record();
    QHeaderView* header = grid_->horizontalHeader();
    for (int c = 0; c < record.count(); ++c) {
        grid_->setColumnHidden(c, !data::IsShownColumn(kind_, record.fieldName(c)));
    }
    int visual = 0;
    for (const data::GridColumn& column : data::InfoOf(kind_).columns) {
        const int logical = record.indexOf(column.field);
        if (logical < 0) {
            continue;
        }
        model_->setHeaderData(logical, Qt::Horizontal, column.title);
        header->moveSection(header->visualIndex(logical), visual++);
    }
    grid_->resizeColumnsToContents();
}

void DataEntryWindow::insertEntry() {
    if (!insert_button_->isEnabled() || !insert_) {
        return;
    }
    try {
        insert_();
    } catch (const data::EntryRefusedError&) {
        context_->asker->Error(this, U(data::kEntryRefusedMessage));
    } catch (const data::DataError& error) {
        context_->asker->Error(this, error.message());
    }
    refresh();
    resetNameEdit();
}

void DataEntryWindow::deleteSelected() {
    const QModelIndexList selected = grid_->selectionModel()->selectedRows();
    if (!delete_button_->isEnabled() || selected.isEmpty()) {
        return;
    }
    // The row as the list query returns it, identifiers included.
    const int row = sorted_->mapToSource(selected.first()).row();
    QStringList values;
    for (int c = 0; c < model_->columnCount(); ++c) {
        values.append(model_->index(row, c).data().toString().trimmed());
    }
    if (!context_->asker->Confirm(this, data::DeleteQuestion(kind_, values))) {
        return;
    }
    try {
        data::DeleteRow(session_, kind_, values);
    } catch (const data::DataError& error) {
        context_->asker->Error(this, error.message());
    }
    refresh();
    resetNameEdit();
}

void DataEntryWindow::updateInsertButton() {
    insert_button_->setEnabled(name_edit_ == nullptr || data::IsAcceptableName(name_edit_->text()));
}

void DataEntryWindow::resetNameEdit() {
    if (name_edit_ != nullptr) {
        name_edit_->clear();
        name_edit_->setFocus();
    }
}

bool DataEntryWindow::eventFilter(QObject* watched, QEvent* event) {
    // Delete on a selected row asks the same question as the delete button.
    if (watched == grid_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteSelected();
        return true;
    }
    return Window::eventFilter(watched, event);
}

}  // namespace taktirio::gui
