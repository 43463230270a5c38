#include "gui/common/file_dialog.h"

#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

namespace taktirio::gui {

namespace {

// Qt writes the files' sizes and dates in the system's language; these are
// written in the program's, Greek.
class ProgramLocaleColumns : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr) {
            return QIdentityProxyModel::data(index, role);
        }
        const QModelIndex file = mapToSource(index);
        constexpr int kSizeColumn = 1;
        constexpr int kDateColumn = 3;
        if (index.column() == kSizeColumn && !files->isDir(file)) {
            return QLocale().formattedDataSize(files->size(file));
        }
        if (index.column() == kDateColumn) {
            return QLocale().toString(files->lastModified(file), QLocale::ShortFormat);
        }
        return QIdentityProxyModel::data(index, role);
    }
};

}  // namespace

FileDialog::FileDialog(QWidget* parent, const char* object_name, const QString& title,
                       const QString& path, const QString& filter, AcceptMode mode)
    : QFileDialog(parent, title, path, filter) {
    setObjectName(QString::fromLatin1(object_name));
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(mode);
    setFileMode(mode == AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setViewMode(QFileDialog::Detail);
    setProxyModel(new ProgramLocaleColumns(this));
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
