#pragma once
#include <QPixmap>
#include <QTimer>
#include <QWidget>

// The picture shown while the program starts: a frameless window of the
// picture's size, centred on the screen, with no task-bar entry, that never
// takes the focus. Close hides it 500 ms later; Ctrl+Shift and a click on
// it keep it up 5000 ms more. It deletes itself once hidden; the
// application keeps a guarded pointer to it.
class CSplashWnd : public QWidget
{
    Q_OBJECT

public:
    static constexpr int CLOSE_DELAY_MS = 500;
    static constexpr int LINGER_MS = 5000;

    explicit CSplashWnd(const QPixmap& picture);

    void Close();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
    QTimer m_timer;
};
