// The rules of a drag-and-drop question, free of widgets: its rows as stored,
// the order of the options beside them, what the slots hold when the window
// opens, the answer written when it closes, the drop rule, the rows' layout
// and the automatic scrolling while an option is dragged past the row area.
//
// Lengths and positions are in twips, as the window places its controls.
#pragma once

#include "platform/database.h"

#include <QString>

#include <random>
#include <vector>

namespace dragdrop {

// One item of the question: a DragNDrop row.
struct Row {
    long long index = 0;    // Index
    QString question;       // the item text
    QString answer;         // the text that matches it
    long long ansSel = 0;   // stored: the row whose answer was dropped on this slot
    long long ansRand = 0;  // stored: the row whose answer stands beside this item
};

// The question's rows in Index order.
std::vector<Row> ReadRows(plat::Database& db, long long qid);

// The row with this Index, or nullptr.
const Row* Find(const std::vector<Row>& rows, long long index);

// The option beside each row (the Index of the row whose answer it shows).
// The stored order is kept when it places every row of the question exactly
// once; otherwise (a question never opened, or a broken order) the question's
// own rows are shuffled with `gen`.
std::vector<long long> OptionOrder(const std::vector<Row>& rows, std::mt19937& gen);

// What each slot holds when the window opens: the stored drop, or 0 (empty)
// when none is stored or the stored value names no row of the question.
std::vector<long long> StoredDrops(const std::vector<Row>& rows);

// Closing: every row gets the option dropped on its slot (0 for an empty slot)
// and the option shown beside it, in one transaction, so the answer is never
// half written. `rows`, `options` and `drops` run in step; nothing is written
// for a question without rows, and never a row of another question.
void Save(plat::Database& db, long long qid, const std::vector<long long>& rows, const std::vector<long long>& options,
          const std::vector<long long>& drops);

// ---- dropping

struct Size {
    int width = 0;
    int height = 0;
};

// A dragged option counts on a slot only when its outline lies wholly inside
// the slot, edges included. (dx, dy) is the outline's top-left corner
// relative to the slot's.
bool DropFits(int dx, int dy, Size option, Size slot);

// ---- the rows' layout

constexpr int kFirstTop = 240;  // the first row's Top
constexpr int kItemLeft = 480;  // the items' Left
constexpr int kGap = 150;       // between rows, and between the three columns
constexpr int kSlotExtra = 200; // a slot is this much wider and taller than an option

struct Layout {
    int itemLeft = kItemLeft, itemWidth = 0, itemHeight = 0;
    int slotLeft = 0, slotWidth = 0, slotHeight = 0;
    int optionLeft = 0, optionWidth = 0, optionHeight = 0;
    std::vector<int> tops;  // each row's Top at scroll value 0
    int bottom = 0;         // the last row's bottom
    bool scrolls = false;   // the rows overflow the area: the scroll bar shows
    int scrollMax = 0;      // the scroll value at which the last row meets the area's bottom
};

// Lays the rows out from the sizes their texts give each label (in step, one
// per row): the columns as wide as their widest text, every label as tall as
// the tallest, a slot 200 wider and taller than an option and an item as tall
// as a slot; `areaHeight` is the height of the row area.
Layout LayOut(const std::vector<Size>& items, const std::vector<Size>& slotSizes, const std::vector<Size>& options,
              int areaHeight);

// ---- automatic scrolling while an option is dragged

constexpr int kScrollStep = 40;  // per tick of the 10 ms timer

struct Over {
    bool timerOn = false;
    bool down = false;  // the direction, when the timer is on
};

// Dragged over the window's background at height y (window coordinates):
// above the row area scrolls up, below it down, beside it nothing.
Over OverBackground(double y, int areaTop, int areaHeight);

// Dragged over a label of a row whose option stands at `optionTop` (row-area
// coordinates), gripped `grabY` below the option's top.
bool OverRowLabel(int grabY, int optionTop, int areaTop, int areaHeight);

struct Tick {
    int value = 0;       // the new scroll value
    bool keepOn = true;  // whether the timer stays on
};

// One tick of the timer: the scroll value moves by 40 within [0, max];
// scrolling up stops once the pointer last reported (`dragY`) is below the
// area's top.
Tick ScrollTick(bool down, int value, int max, double dragY, int areaTop);

}  // namespace dragdrop
