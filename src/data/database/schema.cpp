// The tables and views of the school databases. Identifiers and names follow
// the rows the data-entry windows write; the views show each teacher pair and
// each symmetric rule once, in the orientation that was stored first.
#include "data/database/schema.h"

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// Every row but a school's own belongs to a school and goes with it.
constexpr char kSchoolColumn[] =
    "SCHOOL_USERNAME TEXT NOT NULL REFERENCES SCHOOLS(USERNAME) ON DELETE CASCADE";

QString ClassRef(const char* column) {
    return S("FOREIGN KEY (SCHOOL_USERNAME, %1) REFERENCES CLASSES(SCHOOL_USERNAME, CLASS_ID) "
             "ON DELETE CASCADE")
        .arg(QString::fromLatin1(column));
}

QString TeacherRef(const char* column) {
    return S("FOREIGN KEY (SCHOOL_USERNAME, %1) REFERENCES TEACHERS(SCHOOL_USERNAME, TEACHER_ID) "
             "ON DELETE CASCADE")
        .arg(QString::fromLatin1(column));
}

QStringList Tables() {
    const QString school = QString::fromLatin1(kSchoolColumn);
    return {
        S("CREATE TABLE SCHOOLS ("
          "SCHOOL_NAME TEXT, ADDRESS TEXT, PHONE_1 TEXT, PHONE_2 TEXT, FAX TEXT, EMAIL TEXT, "
          "PERSON_RESPONSIBLE_TO_INSERT_DATA TEXT, USERNAME TEXT NOT NULL PRIMARY KEY, "
          "PASSWORD TEXT, "
          "NUMBER_OF_SOLUTIONS_REQUESTED INTEGER NOT NULL DEFAULT 1 "
          "CHECK (NUMBER_OF_SOLUTIONS_REQUESTED BETWEEN 1 AND 254), "
          "KWDIKOS TEXT, STEP INTEGER)"),
        // Counter identifiers (AUTOINCREMENT: never reused, as a user expects).
        S("CREATE TABLE CLASSES (CLASS_ID INTEGER PRIMARY KEY AUTOINCREMENT, "
          "CLASS TEXT NOT NULL, %1, UNIQUE (SCHOOL_USERNAME, CLASS), "
          "UNIQUE (SCHOOL_USERNAME, CLASS_ID))")
            .arg(school),
        S("CREATE TABLE TEACHERS (TEACHER_ID INTEGER PRIMARY KEY AUTOINCREMENT, "
          "TEACHER TEXT NOT NULL, %1, UNIQUE (SCHOOL_USERNAME, TEACHER), "
          "UNIQUE (SCHOOL_USERNAME, TEACHER_ID))")
            .arg(school),
        S("CREATE TABLE TEACHERS_OF_CLASS (%1, CLASS_ID INTEGER NOT NULL, "
          "TEACHER_ID INTEGER NOT NULL, MONOWRA INTEGER, DYOWRA INTEGER NOT NULL DEFAULT 0, "
          "HOURS INTEGER, %2, %3, UNIQUE (SCHOOL_USERNAME, CLASS_ID, TEACHER_ID))")
            .arg(school, ClassRef("CLASS_ID"), TeacherRef("TEACHER_ID")),
        // One lesson per class section and slot.
        S("CREATE TABLE KARFWTOI (%1, CLASS_ID INTEGER NOT NULL, TEACHER_ID INTEGER NOT NULL, "
          "DISPLAY_DAY_HOUR TEXT NOT NULL, [HOUR] INTEGER, %2, %3, "
          "UNIQUE (SCHOOL_USERNAME, CLASS_ID, DISPLAY_DAY_HOUR))")
            .arg(school, ClassRef("CLASS_ID"), TeacherRef("TEACHER_ID")),
        S("CREATE TABLE LAST_DAYS (%1, DISPLAY_DAY TEXT NOT NULL, "
          "UNIQUE (SCHOOL_USERNAME, DISPLAY_DAY))")
            .arg(school),
        S("CREATE TABLE DENY_TEACHERS_DAYS (%1, TEACHER_ID INTEGER NOT NULL, "
          "DISPLAY_DAY TEXT NOT NULL, WRA INTEGER, %2)")
            .arg(school, TeacherRef("TEACHER_ID")),
        S("CREATE TABLE DENY_TEACHERS_HOURS (%1, TEACHER_ID INTEGER NOT NULL, "
          "DISPLAY_DAY_HOUR TEXT NOT NULL, WRA INTEGER, %2, "
          "UNIQUE (SCHOOL_USERNAME, TEACHER_ID, DISPLAY_DAY_HOUR))")
            .arg(school, TeacherRef("TEACHER_ID")),
        S("CREATE TABLE KATHIGHTES_POY_DIDASKOYN_SE_DYO_TMHMATA (%1, "
          "TEACHER_ID INTEGER NOT NULL, CLASS_ID_1 INTEGER NOT NULL, CLASS_ID_2 INTEGER NOT NULL, "
          "TEACHER_NAME TEXT, CLASS_1 TEXT, CLASS_2 TEXT, %2, %3, %4, "
          "UNIQUE (SCHOOL_USERNAME, TEACHER_ID, CLASS_ID_1, CLASS_ID_2))")
            .arg(school, TeacherRef("TEACHER_ID"), ClassRef("CLASS_ID_1"), ClassRef("CLASS_ID_2")),
        S("CREATE TABLE XWRISMOS_MATHIMATOS (%1, CLASS_ID INTEGER NOT NULL, "
          "TEACHER_ID_1 INTEGER NOT NULL, TEACHER_ID_2 INTEGER NOT NULL, "
          "TEACHER_1 TEXT, TEACHER_2 TEXT, %2, %3, %4, "
          "UNIQUE (SCHOOL_USERNAME, CLASS_ID, TEACHER_ID_1, TEACHER_ID_2))")
            .arg(school, ClassRef("CLASS_ID"), TeacherRef("TEACHER_ID_1"),
                 TeacherRef("TEACHER_ID_2")),
        S("CREATE TABLE TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR (%1, "
          "FIRST_TEACHER_ID INTEGER NOT NULL, SECOND_TEACHER_ID INTEGER NOT NULL, "
          "FIRST_TEACHER TEXT, SECOND_TEACHER TEXT, SET_FROM_HUMAN INTEGER, %2, %3)")
            .arg(school, TeacherRef("FIRST_TEACHER_ID"), TeacherRef("SECOND_TEACHER_ID")),
    };
}

// Unique keys that must look through the working columns: the working copy
// holds one absent-day row per slot, and derived apart rows next to the user's.
QStringList Indexes() {
    return {
        S("CREATE UNIQUE INDEX DENY_TEACHERS_DAYS_KEY ON DENY_TEACHERS_DAYS "
          "(SCHOOL_USERNAME, TEACHER_ID, DISPLAY_DAY, IFNULL(WRA, 0))"),
        S("CREATE UNIQUE INDEX TEACHERS_APART_KEY ON TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR "
          "(SCHOOL_USERNAME, FIRST_TEACHER_ID, SECOND_TEACHER_ID, IFNULL(SET_FROM_HUMAN, 1))"),
        S("CREATE INDEX TEACHERS_OF_CLASS_TEACHER ON TEACHERS_OF_CLASS "
          "(SCHOOL_USERNAME, TEACHER_ID)"),
        S("CREATE INDEX KARFWTOI_TEACHER ON KARFWTOI (SCHOOL_USERNAME, TEACHER_ID)"),
    };
}

// A pair "A+B" is shown unless its mirror "B+A" was stored before it.
constexpr char kPairShown[] =
    "instr(t.TEACHER, '+') > 0 AND NOT EXISTS (SELECT 1 FROM TEACHERS m "
    "WHERE m.SCHOOL_USERNAME = t.SCHOOL_USERNAME AND m.TEACHER_ID < t.TEACHER_ID "
    "AND m.TEACHER = substr(t.TEACHER, instr(t.TEACHER, '+') + 1) || '+' || "
    "substr(t.TEACHER, 1, instr(t.TEACHER, '+') - 1))";

QStringList Views() {
    const QString singles =
        S("SELECT SCHOOL_USERNAME, TEACHER, TEACHER_ID FROM TEACHERS "
          "WHERE instr(TEACHER, '+') = 0");
    const QString pairs = S("SELECT t.SCHOOL_USERNAME, t.TEACHER, t.TEACHER_ID FROM TEACHERS t "
                            "WHERE %1")
                              .arg(QString::fromLatin1(kPairShown));
    return {
        S("CREATE VIEW DO_NOT_SHOW_SYNDIDASKALIES AS %1").arg(singles),
        S("CREATE VIEW SHOW_SYNDIDASKALIES AS %1").arg(pairs),
        S("CREATE VIEW DISPLAY_TEACHERS_1 AS %1").arg(singles),
        S("CREATE VIEW DISPLAY_TEACHERS_2 AS %1").arg(pairs),
        S("CREATE VIEW DISPLAY_TEACHERS_4 AS %1 UNION ALL %2").arg(singles, pairs),
        S("CREATE VIEW DISPLAY_TEACHERS_OF_CLASS AS SELECT a.SCHOOL_USERNAME, a.CLASS_ID, "
          "a.TEACHER_ID, t.TEACHER, a.MONOWRA, a.DYOWRA FROM TEACHERS_OF_CLASS a "
          "JOIN TEACHERS t ON t.SCHOOL_USERNAME = a.SCHOOL_USERNAME AND t.TEACHER_ID = "
          "a.TEACHER_ID"),
        S("CREATE VIEW SYNOLA_SE_DIDASKALIES_2 AS SELECT SCHOOL_USERNAME, CLASS_ID, "
          "SUM(MONOWRA + 2 * DYOWRA) AS SYNOLO FROM TEACHERS_OF_CLASS "
          "GROUP BY SCHOOL_USERNAME, CLASS_ID"),
        S("CREATE VIEW PAROYSIASH_KARFWTWN AS SELECT k.SCHOOL_USERNAME, c.CLASS, "
          "k.DISPLAY_DAY_HOUR, t.TEACHER, k.CLASS_ID, k.TEACHER_ID FROM KARFWTOI k "
          "JOIN CLASSES c ON c.SCHOOL_USERNAME = k.SCHOOL_USERNAME AND c.CLASS_ID = k.CLASS_ID "
          "JOIN TEACHERS t ON t.SCHOOL_USERNAME = k.SCHOOL_USERNAME AND t.TEACHER_ID = "
          "k.TEACHER_ID"),
        S("CREATE VIEW [PAROYSIASH_TEACHERS_POY_DEN ERXONTAI_SE_SYGKEKRIMENES_MERES] AS "
          "SELECT d.SCHOOL_USERNAME, d.DISPLAY_DAY, t.TEACHER, d.TEACHER_ID "
          "FROM DENY_TEACHERS_DAYS d JOIN TEACHERS t "
          "ON t.SCHOOL_USERNAME = d.SCHOOL_USERNAME AND t.TEACHER_ID = d.TEACHER_ID"),
        S("CREATE VIEW DISPLAY_TEACHERS_DO_NOT_COME_IN_AN_HOUR AS "
          "SELECT d.SCHOOL_USERNAME, d.DISPLAY_DAY_HOUR, t.TEACHER, d.TEACHER_ID "
          "FROM DENY_TEACHERS_HOURS d JOIN TEACHERS t "
          "ON t.SCHOOL_USERNAME = d.SCHOOL_USERNAME AND t.TEACHER_ID = d.TEACHER_ID"),
        S("CREATE VIEW DISPLAY_TEACHERS_IN_TWO_CLASSES_2 AS SELECT j.SCHOOL_USERNAME, "
          "j.TEACHER_ID, t.TEACHER, j.CLASS_ID_1 AS CLASS_ID, c1.CLASS AS CLASS1, j.CLASS_ID_2, "
          "c2.CLASS AS CLASS2, j.rowid AS ENTRY_ORDER FROM KATHIGHTES_POY_DIDASKOYN_SE_DYO_TMHMATA "
          "j "
          "JOIN TEACHERS t ON t.SCHOOL_USERNAME = j.SCHOOL_USERNAME AND t.TEACHER_ID = "
          "j.TEACHER_ID "
          "JOIN CLASSES c1 ON c1.SCHOOL_USERNAME = j.SCHOOL_USERNAME AND c1.CLASS_ID = "
          "j.CLASS_ID_1 "
          "JOIN CLASSES c2 ON c2.SCHOOL_USERNAME = j.SCHOOL_USERNAME AND c2.CLASS_ID = "
          "j.CLASS_ID_2 "
          "WHERE NOT EXISTS (SELECT 1 FROM KATHIGHTES_POY_DIDASKOYN_SE_DYO_TMHMATA m "
          "WHERE m.SCHOOL_USERNAME = j.SCHOOL_USERNAME AND m.TEACHER_ID = j.TEACHER_ID "
          "AND m.CLASS_ID_1 = j.CLASS_ID_2 AND m.CLASS_ID_2 = j.CLASS_ID_1 AND m.rowid < j.rowid)"),
        S("CREATE VIEW DISPLAY_XWRISMOS_MATHIMATOS_2 AS SELECT x.SCHOOL_USERNAME, x.CLASS_ID, "
          "c.CLASS, x.TEACHER_ID_1, t1.TEACHER AS TEACHER1, x.TEACHER_ID_2, t2.TEACHER AS "
          "TEACHER2, "
          "x.rowid AS ENTRY_ORDER FROM XWRISMOS_MATHIMATOS x "
          "JOIN CLASSES c ON c.SCHOOL_USERNAME = x.SCHOOL_USERNAME AND c.CLASS_ID = x.CLASS_ID "
          "JOIN TEACHERS t1 ON t1.SCHOOL_USERNAME = x.SCHOOL_USERNAME "
          "AND t1.TEACHER_ID = x.TEACHER_ID_1 "
          "JOIN TEACHERS t2 ON t2.SCHOOL_USERNAME = x.SCHOOL_USERNAME "
          "AND t2.TEACHER_ID = x.TEACHER_ID_2 "
          "WHERE NOT EXISTS (SELECT 1 FROM XWRISMOS_MATHIMATOS m "
          "WHERE m.SCHOOL_USERNAME = x.SCHOOL_USERNAME AND m.CLASS_ID = x.CLASS_ID "
          "AND m.TEACHER_ID_1 = x.TEACHER_ID_2 AND m.TEACHER_ID_2 = x.TEACHER_ID_1 "
          "AND m.rowid < x.rowid)"),
        S("CREATE VIEW DISPLAY_DO_NOT_TEACH_TOGETHER_2 AS SELECT a.SCHOOL_USERNAME, "
          "a.FIRST_TEACHER_ID AS TEACHER_ID_1, t1.TEACHER AS TEACHER1, "
          "a.SECOND_TEACHER_ID AS TEACHER_ID_2, t2.TEACHER AS TEACHER2, a.rowid AS ENTRY_ORDER "
          "FROM TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR a "
          "JOIN TEACHERS t1 ON t1.SCHOOL_USERNAME = a.SCHOOL_USERNAME "
          "AND t1.TEACHER_ID = a.FIRST_TEACHER_ID "
          "JOIN TEACHERS t2 ON t2.SCHOOL_USERNAME = a.SCHOOL_USERNAME "
          "AND t2.TEACHER_ID = a.SECOND_TEACHER_ID "
          "WHERE NOT EXISTS (SELECT 1 FROM TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR m "
          "WHERE m.SCHOOL_USERNAME = a.SCHOOL_USERNAME "
          "AND m.FIRST_TEACHER_ID = a.SECOND_TEACHER_ID "
          "AND m.SECOND_TEACHER_ID = a.FIRST_TEACHER_ID AND m.rowid < a.rowid)"),
        S("CREATE VIEW GENERAL_DENY_DAYS_OR_HOURS AS "
          "SELECT WRA AS [HOUR], TEACHER_ID, SCHOOL_USERNAME FROM DENY_TEACHERS_DAYS "
          "WHERE WRA IS NOT NULL UNION ALL "
          "SELECT WRA AS [HOUR], TEACHER_ID, SCHOOL_USERNAME FROM DENY_TEACHERS_HOURS "
          "WHERE WRA IS NOT NULL"),
    };
}

}  // namespace

QStringList SchemaStatements() {
    return Tables() + Indexes() + Views();
}

QStringList SchoolDataTables() {
    return {S("TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR"),
            S("XWRISMOS_MATHIMATOS"),
            S("KATHIGHTES_POY_DIDASKOYN_SE_DYO_TMHMATA"),
            S("DENY_TEACHERS_HOURS"),
            S("DENY_TEACHERS_DAYS"),
            S("LAST_DAYS"),
            S("KARFWTOI"),
            S("TEACHERS_OF_CLASS"),
            S("TEACHERS"),
            S("CLASSES")};
}

QStringList DesignTables() {
    QStringList tables = SchoolDataTables();
    tables.append(S("SCHOOLS"));
    return tables;
}

QStringList DesignViews() {
    return {S("DO_NOT_SHOW_SYNDIDASKALIES"),
            S("SHOW_SYNDIDASKALIES"),
            S("DISPLAY_TEACHERS_1"),
            S("DISPLAY_TEACHERS_2"),
            S("DISPLAY_TEACHERS_4"),
            S("DISPLAY_TEACHERS_OF_CLASS"),
            S("SYNOLA_SE_DIDASKALIES_2"),
            S("PAROYSIASH_KARFWTWN"),
            S("PAROYSIASH_TEACHERS_POY_DEN ERXONTAI_SE_SYGKEKRIMENES_MERES"),
            S("DISPLAY_TEACHERS_DO_NOT_COME_IN_AN_HOUR"),
            S("DISPLAY_TEACHERS_IN_TWO_CLASSES_2"),
            S("DISPLAY_XWRISMOS_MATHIMATOS_2"),
            S("DISPLAY_DO_NOT_TEACH_TOGETHER_2"),
            S("GENERAL_DENY_DAYS_OR_HOURS")};
}

DatabaseDesign SchoolDesign() {
    return {kApplicationId, kDesignVersion, SchemaStatements(), DesignTables(), DesignViews()};
}

}  // namespace taktirio::data
