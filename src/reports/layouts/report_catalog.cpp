#include "reports/layouts/report_catalog.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cstdlib>
#include <new>

#include "reports/layouts/plan_reports.h"
#include "reports/layouts/summary_reports.h"
#include "reports/layouts/timetable_reports.h"

namespace taktirio::reports {

namespace {

template <typename Layout>
std::unique_ptr<ReportLayout> Make(const data::PrintTables& tables) {
    return std::make_unique<Layout>(tables);
}

ReportOutputError CannotWrite(const QString& path, const QString& detail) {
    return ReportOutputError(QString::fromUtf8("Το αρχείο %1 δεν μπορεί να γραφτεί.")
                                 .arg(QDir::toNativeSeparators(path)),
                             detail);
}

// The memory a PDF's drawing may take beyond what is in use when it starts:
// its pages as they are drawn, then the embedded fonts when it ends.
constexpr std::size_t kDrawingHeadroom = std::size_t{32} << 20;

// Qt's PDF writer does not survive every allocation that fails (it fills a
// font buffer it never got, and ends a half-drawn file from its painter's
// destructor), so a drawing that the memory left cannot hold is stopped
// before it starts, as running out of memory anywhere else stops a command.
void RequireDrawingHeadroom() {
    void* probe = std::malloc(kDrawingHeadroom);
    if (probe == nullptr) {
        throw std::bad_alloc();
    }
    std::free(probe);
}

}  // namespace

QStringList ReportNames(data::PrintReading reading) {
    switch (reading) {
        case data::PrintReading::kClasses:
            return {QStringLiteral("REPORT2")};
        case data::PrintReading::kTeachers:
            return {QStringLiteral("REPORT1")};
        case data::PrintReading::kGeneralPlan:
            return {QStringLiteral("REPORT3"), QStringLiteral("REPORT4"), QStringLiteral("REPORT5"),
                    QStringLiteral("REPORT6"), QStringLiteral("REPORT7"), QStringLiteral("REPORT8"),
                    QStringLiteral("REPORT9")};
        case data::PrintReading::kSummary:
            return {QStringLiteral("REPORT11"), QStringLiteral("REPORT12")};
    }
    return {};
}

std::unique_ptr<ReportLayout> MakeReport(const QString& name, const data::PrintTables& tables) {
    using Factory = std::unique_ptr<ReportLayout> (*)(const data::PrintTables&);
    static const std::pair<const char*, Factory> kLayouts[] = {
        {"REPORT1", &Make<Report1>},   {"REPORT2", &Make<Report2>},   {"REPORT3", &Make<Report3>},
        {"REPORT4", &Make<Report4>},   {"REPORT5", &Make<Report5>},   {"REPORT6", &Make<Report6>},
        {"REPORT7", &Make<Report7>},   {"REPORT8", &Make<Report8>},   {"REPORT9", &Make<Report9>},
        {"REPORT11", &Make<Report11>}, {"REPORT12", &Make<Report12>},
    };
    for (const auto& [layout_name, factory] : kLayouts) {
        if (name == QLatin1String(layout_name)) {
            return factory(tables);
        }
    }
    return nullptr;
}

std::vector<std::unique_ptr<ReportLayout>> MakeReports(data::PrintReading reading,
                                                       const data::PrintTables& tables) {
    std::vector<std::unique_ptr<ReportLayout>> layouts;
    for (const QString& name : ReportNames(reading)) {
        layouts.push_back(MakeReport(name, tables));
    }
    return layouts;
}

int WritePdf(const QString& path, const std::vector<std::unique_ptr<ReportLayout>>& layouts) {
    RequireDrawingHeadroom();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw CannotWrite(path, file.errorString());
    }
    int pages = 0;
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("TAKTIRIO"));
        if (!layouts.empty()) {
            writer.setTitle(layouts.front()->Title());
            layouts.front()->SetUpPage(writer);
        }
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            throw CannotWrite(path, QStringLiteral("the PDF writer did not start"));
        }
        bool first = true;
        for (const auto& layout : layouts) {
            if (!first) {
                layout->SetUpPage(writer);
            }
            pages += layout->PaintPages(painter, writer, first);
            first = false;
        }
        painter.end();
    }
    if (!file.commit()) {
        throw CannotWrite(path, file.errorString());
    }
    return pages;
}

}  // namespace taktirio::reports
