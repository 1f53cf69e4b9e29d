#pragma once
#include <QMessageBox>

#include <string>

// Shows a message box in the document's terms: a Windows-style MB_ style
// (buttons, icon, default button) in, an ID answer (IDOK, IDCANCEL, IDYES,
// IDNO) out. The front end's questions and error boxes and the exception
// reporter all show their boxes through it.
class CMessageBoxStyle
{
public:
    // The caption of a box that names none.
    static constexpr const char* APP_TITLE = "Vorkant";

    static QMessageBox::StandardButtons Buttons(unsigned style);
    static QMessageBox::Icon Icon(unsigned style);
    static QMessageBox::StandardButton DefaultButton(unsigned style);
    // The answer for what QMessageBox::exec returned. A box ended without a
    // button (closed from outside) answers as its Escape key would.
    static int Answer(int button, unsigned style);

    // Window thread. Runs the box modally over owner (null: no owner); an
    // empty caption stands for the application title.
    static int Show(QWidget* owner, const std::string& caption, const std::string& text,
                    unsigned style);
};
