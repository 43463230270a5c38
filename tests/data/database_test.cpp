// The database files: their design, the design version they record, and the
// refusal of files this program must not touch.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <functional>
#include <random>

#include "data/database/errors.h"
#include "data/database/greek_collation.h"
#include "data/database/schema.h"
#include "data/entry/base_lists.h"
#include "data/reports/work_tables.h"
#include "data/shell/startup.h"
#include "data_test_support.h"

namespace taktirio::data::testing {
namespace {

TEST(DatabaseFile, CreatedWithEveryTableViewAndTheDesignVersion) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DATA.sqlite"));
    {
        Database db = Database::Open(path);
        for (const QString& name : DesignTables() + DesignViews()) {
            EXPECT_EQ(ScalarInt(db.connection(),
                                QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = ?"),
                                {name}),
                      1)
                << name.toStdString();
        }
        EXPECT_EQ(ScalarInt(db.connection(), QStringLiteral("PRAGMA user_version")),
                  kDesignVersion);
        EXPECT_EQ(ScalarInt(db.connection(), QStringLiteral("PRAGMA application_id")),
                  kApplicationId);
        EXPECT_EQ(ScalarInt(db.connection(), QStringLiteral("PRAGMA foreign_keys")), 1);
    }
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".new")));
    // Opening it again accepts it and keeps its content.
    const QByteArray before = FileBytes(path);
    { Database again = Database::Open(path); }
    EXPECT_EQ(FileBytes(path), before);
}

// Each case writes a file that must be refused and left byte for byte as it was.
struct RefusedCase {
    const char* name;
    std::function<void(const QString& path)> make;
    const char* message_part;
};

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void MakeOurs(const QString& path) {
    Database db = Database::Open(path);
}

void SetPragma(const QString& path, const QString& pragma) {
    const QString name = QStringLiteral("pragma-setter");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(pragma);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

TEST(DatabaseFile, RefusesFilesItMustNotTouchAndLeavesThemUnchanged) {
    const std::vector<RefusedCase> cases = {
        {"text file", [](const QString& p) { WriteBytes(p, "school;classes\n1;2\n"); },
         "δεν είναι βάση δεδομένων"},
        {"empty file", [](const QString& p) { WriteBytes(p, QByteArray()); },
         "δεν είναι βάση δεδομένων"},
        {"another program's database",
         [](const QString& p) {
             const QString name = QStringLiteral("other");
             {
                 QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                 db.setDatabaseName(p);
                 ASSERT_TRUE(db.open());
                 QSqlQuery(db).exec(QStringLiteral("CREATE TABLE notes (text TEXT)"));
                 db.close();
             }
             QSqlDatabase::removeDatabase(name);
         },
         "δεν είναι βάση δεδομένων"},
        {"newer design",
         [](const QString& p) {
             MakeOurs(p);
             SetPragma(p, QStringLiteral("PRAGMA user_version = %1").arg(kDesignVersion + 1));
         },
         "νεότερη έκδοση"},
        {"damaged pages",
         [](const QString& p) {
             MakeOurs(p);
             QByteArray bytes = FileBytes(p);
             for (qsizetype i = 4096; i < bytes.size(); ++i) {
                 bytes[i] = static_cast<char>(0xA5);
             }
             WriteBytes(p, bytes);
         },
         "κατεστραμμένο"},
        {"truncated",
         [](const QString& p) {
             MakeOurs(p);
             WriteBytes(p, FileBytes(p).left(100));
         },
         "κατεστραμμένο"},
        {"a table dropped",
         [](const QString& p) {
             MakeOurs(p);
             SetPragma(p, QStringLiteral("DROP VIEW DISPLAY_TEACHERS_4"));
         },
         "κατεστραμμένο"},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("DATA2.sqlite"));
        c.make(path);
        const QByteArray before = FileBytes(path);
        try {
            Database db = Database::Open(path);
            ADD_FAILURE() << "opened";
        } catch (const FileRefusedError& error) {
            EXPECT_TRUE(error.message().contains(U(c.message_part)))
                << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(path));
        }
        EXPECT_EQ(FileBytes(path), before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    }
}

TEST(DatabaseFile, TwoConnectionsToOneFileDoNotCloseEachOther) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DATA2.sqlite"));
    Database first = Database::Open(path);
    {
        Database second = Database::Open(path);
        EXPECT_TRUE(second.connection().isOpen());
    }
    EXPECT_TRUE(first.connection().isOpen());
    EXPECT_EQ(ScalarInt(first.connection(), QStringLiteral("SELECT COUNT(*) FROM SCHOOLS")), 0);
}

// A writer killed in the middle of a transaction: the file holds some of the
// transaction's pages and the rollback journal beside it holds the pages as
// they were. The copy of both, taken while the writer is still open, is
// exactly what a killed process leaves behind.
void MakeInterruptedWrite(const QString& source, const QString& crashed) {
    const QString name = QStringLiteral("interrupted-writer");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(source);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QStringLiteral("PRAGMA cache_size = 2")));
        ASSERT_TRUE(query.exec(QStringLiteral("BEGIN")));
        ASSERT_TRUE(query.exec(QStringLiteral("DELETE FROM CLASSES")));
        for (int i = 0; i < 2000; ++i) {
            ASSERT_TRUE(query.exec(QStringLiteral("INSERT INTO TEACHERS(TEACHER, SCHOOL_USERNAME) "
                                                  "VALUES('%1', 'HOMEBASE')")
                                       .arg(QString(200, QLatin1Char('T')) + QString::number(i))));
        }
        ASSERT_TRUE(QFile::exists(source + QStringLiteral("-journal")));
        ASSERT_TRUE(QFile::copy(source, crashed));
        ASSERT_TRUE(
            QFile::copy(source + QStringLiteral("-journal"), crashed + QStringLiteral("-journal")));
        query.exec(QStringLiteral("ROLLBACK"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// A database of ours holding a registered school with two class sections.
void MakeSchoolOfTwoClasses(const QString& path) {
    Database db = Database::Open(path);
    RegisterSchool(db.connection(), U("Σχολείο"), U("Υπεύθυνος"));
    const Session session{db.connection(), Login(db.connection())};
    InsertClass(session, U("Α1"));
    InsertClass(session, U("Β1"));
}

TEST(DatabaseFile, AWriteCutShortIsRolledBackWhenTheFileIsOpened) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source.sqlite"));
    MakeSchoolOfTwoClasses(source);
    const QString crashed = dir.filePath(QStringLiteral("DATA2.sqlite"));
    MakeInterruptedWrite(source, crashed);

    // Both the check alone and the opening see the data as before the write.
    CheckDatabaseFile(crashed);
    Database db = Database::Open(crashed);
    EXPECT_FALSE(QFile::exists(crashed + QStringLiteral("-journal")));
    EXPECT_EQ(FirstValue(db.connection(), QStringLiteral("PRAGMA integrity_check"))->toString(),
              QStringLiteral("ok"));
    EXPECT_EQ(ScalarInt(db.connection(), QStringLiteral("SELECT COUNT(*) FROM CLASSES")), 2);
    EXPECT_EQ(ScalarInt(db.connection(), QStringLiteral("SELECT COUNT(*) FROM TEACHERS")), 0);
}

// Transactions keep one journal file between them instead of creating and
// deleting one each; what they leave behind is a cleared journal, which the
// check neither rolls back nor mistakes for damage.
TEST(DatabaseFile, TransactionsKeepOneClearedJournal) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DATA2.sqlite"));
    MakeSchoolOfTwoClasses(path);
    const QString journal = path + QStringLiteral("-journal");
    ASSERT_TRUE(QFile::exists(journal));
    const QByteArray header = FileBytes(journal).left(8);
    EXPECT_NE(header, QByteArray("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("DATA2.sqlite.new-journal"))));
    CheckDatabaseFile(path);
    Database again = Database::Open(path);
    EXPECT_EQ(ScalarInt(again.connection(), QStringLiteral("SELECT COUNT(*) FROM CLASSES")), 2);
}

// What lies beside a sound file as its journal but holds no write: garbage (a
// first byte that is not the journal's), a cleared header with garbage after
// it, a lone byte. The file is used as it is and the journal is settled, for
// the school files and the work tables alike.
TEST(DatabaseFile, AJournalThatHoldsNoWriteNeverMakesASoundFileDamaged) {
    std::mt19937 random(20);
    const auto garbage = [&random](int size, char first) {
        QByteArray bytes(size, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(random() & 0xff);
        }
        bytes[0] = first;
        return bytes;
    };
    const QByteArray cleared_then_garbage = QByteArray(28, '\0') + garbage(4972, 'x');
    struct Journal {
        const char* name;
        QByteArray bytes;
    };
    const Journal journals[] = {
        {"5000 random bytes", garbage(5000, 'B')},
        {"a cleared header, then garbage", cleared_then_garbage},
        {"one byte", QByteArray(1, '\x7f')},
    };
    struct File {
        const char* name;
        DatabaseDesign design;
        QString count;  // a query whose answer the journal must not change
        qint64 rows;
    };
    const File files[] = {
        {"DATA2.sqlite", SchoolDesign(), QStringLiteral("SELECT COUNT(*) FROM CLASSES"), 2},
        {"REPORT.sqlite", ReportDesign(), QStringLiteral("SELECT COUNT(*) FROM TABLE2"), 1},
    };
    for (const File& f : files) {
        for (const Journal& j : journals) {
            SCOPED_TRACE(std::string(f.name) + ", " + j.name);
            QTemporaryDir dir;
            const QString path = dir.filePath(QString::fromLatin1(f.name));
            if (f.design.work_file) {
                Database db = Database::Open(path, f.design);
                data::Run(db.connection(),
                          QStringLiteral("INSERT INTO TABLE2 VALUES ('Σχολείο', '')"));
            } else {
                MakeSchoolOfTwoClasses(path);
            }
            const QString journal = path + QStringLiteral("-journal");
            QFile::remove(journal);
            WriteBytes(journal, j.bytes);
            EXPECT_NO_THROW(CheckDatabaseFile(path, f.design));
            Database db = Database::Open(path, f.design);
            EXPECT_EQ(ScalarInt(db.connection(), f.count), f.rows);
            EXPECT_EQ(
                FirstValue(db.connection(), QStringLiteral("PRAGMA integrity_check"))->toString(),
                QStringLiteral("ok"));
            const QByteArray left = FileBytes(journal);
            EXPECT_TRUE(left.isEmpty() || left[0] == '\0') << "the journal is settled";
        }
    }
}

// A journal that SQLite cannot use as one (a folder, a device) or must not
// write through (a link) stops the opening with the journal named; the link's
// target is left as it was and nothing is created where a dangling one points.
TEST(DatabaseFile, AJournalThatIsALinkOrAFolderIsNamed) {
    QTemporaryDir dir;
    const QString other = dir.filePath(QStringLiteral("other.txt"));
    WriteBytes(other, QByteArrayLiteral("not a journal"));
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    struct Case {
        const char* name;
        std::function<void(const QString& journal)> make;
        const char* message_part;
    };
    const std::vector<Case> cases = {
        {"link to a file", [&](const QString& j) { QFile::link(other, j); }, "σύνδεσμος"},
        {"dangling link", [&](const QString& j) { QFile::link(missing, j); }, "σύνδεσμος"},
        {"a folder", [](const QString& j) { QDir().mkpath(j); }, "directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("DATA2-%1.sqlite").arg(&c - cases.data()));
        MakeSchoolOfTwoClasses(path);
        const QString journal = path + QStringLiteral("-journal");
        QFile::remove(journal);
        c.make(journal);
        for (const bool check_only : {true, false}) {
            try {
                if (check_only) {
                    CheckDatabaseFile(path);
                } else {
                    Database::Open(path);
                }
                ADD_FAILURE() << "opened";
            } catch (const FileRefusedError& error) {
                EXPECT_TRUE(error.message().contains(journal)) << error.message().toStdString();
                EXPECT_TRUE(error.message().contains(U(c.message_part)))
                    << error.message().toStdString();
                EXPECT_FALSE(error.message().contains(U("κατεστραμμένο")));
            }
        }
        EXPECT_EQ(FileBytes(other), QByteArrayLiteral("not a journal"));
        EXPECT_FALSE(QFile::exists(missing));
        // Out of the way, the file opens with its data.
        QFile::remove(journal);
        QDir(journal).removeRecursively();
        Database db = Database::Open(path);
        EXPECT_EQ(ScalarInt(db.connection(), QStringLiteral("SELECT COUNT(*) FROM CLASSES")), 2);
    }
}

TEST(DatabaseFile, LinksAndFoldersAreNeverOpenedAndNothingIsWrittenThroughThem) {
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("real.sqlite"));
    MakeOurs(real);
    const QByteArray before = FileBytes(real);
    const QString missing = dir.filePath(QStringLiteral("elsewhere/missing.sqlite"));
    QDir(dir.path()).mkdir(QStringLiteral("elsewhere"));

    struct Case {
        const char* name;
        std::function<void(const QString& path)> make;
        const char* message_part;
    };
    const std::vector<Case> cases = {
        {"link to a database of ours", [&](const QString& p) { QFile::link(real, p); },
         "symbolic link"},
        {"dangling link", [&](const QString& p) { QFile::link(missing, p); }, "symbolic link"},
        {"a directory", [](const QString& p) { QDir().mkpath(p); }, "δεν είναι αρχείο"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("DATA2-%1.sqlite").arg(&c - cases.data()));
        c.make(path);
        try {
            Database db = Database::Open(path);
            ADD_FAILURE() << "opened";
        } catch (const FileRefusedError& error) {
            EXPECT_TRUE(error.message().contains(U(c.message_part)))
                << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(path));
        }
        EXPECT_EQ(FileBytes(real), before);
        EXPECT_FALSE(QFile::exists(missing));
    }
}

TEST(DatabaseFile, AFileAnotherWriterHoldsIsBusyNotDamaged) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DATA2.sqlite"));
    MakeOurs(path);
    const QString name = QStringLiteral("exclusive-writer");
    {
        QSqlDatabase writer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        writer.setDatabaseName(path);
        ASSERT_TRUE(writer.open());
        QSqlQuery query(writer);
        ASSERT_TRUE(query.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        try {
            Database db = Database::Open(path);  // waits for the busy timeout first
            ADD_FAILURE() << "opened";
        } catch (const FileRefusedError& error) {
            ADD_FAILURE() << "refused as " << error.message().toStdString();
        } catch (const DatabaseError& error) {
            EXPECT_EQ(error.cause(), DatabaseError::Cause::kBusy);
            EXPECT_TRUE(error.message().startsWith(U(kDatabaseProblemMessage)));
            EXPECT_TRUE(error.message().contains(U("χρησιμοποιείται")));
            EXPECT_TRUE(error.message().contains(path));
        }
        query.exec(QStringLiteral("ROLLBACK"));
        writer.close();
    }
    QSqlDatabase::removeDatabase(name);
    EXPECT_NO_THROW(Database::Open(path));
}

class SchemaTest : public SchoolTest {};

TEST_F(SchemaTest, DeletingTheSchoolRowCascadesToEveryTable) {
    InsertClass(session_, U("Α1"));
    InsertTeacher(session_, U("ΠΑΠΑΔΟΠΟΥΛΟΣ"));
    data::Run(session_.db, QStringLiteral("DELETE FROM SCHOOLS WHERE USERNAME = ?"),
              {session_.school});
    for (const QString& table : SchoolDataTables()) {
        EXPECT_EQ(ScalarInt(session_.db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)), 0)
            << table.toStdString();
    }
}

TEST_F(SchemaTest, TransactionsNestAndRollBackAsAWhole) {
    {
        Transaction outer(session_.db);
        InsertClass(session_, U("Α1"));
        {
            Transaction inner(session_.db);
            InsertClass(session_, U("Α2"));
            inner.Commit();
        }
        // outer not committed
    }
    EXPECT_EQ(ScalarInt(session_.db, QStringLiteral("SELECT COUNT(*) FROM CLASSES")), 0);
}

TEST(GreekCollation, OrdersAccentedAndLowerCaseLettersWithTheirCapitals) {
    QStringList names = {U("Ωμέγα"), U("Άλφα"),   U("Βήτα"), U("αλφα"),
                         U("Αλφα"),  U("Έψιλον"), U("Ζήτα")};
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return GreekCompare(a, b) < 0; });
    // Ties among the same letters fall back to a fixed order.
    const QStringList expected = {U("Άλφα"),   U("Αλφα"), U("αλφα"), U("Βήτα"),
                                  U("Έψιλον"), U("Ζήτα"), U("Ωμέγα")};
    EXPECT_EQ(names, expected);
}

}  // namespace
}  // namespace taktirio::data::testing
