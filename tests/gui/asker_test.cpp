// The program's message boxes: icon, Greek title and buttons, and "\r" shown
// as a line break.
// Each box is answered by a bounded timer, so a missing box fails the test
// instead of hanging it.
#include <QMessageBox>
#include <QTimer>

#include "gui/common/look.h"
#include "gui_test_support.h"

namespace taktirio::gui::testing {

class AskerTest : public QObject {
    Q_OBJECT

  private:
    struct Seen {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QString text;
        QString title;
        QStringList button_texts;
    };

    // Polls for the modal box, records it and presses `answer`; gives up
    // after two seconds.
    static void AnswerNextBox(QMessageBox::StandardButton answer, Seen* seen) {
        auto* timer = new QTimer;
        auto* tries = new int(0);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, tries, answer, seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr && ++*tries < 200) {
                return;
            }
            timer->stop();
            timer->deleteLater();
            delete tries;
            if (box != nullptr) {
                *seen = {box->icon(), box->standardButtons(), box->text(), box->windowTitle(), {}};
                for (QAbstractButton* button : box->buttons()) {
                    seen->button_texts.append(button->text());
                }
                box->button(answer)->click();
            }
        });
        timer->start(10);
    }

  private slots:
    void boxesHaveTheirIconsButtonsAndLineBreaks() {
        MessageBoxAsker asker;
        Seen seen;
        AnswerNextBox(QMessageBox::Ok, &seen);
        asker.Error(nullptr, U("Παρουσιάστηκε σφάλμα.\rΔεύτερη γραμμή"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(seen.text, U("Παρουσιάστηκε σφάλμα.\nΔεύτερη γραμμή"));
        QCOMPARE(seen.title, U("Σφάλμα"));
        QCOMPARE(seen.button_texts, QStringList{U("Εντάξει")});

        seen = {};
        AnswerNextBox(QMessageBox::Ok, &seen);
        asker.Inform(nullptr, U("Πρώτη\rΔεύτερη"));
        QCOMPARE(seen.icon, QMessageBox::Information);
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(seen.text, U("Πρώτη\nΔεύτερη"));
        QCOMPARE(seen.title, U("Πληροφορία"));

        for (const bool yes : {true, false}) {
            seen = {};
            AnswerNextBox(yes ? QMessageBox::Yes : QMessageBox::No, &seen);
            QCOMPARE(asker.Confirm(nullptr, U(data::kExitQuestion)), yes);
            QCOMPARE(seen.icon, QMessageBox::Question);
            QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(seen.title, U("Επιβεβαίωση"));
            QCOMPARE(seen.button_texts, (QStringList{U("&Ναι"), U("Ό&χι")}));
        }
    }
};

}  // namespace taktirio::gui::testing

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    taktirio::gui::SetUpProgram(app);  // with the Greek texts of Qt's buttons
    taktirio::gui::testing::AskerTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "asker_test.moc"
