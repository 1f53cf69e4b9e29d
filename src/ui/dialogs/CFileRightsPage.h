#pragma once
#include <QWidget>

#include <array>
#include <string>

class QCheckBox;

// One tab of the Archive Permissions page: a permission mode as octal text,
// edited through the nine read, write and execute boxes of user, group and
// other. The text keeps bits beyond the nine (set-user-id and the like)
// until a box is clicked, when it is rebuilt from the boxes alone. Owned by
// the Archive Permissions page.
class CFileRightsPage : public QWidget
{
    Q_OBJECT

public:
    enum : int
    {
        IDD = 110,
    };

    explicit CFileRightsPage(QWidget* parent = nullptr);

    // Takes the text as it is and ticks the boxes of its bits.
    void SetMode(const std::string& mode);
    const std::string& Mode() const { return m_strMode; }

private:
    void OnBoxClicked();

    struct SBox
    {
        QCheckBox* pBox;
        unsigned nBit;
    };
    std::array<SBox, 9> m_boxes{};
    std::string m_strMode;
};
