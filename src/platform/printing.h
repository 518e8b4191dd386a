// The printer and font dialogs and the printing of a window's image. Tests
// answer the dialogs through hooks (a PDF printer, or nothing for a cancelled
// dialog), so no real dialog ever waits in a test.
#pragma once

#include <QFont>
#include <QImage>

#include <functional>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;

namespace plat {

// Shows the printer dialog over `parent`, kept on the screen. Returns the
// printer as the dialog left it (copies, orientation, destination), or nothing
// when it was cancelled.
std::unique_ptr<QPrinter> ShowPrintDialog(QWidget* parent);
using PrintDialogHook = std::function<std::unique_ptr<QPrinter>()>;
void SetPrintDialogHook(PrintDialogHook hook);  // nullptr restores the real dialog

// Shows the font dialog over `parent`, kept on the screen; the font chosen, or
// nothing when it was cancelled.
std::optional<QFont> ShowFontDialog(const QFont& initial, QWidget* parent);
using FontDialogHook = std::function<std::optional<QFont>(const QFont& initial)>;
void SetFontDialogHook(FontDialogHook hook);  // nullptr restores the real dialog

// What a window looks like: its client area drawn into an image.
QImage WindowImage(QWidget* client);

// Prints `image` on `pages` pages, one image to a page, scaled down to fit the
// page when it is larger. Returns false when the printer cannot be drawn on.
bool PrintImage(QPrinter& printer, const QImage& image, int pages);

}  // namespace plat
