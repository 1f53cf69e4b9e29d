#pragma once
#include <QPointer>
#include <QSplitter>

// The main window's two panes, one above the other: the upper pane starts at
// a stored height and keeps it while the window grows or shrinks, the lower
// takes the rest. The divider moves with the mouse, or with the arrow keys
// after StartKeyboardMove until Enter (keep) or Esc (put back). Owned by the
// main frame.
class CPaneSplitter : public QSplitter
{
    Q_OBJECT

public:
    explicit CPaneSplitter(QWidget* parent = nullptr);

    // Applied once the splitter first has a size; call after adding both panes.
    void SetTopHeight(int height);
    // The upper pane's height, or the one still waiting to be applied.
    int TopHeight() const;

    void StartKeyboardMove();
    bool IsMovingByKeyboard() const { return m_nTopBeforeMove >= 0; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void EndKeyboardMove();

    int m_nPendingTop = -1;
    // The height to go back to on Esc; -1 while not moving by keyboard.
    int m_nTopBeforeMove = -1;
    QPointer<QWidget> m_pPreviousFocus;
};
