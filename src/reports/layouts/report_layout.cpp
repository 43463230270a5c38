#include "reports/layouts/report_layout.h"

#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include "reports/layouts/fitted_text.h"

namespace taktirio::reports {

namespace {

constexpr qreal kMarginMm = 10;
constexpr qreal kHeaderMm = 24;  // school, year, title and subtitle
constexpr qreal kFooterMm = 8;   // "page / pages"
constexpr qreal kLetterBoxMm = 16;

}  // namespace

QFont ReportLayout::Font(qreal point_size, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(point_size);
    font.setBold(bold);
    return font;
}

void ReportLayout::SetUpPage(QPagedPaintDevice& device) const {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), Orientation(),
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
}

PageArea ReportLayout::AreaOf(const QPagedPaintDevice& device) const {
    PageArea area;
    area.mm = device.logicalDpiX() / 25.4;
    const QRectF page(0, 0, device.width(), device.height());
    area.body = page.adjusted(0, area.Mm(kHeaderMm), 0, -area.Mm(kFooterMm));
    return area;
}

int ReportLayout::PageCount(const QPagedPaintDevice& device) const {
    return std::max(1, CountPages(AreaOf(device)));
}

int ReportLayout::Paint(QPagedPaintDevice& device) const {
    QPainter painter(&device);
    return PaintPages(painter, device, true);
}

int ReportLayout::PaintPages(QPainter& painter, QPagedPaintDevice& device, bool first_page) const {
    const PageArea area = AreaOf(device);
    const int pages = PageCount(device);
    for (int page = 0; page < pages; ++page) {
        if (page > 0 || !first_page) {
            device.newPage();
        }
        painter.save();
        PaintFrame(painter, area, page, pages);
        PaintBody(painter, area, page);
        painter.restore();
    }
    return pages;
}

// School name at the left, school year at the right, the title centred under
// them, the strip's letter in a box at the top right, "page / pages" at the
// foot.
void ReportLayout::PaintFrame(QPainter& painter, const PageArea& area, int page, int pages) const {
    const qreal width = area.body.width();
    const QString letter = CategoryLetter();
    const qreal letter_box = letter.isEmpty() ? 0 : area.Mm(kLetterBoxMm);
    painter.setPen(Qt::black);

    const QRectF top(0, 0, width - letter_box - (letter_box > 0 ? area.Mm(3) : 0), area.Mm(6));
    DrawFittedText(painter, top.adjusted(0, 0, -top.width() * 0.4, 0), tables_.school_name,
                   Font(11, true), 7, false, Qt::AlignLeft | Qt::AlignVCenter);
    DrawFittedText(painter, top.adjusted(top.width() * 0.6, 0, 0, 0), tables_.school_year,
                   Font(11, true), 7, false, Qt::AlignRight | Qt::AlignVCenter);
    const QRectF title(0, area.Mm(7), width - letter_box, area.Mm(8));
    DrawFittedText(painter, title, Title(), Font(14, true), 8);
    if (const QString subtitle = Subtitle(); !subtitle.isEmpty()) {
        DrawFittedText(painter, QRectF(0, area.Mm(15), width - letter_box, area.Mm(6)), subtitle,
                       Font(11), 7);
    }
    if (letter_box > 0) {
        const QRectF box(width - letter_box, 0, letter_box, letter_box);
        painter.setPen(QPen(Qt::black, area.Mm(0.5)));
        painter.drawRect(box);
        painter.setFont(Font(28, true));
        painter.drawText(box, Qt::AlignCenter, letter);
    }
    const QRectF footer(0, area.body.bottom() + area.Mm(1), width, area.Mm(kFooterMm - 1));
    painter.setPen(Qt::black);
    const QString number = QStringLiteral("%1 / %2").arg(page + 1).arg(pages);
    DrawFittedText(painter, footer,
                   letter.isEmpty() ? number : letter + QStringLiteral("  ") + number, Font(10), 7);
}

}  // namespace taktirio::reports
