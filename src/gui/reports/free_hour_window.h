#pragma once

#include <optional>

#include "data/database/database.h"
#include "gui/common/window.h"
#include "gui/reports/page_reading.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace taktirio::gui {

struct ProgramContext;
class SolutionChooser;

inline constexpr char kFreeHourCaption[] = "Διδάσκοντες που έχουν κενή ώρα";

// The window TForm24: reads one chosen solution page's general plan into the
// work tables, on a thread of its own, and lists the teachers with no lesson
// at the chosen day and hour, with their number. The answers come from the
// plan as this window read it, whatever another print reads afterwards. The
// window is for finding a substitute: teachers whose absent day it is, in the
// school's data, are left out of the list and named below it.
class FreeHourWindow : public Window {
    Q_OBJECT

  public:
    // `chooser` defaults to the file dialog.
    FreeHourWindow(ProgramContext* context, QWidget* parent = nullptr,
                   SolutionChooser* chooser = nullptr);

    bool busy() const { return reading_.running(); }
    // Waits for a reading under way (tests).
    void waitForReading() { reading_.Wait(); }

  signals:
    // A reading has ended, stored or refused, and the answer is shown.
    void readingEnded();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool confirmClose() override { return !reading_.running(); }

  private:
    void chooseAndRead();
    void read(const data::PrintTables& plan);
    void readingFailed(const QString& message);
    void showAnswer(bool shown);
    void setReading(bool reading);
    void answer();

    ProgramContext* context_;
    SolutionChooser* chooser_;
    QPushButton* choose_ = nullptr;
    QPushButton* exit_ = nullptr;
    QLabel* wait_ = nullptr;
    QLabel* progress_ = nullptr;
    QLabel* day_label_ = nullptr;
    QLabel* hour_label_ = nullptr;
    QComboBox* day_ = nullptr;
    QComboBox* hour_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* absent_ = nullptr;  // the free teachers left out: absent that day
    PageReading reading_;
    std::optional<data::PrintTables> plan_;
    std::optional<data::Database> db_;
    std::optional<data::Database> entry_;  // the school's absent days
};

}  // namespace taktirio::gui
