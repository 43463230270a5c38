#pragma once

#include <QFileDialog>

namespace taktirio::gui {

// The program's file dialog, for opening and saving alike: Qt's own dialog,
// never the desktop's, so that it reads Greek with the program's catalogue
// and looks the same on every desktop; a size that fits the smallest screen,
// the detail view, the files' sizes and dates written in Greek, and the size,
// type and date columns as wide as their texts, the names taking the rest.
class FileDialog : public QFileDialog {
    Q_OBJECT

  public:
    FileDialog(QWidget* parent, const char* object_name, const QString& title, const QString& path,
               const QString& filter, AcceptMode mode);

    // Shows the dialog modally; the chosen file, empty when cancelled.
    QString ChooseFile();

  protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace taktirio::gui
