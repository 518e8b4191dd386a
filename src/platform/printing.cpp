#include "printing.h"

#include "form.h"
#include "runtime.h"

#include <QFontDialog>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

#include <algorithm>

namespace plat {

namespace {
PrintDialogHook gPrintHook;
FontDialogHook gFontHook;
}  // namespace

std::unique_ptr<QPrinter> ShowPrintDialog(QWidget* parent) {
    if (gPrintHook) return gPrintHook();
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // On the heap and watched: a timer may close the window it belongs to
    // while it waits, and the dialog goes with that window.
    QPointer<QPrintDialog> dialog = new QPrintDialog(printer.get(), parent);
    PlaceOverOwner(dialog, parent);
    const int result = dialog->exec();
    const bool gone = !dialog;
    delete dialog.data();
    // The program may have begun to end while the dialog was up.
    ThrowIfEnding();
    if (gone || result != QDialog::Accepted) return nullptr;
    return printer;
}

void SetPrintDialogHook(PrintDialogHook hook) { gPrintHook = std::move(hook); }

std::optional<QFont> ShowFontDialog(const QFont& initial, QWidget* parent) {
    if (gFontHook) return gFontHook(initial);
    QPointer<QFontDialog> dialog = new QFontDialog(initial, parent);
    PlaceOverOwner(dialog, parent);
    const int result = dialog->exec();
    const bool gone = !dialog;
    const QFont chosen = gone ? initial : dialog->selectedFont();
    delete dialog.data();
    ThrowIfEnding();
    if (gone || result != QDialog::Accepted) return std::nullopt;
    return chosen;
}

void SetFontDialogHook(FontDialogHook hook) { gFontHook = std::move(hook); }

QImage WindowImage(QWidget* client) { return client->grab().toImage(); }

bool PrintImage(QPrinter& printer, const QImage& image, int pages) {
    if (pages < 1 || image.isNull()) return true;
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect page = painter.viewport();
    // The window's pixels at the screen's size on paper, smaller only where
    // the page is too small for it.
    const double dpi = static_cast<double>(printer.resolution());
    const double screenDpi = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() * 0.0254 : 96.0;
    double scale = dpi / screenDpi;
    scale = std::min({scale, page.width() / static_cast<double>(image.width()),
                      page.height() / static_cast<double>(image.height())});
    const QRect target(page.topLeft(), QSize(static_cast<int>(image.width() * scale),
                                             static_cast<int>(image.height() * scale)));
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !printer.newPage()) return false;
        painter.drawImage(target, image);
    }
    return painter.end();
}

}  // namespace plat
