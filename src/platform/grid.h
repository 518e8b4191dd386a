// The grids of the windows (a QTableWidget standing in for the flex grid): a
// header row whose captions and column widths come from a format text, and no
// row labels, no editing.
#pragma once

#include <QString>

class QTableWidget;

namespace plat {

// Prepares a grid as the windows use it: rows as tall as its text, no row
// labels, cells not editable, the header row left-aligned.
void PrepareGrid(QTableWidget* grid);

// Sets the header captions and column widths from a format text: columns are
// separated by "|", a leading "<", "^" or ">" aligns the column, and each
// column is as wide as its caption, blanks included (blanks widen a column).
void SetFormatString(QTableWidget* grid, const QString& format);

// Grid sizes as the windows reckon them, in twips: the header row and every
// row, and every column.
int GridRowsHeight(const QTableWidget* grid);
int GridColumnsWidth(const QTableWidget* grid);

}  // namespace plat
