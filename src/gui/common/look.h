#pragma once

#include <QColor>
#include <QString>

class QApplication;
class QIcon;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace taktirio::gui {

// The background of the program's windows and of the main window's panel.
inline const QColor kSkyBlue = QColor(166, 202, 240);
inline const QColor kPanelBlue = QColor(74, 146, 225);
// A link label's text, a dark blue that reads on the sky-blue windows, on
// the main window's panel and on the yellow of the mouse over it.
inline const QColor kLinkBlue = QColor(0, 0, 139);
// A link label's background while the mouse is over it.
inline const QColor kLinkHover = QColor(255, 255, 0);

// Texts keep "\r" as their line break; a label wants "\n".
QString DisplayText(const QString& text);
QString U(const char* utf8);

// The program's name for the desktop, its look and its Greek texts, as the
// program starts. No display name is set: the window system would add it to
// every window's title, and each title is exactly its window's caption.
void SetUpProgram(QApplication& app);

// Tahoma where it is installed with Greek glyphs, otherwise DejaVu Sans (or
// the first installed family that can write Greek), set for the whole program,
// with the Greek locale for dates and the Greek texts of Qt's own dialogs.
QString ProgramFontFamily();
void ApplyProgramLook(QApplication& app);

// The program's icon (a week of lesson cells), drawn here so that it needs no
// image plugin; the installed desktop entry uses the same design as SVG.
QIcon ProgramIcon();

// Paints a widget's background in one colour.
void PaintBackground(QWidget* widget, const QColor& colour);

// Controls named as the program knows them; hint is the tool tip.
QPushButton* MakeButton(QWidget* parent, const char* object_name, const QString& text,
                        const QString& hint = {});
QLabel* MakeLabel(QWidget* parent, const char* object_name, const QString& text);
// A group box whose title repeats the window's caption (or another title).
QGroupBox* MakeGroupBox(QWidget* parent, const char* object_name, const QString& title);

}  // namespace taktirio::gui
