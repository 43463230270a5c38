#pragma once

// Test helper: the work tables of a page and its reports written to PDF, read
// back with pdftotext and pdfinfo (poppler-utils).

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "data/database/database.h"
#include "data/print_support.h"
#include "data/reports/work_tables.h"
#include "reports/layouts/report_catalog.h"

namespace taktirio::reports::testing {

using data::testing::PrintedSchool;

inline QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of a PDF, page by page, every run of white space made one blank
// (a name wrapped over two lines of a cell reads as one).
inline QStringList PdfPages(const QString& pdf) {
    QStringList pages =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")})
            .split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) {
        pages.removeLast();
    }
    for (QString& page : pages) {
        page = page.simplified();
    }
    return pages;
}

inline int PdfPageCount(const QString& pdf) {
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                              .match(RunTool(QStringLiteral("pdfinfo"), {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// A page read into fresh work tables in `dir`, and the tables of a reading.
class PrintedPage {
  public:
    PrintedPage(const QTemporaryDir& dir, const std::string& bytes)
        : dir_(dir.path()),
          db_(data::Database::Open(data::ReportDatabasePath(dir.path()), data::ReportDesign())) {
        page_ = data::testing::WritePage(dir.filePath(QStringLiteral("SOLUTION1.htm")), bytes);
    }

    data::PrintTables Tables(data::PrintReading reading) {
        data::ReadIntoWorkTables(db_.connection(), page_, reading);
        return data::LoadPrintTables(db_.connection(), reading);
    }

    // One report written alone; the PDF's path.
    QString Pdf(const QString& report, const data::PrintTables& tables) {
        std::vector<std::unique_ptr<ReportLayout>> layouts;
        layouts.push_back(MakeReport(report, tables));
        const QString path = dir_ + u'/' + report + QStringLiteral(".pdf");
        WritePdf(path, layouts);
        return path;
    }

    const QString& page() const { return page_; }

  private:
    QString dir_;
    data::Database db_;
    QString page_;
};

}  // namespace taktirio::reports::testing
