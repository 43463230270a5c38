#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>

namespace taktirio::gui {

struct ProgramContext;
class LoginWindow;
class MainWindow;
class StartupWindow;

inline constexpr char kImportantInformationMessage[] =
    "Important information\r\rPlease read carefully\r\r1) If you see rubbish (unreadable "
    "characters) instead of Greek characters you must reconfigure your Windows operating system "
    "to support Greek system characters.\r\r2) The recommended screen resolution is 1024 x 768 "
    "or higher. Lower resolution may cause the application forms seem incorrect or not fit to "
    "the screen.\r\r3) MS Windows 95/98/ME/NT are not supported operating systems.";
inline constexpr char kSmallScreenMessage[] =
    "Ο υπολογιστής σου είναι ρυθμισμένος σε διαφορετική ανάλυση οθόνης από το 1024 x 768 "
    "pixels.\r\rΑν δεν εμφανίζονται σωστά  οι οθόνες πρέπει να αλλάξεις την ανάλυση οθόνης στο "
    "1024 x 768 pixels.";

inline constexpr char kCreateDirectoryQuestion[] =
    "Το directory %1 δεν υπάρχει.\rΝα δημιουργηθεί και να συνεχίσει το TAKTIRIO;";
inline constexpr char kDirectoryNotCreatedMessage[] =
    "Το directory %1 δεν μπορεί να δημιουργηθεί.\rΈλεγξε το όνομα και τα δικαιώματα του "
    "directory που το περιέχει.";

// The way from the start of the program to the main window and back: the
// start-up checks, the start-up window, the login (with the registration)
// and the main window. It ends the program through finished().
class ProgramShell : public QObject {
    Q_OBJECT

  public:
    explicit ProgramShell(ProgramContext* context, QObject* parent = nullptr);
    ~ProgramShell() override;

    // The start-up checks, then the start-up window. False when the program
    // must end: the message has been shown.
    bool Start(QSize screen);

    StartupWindow* startupWindow() const;
    LoginWindow* loginWindow() const;
    MainWindow* mainWindow() const;

  signals:
    // The program ends with this exit code.
    void finished(int code);

  private:
    // A program directory that does not exist is created when the user
    // agrees; false when it is not there afterwards (the message is shown).
    bool OfferToCreateDirectory();
    bool CheckDirectory();
    void continueFromStartup();
    void openLogin();
    void openMainWindow();
    void backToStartup();

    ProgramContext* context_;
    QPointer<StartupWindow> startup_;
    QPointer<LoginWindow> login_;
    QPointer<MainWindow> main_;
    // The start-up window's OK leads on once; later it ends the program.
    bool continued_ = false;
};

}  // namespace taktirio::gui
