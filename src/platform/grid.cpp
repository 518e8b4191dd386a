#include "grid.h"

#include "form.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>

namespace plat {

void PrepareGrid(QTableWidget* grid) {
    const int rowHeight = grid->fontMetrics().height() + 4;
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(rowHeight);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setStretchLastSection(false);
    grid->horizontalHeader()->setFixedHeight(rowHeight);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setWordWrap(false);
}

void SetFormatString(QTableWidget* grid, const QString& format) {
    const QStringList parts = format.split(u'|');
    grid->setColumnCount(static_cast<int>(parts.size()));
    const QFontMetrics fm(grid->horizontalHeader()->font());
    const int margin = grid->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid->horizontalHeader());
    for (int c = 0; c < parts.size(); ++c) {
        QString text = parts[c];
        Qt::Alignment align = Qt::AlignLeft;
        if (!text.isEmpty() && (text[0] == u'<' || text[0] == u'^' || text[0] == u'>')) {
            align = text[0] == u'<' ? Qt::AlignLeft : text[0] == u'^' ? Qt::AlignHCenter : Qt::AlignRight;
            text.remove(0, 1);
        }
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(align | Qt::AlignVCenter);
        grid->setHorizontalHeaderItem(c, item);
        grid->setColumnWidth(c, fm.horizontalAdvance(text) + 2 * margin + 4);
    }
}

int GridRowsHeight(const QTableWidget* grid) {
    int h = grid->horizontalHeader()->height();
    for (int r = 0; r < grid->rowCount(); ++r) h += grid->rowHeight(r);
    return Twips(h);
}

int GridColumnsWidth(const QTableWidget* grid) {
    int w = 0;
    for (int c = 0; c < grid->columnCount(); ++c) w += grid->columnWidth(c);
    return Twips(w);
}

}  // namespace plat
