#pragma once
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <ostream>
#include <stdexcept>
#include <vector>

// Test names and failures show a QString as its text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Whether a screen reader finds the widget under name: its own name or that
// of a label for it (on Linux a drop-down list is named after its item).
bool IsCalled(QWidget& widget, const QString& name);

// The child control of type T that a screen reader finds under name, which
// also proves that it is reachable under its visible text.
template <class T> T& Control(QWidget& root, const QString& name)
{
    for (T* const control : root.findChildren<T*>())
    {
        if (IsCalled(*control, name))
            return *control;
    }
    throw std::runtime_error("no control called " + name.toStdString());
}

// Shows a dialog without a modal loop and runs what it queued on opening.
void ShowAndSettle(QWidget& dialog);

// While it lives, answers every message box with one button and keeps the
// title and text of each: a test that expects none sees it instead of hanging.
class CMessageBoxAnswerer
{
public:
    explicit CMessageBoxAnswerer(QMessageBox::StandardButton answer);

    std::vector<QString> m_titles;
    std::vector<QString> m_texts;

private:
    QTimer m_timer;
};
