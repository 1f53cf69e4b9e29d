#include "ui/frontend/CMessageBoxStyle.h"

#include "core/MessageBoxCodes.h"
#include "ui/frontend/CDocumentText.h"

#include <vector>

namespace
{
constexpr unsigned kButtonMask = 0x0F;
constexpr unsigned kIconMask = 0xF0;
constexpr unsigned kDefaultMask = 0xF00;
constexpr unsigned kDefaultShift = 8;

// The buttons in the order MB_DEFBUTTONn counts them.
std::vector<QMessageBox::StandardButton> ButtonOrder(unsigned style)
{
    switch (style & kButtonMask)
    {
    case MB_OKCANCEL:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case MB_YESNOCANCEL:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case MB_YESNO:
        return {QMessageBox::Yes, QMessageBox::No};
    default:
        return {QMessageBox::Ok};
    }
}
} // namespace

QMessageBox::StandardButtons CMessageBoxStyle::Buttons(unsigned style)
{
    QMessageBox::StandardButtons buttons;
    for (const QMessageBox::StandardButton button : ButtonOrder(style))
        buttons |= button;
    return buttons;
}

QMessageBox::Icon CMessageBoxStyle::Icon(unsigned style)
{
    switch (style & kIconMask)
    {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButton CMessageBoxStyle::DefaultButton(unsigned style)
{
    const std::vector<QMessageBox::StandardButton> order = ButtonOrder(style);
    const unsigned index = (style & kDefaultMask) >> kDefaultShift;
    return index < order.size() ? order[index] : order.front();
}

int CMessageBoxStyle::Answer(int button, unsigned style)
{
    switch (button)
    {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        break;
    }
    // Never a yes nobody gave.
    if (Buttons(style) & QMessageBox::Cancel)
        return IDCANCEL;
    return (style & kButtonMask) == MB_YESNO ? IDNO : IDOK;
}

int CMessageBoxStyle::Show(QWidget* owner, const std::string& caption, const std::string& text,
                           unsigned style)
{
    const QString title = caption.empty() ? QString::fromLatin1(APP_TITLE)
                                          : QString::fromStdString(caption);
    QMessageBox box(Icon(style), title, CDocumentText::ToQt(text), Buttons(style), owner);
    // Texts carry member and file names: never let one be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(DefaultButton(style));
    return Answer(box.exec(), style);
}
