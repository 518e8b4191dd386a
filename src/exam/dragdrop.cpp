#include "dragdrop.h"

#include <algorithm>
#include <set>

namespace dragdrop {

std::vector<Row> ReadRows(plat::Database& db, long long qid) {
    std::vector<Row> rows;
    plat::Recordset rs = db.OpenRecordset(
        "SELECT Index,Question,Answer,AnsSel,AnsRand FROM DragNDrop WHERE QId = ? Order by Index ", {qid});
    for (; !rs.Eof(); rs.MoveNext()) {
        Row r;
        r.index = rs.Fields("Index").toInt();
        r.question = QString::fromStdString(rs.Fields("Question").toString());
        r.answer = QString::fromStdString(rs.Fields("Answer").toString());
        r.ansSel = rs.Fields("AnsSel").toInt();
        r.ansRand = rs.Fields("AnsRand").toInt();
        rows.push_back(std::move(r));
    }
    return rows;
}

const Row* Find(const std::vector<Row>& rows, long long index) {
    for (const Row& r : rows)
        if (r.index == index) return &r;
    return nullptr;
}

std::vector<long long> OptionOrder(const std::vector<Row>& rows, std::mt19937& gen) {
    std::vector<long long> own, stored;
    for (const Row& r : rows) {
        own.push_back(r.index);
        stored.push_back(r.ansRand);
    }
    std::vector<long long> a = own, b = stored;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    if (a == b) return stored;
    std::shuffle(own.begin(), own.end(), gen);
    return own;
}

std::vector<long long> StoredDrops(const std::vector<Row>& rows) {
    std::vector<long long> drops;
    for (const Row& r : rows) drops.push_back(r.ansSel != 0 && Find(rows, r.ansSel) ? r.ansSel : 0LL);
    return drops;
}

void Save(plat::Database& db, long long qid, const std::vector<long long>& rows, const std::vector<long long>& options,
          const std::vector<long long>& drops) {
    if (rows.empty()) return;
    plat::Transaction t(db);
    // The question's own rows are found through its key, not by a search of
    // the whole table for each Index.
    for (size_t i = 0; i < rows.size(); ++i)
        db.Execute("UPDATE DragNDrop SET AnsSel = ?,AnsRand = ? where QId = ? and Index = ?",
                   {drops.at(i), options.at(i), qid, rows[i]});
    t.Commit();
}

bool DropFits(int dx, int dy, Size option, Size slot) {
    return dx >= 0 && dy >= 0 && dy + option.height <= slot.height && dx + option.width <= slot.width;
}

Layout LayOut(const std::vector<Size>& items, const std::vector<Size>& slotSizes, const std::vector<Size>& options,
              int areaHeight) {
    Layout l;
    int h = 0;
    for (const std::vector<Size>* column : {&items, &slotSizes, &options})
        for (const Size& s : *column) h = std::max(h, s.height);
    for (const Size& s : items) l.itemWidth = std::max(l.itemWidth, s.width);
    for (const Size& s : options) l.optionWidth = std::max(l.optionWidth, s.width);
    l.optionHeight = h;
    l.slotWidth = l.optionWidth + kSlotExtra;
    l.slotHeight = h + kSlotExtra;
    l.itemHeight = l.slotHeight;
    l.slotLeft = l.itemLeft + l.itemWidth + kGap;
    l.optionLeft = l.slotLeft + l.slotWidth + kGap;

    int top = kFirstTop;
    for (size_t n = 0; n < items.size(); ++n) {
        l.tops.push_back(top);
        l.bottom = top + l.itemHeight;
        top = l.bottom + kGap;
    }
    l.scrolls = l.bottom > areaHeight;
    l.scrollMax = l.scrolls ? l.bottom - areaHeight : 0;
    return l;
}

Over OverBackground(double y, int areaTop, int areaHeight) {
    if (y < areaTop) return {true, false};
    if (y >= areaTop + areaHeight) return {true, true};
    return {false, false};
}

bool OverRowLabel(int grabY, int optionTop, int areaTop, int areaHeight) {
    return static_cast<float>(grabY + optionTop) >= static_cast<float>(areaTop + areaHeight);
}

Tick ScrollTick(bool down, int value, int max, double dragY, int areaTop) {
    if (down) {
        if (value + kScrollStep <= max) return {value + kScrollStep, true};
        return {value, false};
    }
    if (value >= kScrollStep) return {value - kScrollStep, !(dragY > areaTop)};
    return {value, false};
}

}  // namespace dragdrop
