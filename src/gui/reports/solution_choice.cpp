#include "gui/reports/solution_choice.h"

#include <QDir>

#include "data/shell/startup.h"
#include "gui/common/file_dialog.h"
#include "gui/common/look.h"

namespace taktirio::gui {

std::unique_ptr<FileDialog> MakeSolutionDialog(QWidget* parent, const QString& folder) {
    auto dialog =
        std::make_unique<FileDialog>(parent, "OpenDialog1", U(kChooseSolutionTitle), folder,
                                     QString::fromLatin1(kSolutionFilter), QFileDialog::AcceptOpen);
    dialog->setDefaultSuffix(QStringLiteral("htm"));
    // The file name starts empty at every choice.
    dialog->selectFile(QString());
    return dialog;
}

QString FileDialogChooser::Choose(QWidget* parent, const QString& folder) {
    return MakeSolutionDialog(parent, folder)->ChooseFile();
}

SolutionChooser& DefaultSolutionChooser() {
    static FileDialogChooser chooser;
    return chooser;
}

QString SolutionChoiceFolder(const data::ProgramPaths& paths, const QString& school) {
    const QDir common(paths.solutions);
    const QString own = common.filePath(school);
    if (!school.isEmpty() && QDir(own).exists()) {
        return own;
    }
    return common.path();
}

}  // namespace taktirio::gui
