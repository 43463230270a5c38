#include "common/file_dialog.h"

#include <QHeaderView>
#include <QTreeView>

namespace taktirio::gui {

FileDialog::FileDialog(QWidget* parent, const char* object_name, const QString& title,
                       const QString& path, const QString& filter, AcceptMode mode)
    : QFileDialog(parent, title, path, filter) {
    setObjectName(QString::fromLatin1(object_name));
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(mode);
    setFileMode(mode == AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setViewMode(QFileDialog::Detail);
    resize(760, 460);
}

QString FileDialog::ChooseFile() {
    if (exec() != QDialog::Accepted || selectedFiles().isEmpty()) {
        return {};
    }
    return selectedFiles().constFirst();
}

void FileDialog::showEvent(QShowEvent* event) {
    // Qt sizes the columns for English texts and dates: the Greek titles and
    // dates would be cut.
    if (auto* files = findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = files->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column) {
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        }
    }
    QFileDialog::showEvent(event);
}

}  // namespace taktirio::gui
