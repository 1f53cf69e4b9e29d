#include "ui/dialogs/CFileRightsPage.h"

#include "ui/dialogs/DialogSupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <cstdlib>

CFileRightsPage::CFileRightsPage(QWidget* parent) : QWidget(parent)
{
    const struct
    {
        const char* szRow;
        unsigned nShift;
        int nIds[3]; // read, write, execute
    } rows[] = {
        {QT_TR_NOOP("User"), 6, {1048, 1053, 1059}},
        {QT_TR_NOOP("Group"), 3, {1049, 1055, 1062}},
        {QT_TR_NOOP("Other"), 0, {1051, 1057, 1064}},
    };
    const char* const columns[] = {QT_TR_NOOP("Read"), QT_TR_NOOP("Write"), QT_TR_NOOP("Execute")};

    auto* layout = new QVBoxLayout(this);
    std::size_t next = 0;
    for (const auto& row : rows)
    {
        auto* group = new QGroupBox(tr(row.szRow));
        auto* groupLayout = new QHBoxLayout(group);
        for (unsigned column = 0; column < 3; ++column)
        {
            auto* box = new QCheckBox(tr(columns[column]));
            SetControlId(*box, row.nIds[column]);
            groupLayout->addWidget(box);
            connect(box, &QCheckBox::clicked, this, &CFileRightsPage::OnBoxClicked);
            m_boxes[next++] = {box, (04u >> column) << row.nShift};
        }
        layout->addWidget(group);
    }
    layout->addStretch();
}

void CFileRightsPage::SetMode(const std::string& mode)
{
    m_strMode = mode;
    // Read as octal up to the first character that is not an octal digit.
    const unsigned long bits = std::strtoul(mode.c_str(), nullptr, 8);
    for (const SBox& box : m_boxes)
        box.pBox->setChecked((bits & box.nBit) != 0);
}

void CFileRightsPage::OnBoxClicked()
{
    unsigned bits = 0;
    for (const SBox& box : m_boxes)
    {
        if (box.pBox->isChecked())
            bits |= box.nBit;
    }
    m_strMode = QString::number(bits, 8).toStdString();
}
