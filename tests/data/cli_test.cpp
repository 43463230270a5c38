// taktirio-cli run as a process: exit codes and output on real files.
#include <sys/resource.h>

#include <QFileInfo>
#include <QProcess>

#include "cli_support.h"
#include "core/common/version.h"
#include "data/exchange/school_document.h"
#include "data_test_support.h"

namespace taktirio::data::testing {
namespace {

using Result = CliResult;
const QString& kDemo = kDemoSchoolFile;

TEST(Cli, ImportExportCheckRoundTrip) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    Result r = RunCli(QStringList{QStringLiteral("import"), kDemo} + at);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("DATA2.sqlite"))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("DATA.sqlite"))));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("SOLUTIONS"))).isDir());

    r = RunCli(QStringList{QStringLiteral("check")} + at);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();

    r = RunCli(QStringList{QStringLiteral("export")} + at);
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(ParseSchoolDocument(r.out.toUtf8()), ParseSchoolDocument(FileBytes(kDemo)));

    const QString file = dir.filePath(QStringLiteral("out.json"));
    EXPECT_EQ(RunCli(QStringList{QStringLiteral("export"), file} + at).code, 0);
    EXPECT_EQ(ParseSchoolDocument(FileBytes(file)), ParseSchoolDocument(FileBytes(kDemo)));
}

// A school far larger than the demo: 200 class sections of seven lessons.
QByteArray LargeSchoolFile() {
    SchoolDocument d;
    d.name = U("Μεγάλο Σχολείο");
    d.responsible = U("Υπεύθυνος");
    for (int c = 1; c <= 200; ++c) {
        d.classes.append(U("Τμήμα %1").arg(c));
    }
    for (int t = 1; t <= 250; ++t) {
        d.teachers.append(U("ΔΙΔΑΣΚΩΝ ΜΕ ΠΟΛΥ ΜΑΚΡΥ ΟΝΟΜΑ %1").arg(t));
    }
    for (int c = 0; c < 200; ++c) {
        for (int k = 0; k < 7; ++k) {
            d.allocation.append({d.classes[c], d.teachers[(c * 7 + k) % 250], 3, 1});
        }
    }
    return WriteSchoolDocument(d);
}

TEST(Cli, AnImportCutShortByAFileSizeLimitSaysSoAndKeepsTheOldSchool) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemo} + at).code, 0);
    const QString large = dir.filePath(QStringLiteral("large.json"));
    {
        QFile out(large);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(LargeSchoolFile());
    }
    // The shell's limit counts blocks of 512 bytes; leave the file room to
    // grow a little, far less than the large school needs.
    const qint64 blocks = QFileInfo(dir.filePath(QStringLiteral("DATA2.sqlite"))).size() / 512 + 16;
    QProcess limited;
    limited.start(QStringLiteral("/bin/sh"),
                  QStringList{QStringLiteral("-c"),
                              QStringLiteral("ulimit -f %1; exec \"$0\" \"$@\"").arg(blocks),
                              QStringLiteral(TAKTIRIO_CLI_PATH), QStringLiteral("import"), large} +
                      at);
    ASSERT_TRUE(limited.waitForFinished(120000));
    EXPECT_EQ(limited.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(limited.exitCode(), 4);
    const QString err = QString::fromUtf8(limited.readAllStandardError());
    EXPECT_TRUE(err.contains(U("Πιθανό πρόβλημα με την βάση δεδομένων"))) << err.toStdString();
    EXPECT_TRUE(err.contains(U("όριο μεγέθους")) || err.contains(U("γεμάτος")))
        << err.toStdString();

    // The next command needs no repair and finds the demo school whole.
    const Result r = RunCli(QStringList{QStringLiteral("export")} + at);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(ParseSchoolDocument(r.out.toUtf8()), ParseSchoolDocument(FileBytes(kDemo)));
}

TEST(Cli, ExitCodesForUsageRefusalsAndDataProblems) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    EXPECT_EQ(RunCli({QStringLiteral("--help")}).code, 0);
    EXPECT_EQ(RunCli({QStringLiteral("solve-everything")}).code, 2);
    EXPECT_EQ(RunCli(QStringList{QStringLiteral("init")} + at).code, 2);
    EXPECT_EQ(RunCli(QStringList{QStringLiteral("check")} + at).code, 4);  // no databases

    Result r = RunCli(QStringList{QStringLiteral("init"), QStringLiteral("--school"),
                                  U("Σχολείο '1'"), QStringLiteral("--responsible"), U("Χ")} +
                      at);
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.contains(U("Παρουσιάστηκε σφάλμα στην καταχώρηση.")));

    r = RunCli(QStringList{QStringLiteral("init"), QStringLiteral("--school"), U("1ο Γυμνάσιο"),
                           QStringLiteral("--responsible"), U("Χ. Χ.")} +
               at);
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains(U("Η καταχώρηση έγινε με επιτυχία.")));
    // A second school in the same directory: refused for what it is.
    r = RunCli(QStringList{QStringLiteral("init"), QStringLiteral("--school"), U("2ο Γυμνάσιο"),
                           QStringLiteral("--responsible"), U("Ψ")} +
               at);
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.contains(U("έχει ήδη καταχωρηθεί σχολείο"))) << r.err.toStdString();

    r = RunCli(QStringList{QStringLiteral("check")} + at);  // no classes yet
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(U("Υπάρχει πρόβλημα με τα δεδομένα.")));

    // A broken file is refused with the item named, the database untouched.
    const QByteArray before = FileBytes(dir.filePath(QStringLiteral("DATA2.sqlite")));
    QByteArray broken = FileBytes(kDemo);
    broken.replace(QByteArrayLiteral("\"Γ3\""), QByteArrayLiteral("\"Γ'3\""));
    const QString file = dir.filePath(QStringLiteral("broken.json"));
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(broken);
    }
    r = RunCli(QStringList{QStringLiteral("import"), file} + at);
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.contains(QStringLiteral("classes[8]"))) << r.err.toStdString();
    EXPECT_EQ(FileBytes(dir.filePath(QStringLiteral("DATA2.sqlite"))), before);

    // A database file that is not ours is refused and left alone.
    QTemporaryDir other;
    {
        QFile out(other.filePath(QStringLiteral("DATA2.sqlite")));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("not a database");
    }
    r = RunCli({QStringLiteral("export"), QStringLiteral("--dir"), other.path()});
    EXPECT_EQ(r.code, 4);
    EXPECT_TRUE(r.err.contains(U("δεν είναι βάση δεδομένων του TAKTIRIO")));
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_EQ(out.write(bytes), bytes.size());
}

TEST(Cli, ImportRefusesAFileTooLargeAndWhatIsNoFile) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemo} + at).code, 0);
    const QString database = dir.filePath(QStringLiteral("DATA2.sqlite"));
    const QByteArray before = FileBytes(database);

    // The demo school padded with blanks to one byte beyond the maximum.
    const QString large = dir.filePath(QStringLiteral("large.json"));
    QByteArray padded = FileBytes(kDemo);
    padded.append(QByteArray(kMaxSchoolFileBytes + 1 - padded.size(), ' '));
    WriteFile(large, padded);
    Result r = RunCli(QStringList{QStringLiteral("import"), large} + at);
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.contains(U("το αρχείο είναι μεγαλύτερο από 16 MiB"))) << r.err.toStdString();

    for (const QString& path : {QStringLiteral("/dev/zero"), dir.path()}) {
        r = RunCli(QStringList{QStringLiteral("import"), path} + at);
        EXPECT_EQ(r.code, 4) << path.toStdString();
        EXPECT_TRUE(r.err.contains(U("Δεν είναι κανονικό αρχείο"))) << r.err.toStdString();
    }
    EXPECT_EQ(FileBytes(database), before);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Under a limit on its address space the tool reads a file of millions of
// small objects (within the maximum size) until memory runs out: it ends with
// its own message and exit code 7, and the database stays as it was.
TEST(Cli, RunningOutOfMemoryIsAnExitCodeNotAnAbort) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemo} + at).code, 0);
    const QString database = dir.filePath(QStringLiteral("DATA2.sqlite"));
    const QByteArray before = FileBytes(database);
    const QByteArray item = QByteArrayLiteral("{\"a\":1},");
    QByteArray file = QByteArrayLiteral("{\"apart\":[");
    file.append(item.repeated((kMaxSchoolFileBytes - 64) / item.size()));
    file.append(QByteArrayLiteral("{}]}"));
    const QString path = dir.filePath(QStringLiteral("objects.json"));
    WriteFile(path, file);

    QProcess process;
    process.setChildProcessModifier([] {
        const rlimit limit{200u << 20, 200u << 20};  // enough to start, not to read it all
        setrlimit(RLIMIT_AS, &limit);
    });
    process.start(QStringLiteral(TAKTIRIO_CLI_PATH),
                  QStringList{QStringLiteral("import"), path} + at);
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 7);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError())
                    .contains(U("Η μνήμη του υπολογιστή δεν επαρκεί")));
    EXPECT_EQ(FileBytes(database), before);
}
#endif

// Each command has its own parser: an option it does not take, a missing
// value or argument is named first, then that command's usage follows; a
// value that is not a number is an unacceptable value.
TEST(Cli, UsageErrorsNameWhatWasWrongThenTheCommandsUsage) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    struct Case {
        QStringList arguments;
        const char* first_line;
        const char* usage;  // nothing: no usage text follows
    };
    const Case cases[] = {
        {{QStringLiteral("check"), QStringLiteral("-n"), QStringLiteral("3")},
         "Η εντολή check δεν έχει την επιλογή -n.",
         "Usage: taktirio-cli check"},
        {{QStringLiteral("init"), QStringLiteral("--seed"), QStringLiteral("5")},
         "Η εντολή init δεν έχει την επιλογή --seed.",
         "Usage: taktirio-cli init"},
        {{QStringLiteral("init"), QStringLiteral("--school"), QStringLiteral("Σ")},
         "Λείπει η επιλογή --responsible της εντολής init.",
         "Usage: taktirio-cli init"},
        {{QStringLiteral("import")},
         "Λείπει το όρισμα FILE της εντολής import.",
         "Usage: taktirio-cli import"},
        {{QStringLiteral("export"), QStringLiteral("a"), QStringLiteral("b")},
         "Περισσότερα ορίσματα από όσα δέχεται η εντολή export: b",
         "Usage: taktirio-cli export"},
        {{QStringLiteral("solve"), QStringLiteral("--replace=yes")},
         "Η επιλογή --replace δεν παίρνει τιμή.",
         "Usage: taktirio-cli solve"},
        {{QStringLiteral("solve"), QStringLiteral("extra")},
         "Περισσότερα ορίσματα από όσα δέχεται η εντολή solve: extra",
         "Usage: taktirio-cli solve"},
        {{QStringLiteral("solve-everything")},
         "Άγνωστη εντολή: solve-everything",
         "Usage: taktirio-cli <command>"},
        {{QStringLiteral("solve"), QStringLiteral("-n"), QStringLiteral("abc")},
         "Μη αποδεκτές τιμές.\n-n abc",
         nullptr},
        {{QStringLiteral("solve"), QStringLiteral("--attempts"), QStringLiteral("2e3")},
         "Μη αποδεκτές τιμές.\n--attempts 2e3",
         nullptr},
        {{QStringLiteral("solve"), QStringLiteral("--threads"), QStringLiteral("0")},
         "Μη αποδεκτές τιμές.\n--threads 0",
         nullptr},
    };
    for (const Case& c : cases) {
        const CliResult r = RunCli(c.arguments + at);
        const std::string trace = c.arguments.join(u' ').toStdString();
        EXPECT_EQ(r.code, 2) << trace;
        EXPECT_TRUE(r.err.startsWith(U(c.first_line) + u'\n')) << trace << "\n"
                                                               << r.err.toStdString();
        EXPECT_EQ(r.err.contains(QStringLiteral("Usage:")), c.usage != nullptr) << trace;
        if (c.usage != nullptr) {
            EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.usage))) << trace;
        }
        EXPECT_TRUE(r.out.isEmpty()) << trace;
    }
    // The databases were never created: every refusal came first.
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("DATA2.sqlite"))));

    // A missing value names its option (here --dir, the last argument).
    const CliResult missing = RunCli({QStringLiteral("check"), QStringLiteral("--dir")});
    EXPECT_EQ(missing.code, 2);
    EXPECT_TRUE(missing.err.startsWith(U("Λείπει η τιμή της επιλογής --dir.")))
        << missing.err.toStdString();
}

// Every command's line is read by the same parser from its entry: the
// option names, the missing value and the required options come from the
// entry (move's, verify's, easter's), and print and free, whose help is the
// tool's whole usage, show it alone for any misuse of their lines.
TEST(Cli, EveryCommandsMisuseIsAUsageError) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    const QString page = dir.filePath(QStringLiteral("SOLUTION1.htm"));
    struct Case {
        QStringList arguments;
        const char* first_line;  // nothing: the tool's whole usage alone
    };
    const Case cases[] = {
        {{QStringLiteral("move"), page, QStringLiteral("--class"), QStringLiteral("A1"),
          QStringLiteral("--from"), QStringLiteral("1,1")},
         "Λείπει η επιλογή --to της εντολής move."},
        {{QStringLiteral("move"), page, QStringLiteral("--class"), QStringLiteral("A1"),
          QStringLiteral("--from"), QStringLiteral("1,1"), QStringLiteral("--to"),
          QStringLiteral("1,2"), QStringLiteral("-o"), QString()},
         "Η επιλογή -o της εντολής move θέλει το όνομα του αρχείου όπου γράφεται η διορθωμένη "
         "λύση."},
        {{QStringLiteral("easter"), QStringLiteral("--seed"), QStringLiteral("2")},
         "Η εντολή easter δεν έχει την επιλογή --seed."},
        {{QStringLiteral("verify"), page, QStringLiteral("--fewer-gaps")},
         "Η εντολή verify δεν έχει την επιλογή --fewer-gaps."},
        {{QStringLiteral("export"), QStringLiteral("--max-four-in-a-row=1")},
         "Η εντολή export δεν έχει την επιλογή --max-four-in-a-row."},
        {{QStringLiteral("check"), QStringLiteral("--max-four-in-a-row=1")},
         "Η επιλογή --max-four-in-a-row δεν παίρνει τιμή."},
        {{QStringLiteral("check"), QStringLiteral("--search"), QStringLiteral("fast")},
         "Μη αποδεκτές τιμές.\n--search fast"},
        {{QStringLiteral("print"), QStringLiteral("classes"), page, QStringLiteral("--day"),
          QStringLiteral("1")},
         nullptr},
        {{QStringLiteral("print"), QStringLiteral("classes")}, nullptr},
        {{QStringLiteral("print"), QStringLiteral("classes"), page, QStringLiteral("-o")}, nullptr},
        {{QStringLiteral("free"), page, QStringLiteral("--day"), QStringLiteral("2")}, nullptr},
        {{QStringLiteral("free"), page, QStringLiteral("--day"), QStringLiteral("x"),
          QStringLiteral("--hour"), QStringLiteral("2")},
         nullptr},
        {{QStringLiteral("free"), page, QStringLiteral("--day"), QStringLiteral("2"),
          QStringLiteral("--hour"), QStringLiteral("2"), QStringLiteral("-o"),
          QStringLiteral("out.pdf")},
         nullptr},
    };
    for (const Case& c : cases) {
        const CliResult r = RunCli(at + c.arguments);
        const std::string trace = c.arguments.join(u' ').toStdString();
        EXPECT_EQ(r.code, 2) << trace;
        EXPECT_TRUE(r.out.isEmpty()) << trace;
        if (c.first_line != nullptr) {
            EXPECT_TRUE(r.err.startsWith(U(c.first_line) + u'\n')) << trace << "\n"
                                                                   << r.err.toStdString();
        } else {
            EXPECT_TRUE(r.err.startsWith(QStringLiteral("Usage: taktirio-cli <command>")))
                << trace << "\n"
                << r.err.toStdString();
        }
    }
    // A value missing at the end of the line is named by its option, as the
    // parser found it, for a command of the run's options and for free.
    const CliResult verify =
        RunCli(at + QStringList{QStringLiteral("verify"), page, QStringLiteral("--day-hours")});
    EXPECT_EQ(verify.code, 2);
    EXPECT_TRUE(verify.err.startsWith(U("Λείπει η τιμή της επιλογής --day-hours.\n")))
        << verify.err.toStdString();
}

// --version prints the version the About window shows, and nothing else;
// the general usage lists the option.
TEST(Cli, VersionIsTheOneTheAboutWindowShows) {
    const CliResult version = RunCli({QStringLiteral("--version")});
    EXPECT_EQ(version.code, 0) << version.err.toStdString();
    EXPECT_EQ(version.out,
              QStringLiteral("taktirio-cli ") + QString::fromLatin1(kVersionText) + u'\n');
    EXPECT_TRUE(version.err.isEmpty()) << version.err.toStdString();
    EXPECT_TRUE(RunCli({QStringLiteral("--help")}).out.contains(QStringLiteral("  --version ")));
}

TEST(Cli, UsageTextsComeFromTheParsers) {
    const CliResult general = RunCli({QStringLiteral("--help")});
    ASSERT_EQ(general.code, 0);
    for (const char* text :
         {"  init --school NAME --responsible NAME", "  import FILE", "  export [FILE]", "  check ",
          "  solve ", "  easter YEAR", "  print classes|teachers|plan|summary PAGE", "  free PAGE",
          "Options of solve:", "  -n N ", "  --time-limit S ", "  --max-four-in-a-row",
          "Options of init:", "Exit codes:"}) {
        EXPECT_TRUE(general.out.contains(QString::fromLatin1(text))) << text;
    }
    const CliResult solve = RunCli({QStringLiteral("solve"), QStringLiteral("--help")});
    ASSERT_EQ(solve.code, 0);
    EXPECT_TRUE(solve.out.startsWith(QStringLiteral("Usage: taktirio-cli solve [--dir DIR]")));
    EXPECT_TRUE(solve.out.contains(QStringLiteral("--attempts N")));
    EXPECT_TRUE(solve.out.contains(QStringLiteral("  --fewer-gaps ")));
    EXPECT_FALSE(solve.out.contains(QStringLiteral("--school")));
    // The rework is a choice of a run only: check and verify do not take it.
    const CliResult check = RunCli({QStringLiteral("check"), QStringLiteral("-h")});
    ASSERT_EQ(check.code, 0);
    EXPECT_FALSE(check.out.contains(QStringLiteral("--attempts")));
    EXPECT_FALSE(check.out.contains(QStringLiteral("--fewer-gaps")));
}

}  // namespace
}  // namespace taktirio::data::testing
