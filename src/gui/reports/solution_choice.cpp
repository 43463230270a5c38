#include "reports/solution_choice.h"

#include <QDir>
#include <QFileDialog>

#include "common/look.h"
#include "shell/startup.h"

namespace taktirio::gui {

QString FileDialogChooser::Choose(QWidget* parent, const QString& folder) {
    QFileDialog dialog(parent, U(kChooseSolutionTitle), folder,
                       QString::fromLatin1(kSolutionFilter));
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("htm"));
    // The file name starts empty at every choice.
    dialog.selectFile(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
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
