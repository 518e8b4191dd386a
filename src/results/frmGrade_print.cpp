// Printing the grade report: the window's image on paper, with every
// category's row whatever the number of categories, while the window on
// screen keeps its grid in its frame (scrolling once the rows overflow it).
#include "frmGrade.h"

#include "platform/grid.h"
#include "platform/printing.h"
#include "platform/runtime.h"

#include <QPrinter>
#include <QScrollBar>

#include <algorithm>

using namespace plat;

TfrmGrade::PrintLayout::PrintLayout(TfrmGrade& report, bool withButtons) : report_(report) {
    QWidget* body = report.Body();
    QTableWidget* g = report.m_msgReview;
    QGroupBox* frame = report.m_fraScore;
    bodySize_ = body->size();
    for (QWidget* w : body->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) geometries_.emplace_back(w, w->geometry());
    geometries_.emplace_back(g, g->geometry());
    scrollValue_ = g->verticalScrollBar()->value();
    scrollPolicy_ = g->verticalScrollBarPolicy();
    buttonsShown_ = !report.m_Frame5->isHidden();

    // Every row, from the first, with no scroll bar.
    const int rowsHeight = Px(GridRowsHeight(g)) + 2 * g->frameWidth();
    const int grow = std::max(0, rowsHeight - g->height());
    if (grow > 0) {
        g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        const int frameBottom = frame->geometry().bottom();
        for (QWidget* w : body->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->y() > frameBottom) w->move(w->x(), w->y() + grow);
        body->resize(body->width(), body->height() + grow);
        frame->resize(frame->width(), frame->height() + grow);
        // No room kept for the scroll bar that paper does not need.
        g->resize(std::min(g->width(), Px(GridColumnsWidth(g) + 90)), g->height() + grow);
    }
    g->verticalScrollBar()->setValue(0);
    report.m_Frame5->setVisible(withButtons);
}

TfrmGrade::PrintLayout::~PrintLayout() {
    QTableWidget* g = report_.m_msgReview;
    report_.m_Frame5->setVisible(buttonsShown_);
    report_.Body()->resize(bodySize_);
    for (const auto& [w, geometry] : geometries_) w->setGeometry(geometry);
    g->setVerticalScrollBarPolicy(scrollPolicy_);
    g->verticalScrollBar()->setValue(scrollValue_);
}

QImage TfrmGrade::PrintLayout::Image() const { return WindowImage(report_.Body()); }

// The window's image without its buttons, one page in the orientation chosen.
// A cancelled dialog prints nothing and says nothing.
void TfrmGrade::cmdPrint_Click() {
    std::unique_ptr<QPrinter> printer = ShowPrintDialog(Window());
    if (!printer || !IsLoaded()) return;
    printOrientation_ = printer->pageLayout().orientation();
    printer->setCopyCount(1);
    const QImage image = PrintLayout(*this, false).Image();
    if (!PrintImage(*printer, image, 1))
        MsgBox("The report could not be printed.", vbExclamation, "Print");
}

// The window's image with its buttons, once per copy asked for, each on its
// own page, in the printer's orientation as the Print button left it. A
// cancelled dialog or a failing printer ends quietly.
void TfrmGrade::mnuScreen_Click() {
    std::unique_ptr<QPrinter> printer = ShowPrintDialog(Window());
    if (!printer || !IsLoaded()) return;
    const int copies = std::max(1, printer->copyCount());
    printer->setCopyCount(1);
    printer->setPageOrientation(printOrientation_);
    PrintImage(*printer, PrintLayout(*this, true).Image(), copies);
}
