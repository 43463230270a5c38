#pragma once

#include <QApplication>
#include <QLabel>
#include <QList>
#include <QPair>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "data/database/database.h"
#include "data/shell/startup.h"
#include "gui/common/asker.h"
#include "gui/common/desktop.h"
#include "gui/common/program_context.h"

namespace taktirio::gui::testing {

inline QString U(const char* text) {
    return QString::fromUtf8(text);
}

// Records every message and answers confirmations from a list, so that no
// test ever waits on a modal box. A confirmation without a prepared answer is
// recorded and answered No, which the test then sees in `unanswered`.
class RecordingAsker : public Asker {
  public:
    enum class Kind { kError, kInform, kConfirm };
    struct Message {
        Kind kind;
        QString text;
    };

    void Error(QWidget*, const QString& text) override { messages.append({Kind::kError, text}); }
    void Inform(QWidget*, const QString& text) override { messages.append({Kind::kInform, text}); }
    bool Confirm(QWidget*, const QString& text) override {
        messages.append({Kind::kConfirm, text});
        if (answers.isEmpty()) {
            ++unanswered;
            return false;
        }
        return answers.takeFirst();
    }

    QStringList Texts(Kind kind) const {
        QStringList texts;
        for (const Message& message : messages) {
            if (message.kind == kind) {
                texts.append(message.text);
            }
        }
        return texts;
    }

    QList<Message> messages;
    QList<bool> answers;
    int unanswered = 0;
};

// A desktop that starts nothing: it records what it was asked to open and
// finds only the programs it is told about.
class FakeDesktop : public Desktop {
  public:
    bool OpenUrl(const QUrl& url) override {
        opened.append(url);
        return open_succeeds;
    }
    QString FindProgram(const QString& name) override {
        return installed.contains(name) ? QStringLiteral("/usr/bin/") + name : QString();
    }
    bool StartProgram(const QString& path, const QStringList& arguments) override {
        started.append({path, arguments});
        return true;
    }

    QList<QUrl> opened;
    bool open_succeeds = true;
    QStringList installed;
    QList<QPair<QString, QStringList>> started;
};

// A program directory in a temporary folder with its context.
struct ProgramFolder {
    ProgramFolder() : context{data::PathsFor(dir.path()), &asker, &desktop, {}} {}

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    // Both databases, as an import leaves them, with the school registered.
    void RegisterSchool() {
        const data::Database working = data::Database::Open(context.paths.working_database);
        const data::Database entry = data::Database::Open(context.paths.entry_database);
        data::RegisterSchool(entry.connection(), U("2ο Γυμνάσιο Πάτρας"), U("Γ. Παπαδόπουλος"));
    }

    QTemporaryDir dir;
    RecordingAsker asker;
    FakeDesktop desktop;
    ProgramContext context;
};

template <typename T = QWidget>
T* Child(QWidget* window, const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
}

// The top-level window with that objectName that is shown, or nothing.
inline QWidget* ShownWindow(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String(name) && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

// Types text one character at a time: key clicks of Greek text abort.
inline void Type(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::KeyAction::Click, widget, Qt::Key_unknown, QString(ch),
                            Qt::NoModifier);
    }
}

}  // namespace taktirio::gui::testing
