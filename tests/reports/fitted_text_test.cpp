// Long Greek names in narrow cells: shrunk to a readable minimum before they
// are cut short, and never wider than their cell.
#include "reports/layouts/fitted_text.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFontMetricsF>
#include <QPdfWriter>

#include "reports/layouts/plan_reports.h"
#include "reports/layouts/report_layout.h"
#include "reports/layouts/timetable_reports.h"
#include "reports/pdf_support.h"

namespace taktirio::reports::testing {
namespace {

QString Repeat(const char* word, int times) {
    QStringList words;
    for (int i = 0; i < times; ++i) {
        words.append(QString::fromUtf8(word));
    }
    return words.join(u' ');
}

// The longest names the entry windows take: a text field holds 255
// characters, and a pair joins two names with a plus sign.
const QString kLongest = Repeat("ΚΩΝΣΤΑΝΤΙΝΟΠΟΥΛΟΥ", 14).left(255);
const QString kLongPair =
    Repeat("ΠΑΠΑΔΗΜΗΤΡΟΠΟΥΛΟΣ", 3) + QStringLiteral("+") + Repeat("ΧΑΤΖΗΓΕΩΡΓΙΑΔΟΥ", 3);

struct FitCase {
    const char* name;
    QString text;
    bool wrap;
    bool shrinks;  // smaller than the font's own size
    bool elided;
};

TEST(FittedText, ShrinksToTheMinimumBeforeEliding) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter device(&buffer);
    const qreal mm = device.logicalDpiX() / 25.4;
    const QSizeF cell(40 * mm, 6 * mm);  // a day cell of the general plan
    const QFont font = ReportLayout::Font(10);
    const qreal minimum = 6;
    const FitCase cases[] = {
        {"short name", QString::fromUtf8("ΡΗΓΑ ΧΡΥΣΟΥΛΑ"), false, false, false},
        {"name a little too long", QString::fromUtf8("ΚΩΝΣΤΑΝΤΙΝΟΠΟΥΛΟΥ ΑΝΝΑ"), false, true, false},
        {"longest name", kLongest, false, true, true},
        {"long pair", kLongPair, false, true, true},
        {"longest name, wrapping allowed", kLongest, true, true, true},
    };
    for (const FitCase& c : cases) {
        const FittedText fitted = FitText(c.text, font, cell, &device, minimum, c.wrap);
        EXPECT_LE(fitted.point_size, font.pointSizeF()) << c.name;
        EXPECT_GE(fitted.point_size, minimum) << c.name;
        EXPECT_EQ(fitted.point_size < font.pointSizeF(), c.shrinks) << c.name;
        EXPECT_EQ(fitted.elided, c.elided) << c.name;
        if (fitted.elided) {
            // Cut only at the readable minimum, and at the end.
            EXPECT_EQ(fitted.point_size, minimum) << c.name;
            EXPECT_TRUE(fitted.text.endsWith(QChar(0x2026))) << c.name;
            EXPECT_TRUE(c.text.startsWith(fitted.text.chopped(1))) << c.name;
        } else {
            EXPECT_EQ(fitted.text, c.text) << c.name;
        }
        QFont drawn = font;
        drawn.setPointSizeF(fitted.point_size);
        if (!fitted.wrapped) {
            EXPECT_LE(QFontMetricsF(drawn, &device).horizontalAdvance(fitted.text), cell.width())
                << c.name;
        }
    }
}

// In a timetable cell, wide and tall, a two-word name wraps at full size
// rather than shrink.
TEST(FittedText, WrapsInTallCells) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter device(&buffer);
    const qreal mm = device.logicalDpiX() / 25.4;
    const FittedText fitted =
        FitText(QString::fromUtf8("ΔΙΑΜΑΝΤΟΠΟΥΛΟΥ ΚΩΝΣΤΑΝΤΙΝΟΣ"), ReportLayout::Font(11),
                QSizeF(40 * mm, 18 * mm), &device, 6, true);
    EXPECT_TRUE(fitted.wrapped);
    EXPECT_EQ(fitted.point_size, 11);
    EXPECT_FALSE(fitted.elided);
}

// The longest names in a class timetable's tall cells wrap whole at a
// readable size; in the general plan's one-line rows the longest is cut short
// and the rows around it stay intact.
TEST(FittedText, LongestNamesInTheReports) {
    QTemporaryDir dir;
    data::PrintTables tables;
    tables.school_name = QString::fromUtf8("ΓΥΜΝΑΣΙΟ");
    tables.school_year = QString::fromUtf8("ΣΧΟΛΙΚΗ ΧΡΟΝΙΑ 2024-2025");
    data::WorkRow row;
    row.name = QString::fromUtf8("ΤΜΗΜΑ: ") + kLongest.left(60);
    row.ordinal = 1;
    row.cells[1] = kLongest;
    row.cells[2] = kLongPair;
    row.cells[3] = QString::fromUtf8("ΡΗΓΑ ΧΡΥΣΟΥΛΑ");
    tables.rows.append(row);
    data::WorkRow next;
    next.name = QString::fromUtf8("ΡΗΓΑ ΧΡΥΣΟΥΛΑ");
    next.ordinal = 2;
    auto pdf_text = [&](std::unique_ptr<ReportLayout> layout) {
        std::vector<std::unique_ptr<ReportLayout>> layouts;
        layouts.push_back(std::move(layout));
        const QString pdf = dir.filePath(QStringLiteral("long.pdf"));
        EXPECT_EQ(WritePdf(pdf, layouts), 1);
        return PdfPages(pdf).join(u' ');
    };
    const QString timetable = pdf_text(std::make_unique<Report2>(tables));
    EXPECT_TRUE(timetable.contains(kLongest));
    EXPECT_TRUE(timetable.contains(kLongPair));
    EXPECT_FALSE(timetable.contains(QChar(0x2026)));

    row.name = kLongest;
    tables.rows = {row, next};
    const QString strip = pdf_text(std::make_unique<Report3>(tables));
    EXPECT_FALSE(strip.contains(kLongest));
    EXPECT_TRUE(strip.contains(QStringLiteral("1 ") + kLongest.left(60)));
    EXPECT_TRUE(strip.contains(QChar(0x2026)));
    EXPECT_TRUE(strip.contains(QString::fromUtf8("2 ΡΗΓΑ ΧΡΥΣΟΥΛΑ")));
}

}  // namespace
}  // namespace taktirio::reports::testing
