#pragma once

#include <QString>
#include <memory>

class QWidget;

namespace taktirio::data {
struct ProgramPaths;
}

namespace taktirio::gui {

class FileDialog;

// The title, filter and message of the solution choice, shared by the print
// window and the free-hour window.
inline constexpr char kChooseSolutionTitle[] = "Επιλογή λύσης για παρουσίαση / εκτύπωση";
inline constexpr char kSolutionFilter[] = "SOLUTIONxxx.htm (SOLUTION*.htm)";
inline constexpr char kNoSolutionChosenMessage[] = "Πρέπει να επιλέξεις ένα SOLUTION";

// Asks the user for one solution page. The windows take one of these so that
// tests answer the question without a modal file dialog.
class SolutionChooser {
  public:
    virtual ~SolutionChooser() = default;
    // The chosen file's path, starting in `folder`; empty when cancelled.
    virtual QString Choose(QWidget* parent, const QString& folder) = 0;
};

// The program's chooser: a file dialog that shows only SOLUTION*.htm pages.
class FileDialogChooser : public SolutionChooser {
  public:
    QString Choose(QWidget* parent, const QString& folder) override;
};

// The dialog of the program's chooser, starting in `folder`; not shown yet.
std::unique_ptr<FileDialog> MakeSolutionDialog(QWidget* parent, const QString& folder);

// The chooser a window uses when it was given none.
SolutionChooser& DefaultSolutionChooser();

// Where the choice starts: the school's own solutions folder when it exists,
// otherwise the common SOLUTIONS folder of the program directory.
QString SolutionChoiceFolder(const data::ProgramPaths& paths, const QString& school);

}  // namespace taktirio::gui
