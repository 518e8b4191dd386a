// The drag-and-drop window of a "D" question, opened modally by the exam
// window for the question on screen (gintCurQId): for answering, for Show
// Answer (the correct matching, read-only) and over a reopened result
// (read-only).
//
// Its sources: frmDrag.cpp (controls, opening, the rows' layout, closing) and
// frmDrag_drag.cpp (dragging an option, dropping it, scrolling).
#pragma once

#include "platform/form.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

class QMouseEvent;

// A draggable option: its mouse events go to the window's handlers.
class OptionLabel : public plat::WrapLabel {
public:
    explicit OptionLabel(QWidget* parent = nullptr);
    using Handler = std::function<void(QMouseEvent*)>;
    void OnMouse(Handler down, Handler move, Handler up);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    Handler down_, move_, up_;
};

class TfrmDrag : public plat::Form {
public:
    TfrmDrag() : Form("frmDrag") {}

    PEMU_CONTROL(QGroupBox, Frame2)
    PEMU_CONTROL(QLabel, lblQuestID)
    PEMU_CONTROL(QLabel, lblQId)
    PEMU_CONTROL(QLabel, lblTime)
    PEMU_CONTROL(QGroupBox, fraDragNDrop)
    PEMU_CONTROL(QScrollBar, vsbQuestion)
    PEMU_CONTROL(QTimer, Timer1)
    PEMU_CONTROL(QPushButton, cmdClose)

public:
    // Element 0 of each array is the hidden template; 1..n are the rows:
    // the items, the answer slots and the draggable options.
    plat::ControlArray<plat::WrapLabel>& lblQuestion() { EnsureLoaded(); return m_lblQuestion; }
    plat::ControlArray<plat::WrapLabel>& lblAnswer() { EnsureLoaded(); return m_lblAnswer; }
    plat::ControlArray<OptionLabel>& lblOption() { EnsureLoaded(); return m_lblOption; }

    // Closes the window (its closing step stores the answer); the exam window
    // calls it when the time runs out.
    void cmdClose_Click();
    // The exam window writes the remaining time here every second; nothing
    // while the window is not loaded.
    void ShowTime(const QString& text);
    // The auto-scroll tick (every 10 ms while an option is dragged past the
    // row area's top or bottom edge).
    void Timer1_Timer();

protected:
    void Build() override;
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    // frmDrag.cpp
    void loadRow(int n, const QString& item, const QString& option, const QString& slot);
    void layOutRows();

    // frmDrag_drag.cpp
    enum class Spot { Other, Background, Item, Slot, Option };
    struct Hit {
        Spot spot = Spot::Other;
        int row = 0;               // Item, Slot, Option
        QWidget* widget = nullptr;
    };
    Hit hitAt(const QPoint& bodyPos);
    int rowAreaTop();     // twips, in the window
    int rowAreaHeight();  // twips
    void lblOption_MouseDown(int n, QMouseEvent* e);
    void lblOption_MouseMove(int n, QMouseEvent* e);
    void lblOption_MouseUp(int n, QMouseEvent* e);
    void beginDrag(int n, const QPoint& bodyPos);
    void dragOver(const QPoint& bodyPos);
    void dropOnSlot(int slot, const QPoint& bodyPos);
    void endDrag();
    void vsbQuestion_Change();

    plat::ControlArray<plat::WrapLabel> m_lblQuestion;
    plat::ControlArray<plat::WrapLabel> m_lblAnswer;
    plat::ControlArray<OptionLabel> m_lblOption;
    QWidget* rows_ = nullptr;     // the row area inside the frame; it clips the rows
    QFrame* outline_ = nullptr;   // follows the pointer while an option is dragged

    // the rows loaded (element 0 unused)
    int mintRowCount = 0;
    long long mlngQId = 0;              // the question the rows belong to
    std::vector<long long> mintRowIndex;  // Index of row n
    std::vector<long long> mintOptIndex;  // Index of the row whose answer option n shows
    std::vector<long long> mintSlotDrop;  // Index of the option dropped on slot n; 0 = empty
    std::vector<int> mintRowTop;        // Top of row n at scroll value 0

    // opened for Show Answer or over a reopened result: nothing can be dragged
    bool mblnShowAnswer = false;
    bool mblnReadOnly = false;

    // the drag under way
    int mintDragging = 0;  // the option being dragged; 0 = none
    bool mblnDragMoved = false;
    int mintGrabX = 0, mintGrabY = 0;  // the grip on the option
    float msngDragY = 0;               // the pointer's height last reported
    bool mblnScrollDown = false;
};

extern TfrmDrag frmDrag;
