#pragma once
#include <QStyle>
#include <QWizardPage>

class QRadioButton;

// The layout the archive wizard's steps share: a picture on the left, then
// what the step is about, a question and the two answers to choose from.
// The step classes derived from it give the texts and what a choice does.
// Owned by the wizard.
class CWizardChoicePage : public QWizardPage
{
    Q_OBJECT

public:
    // The wizard's title and every step's.
    static constexpr char TITLE[] = "Archive Wizard";

    struct STexts
    {
        const char* pszAbout;
        const char* pszQuestion;
        const char* pszFirst;
        const char* pszSecond;
    };

    CWizardChoicePage(QStyle::StandardPixmap picture, const STexts& texts,
                      QWidget* parent = nullptr);

    QRadioButton& First() const { return *m_pFirst; }
    QRadioButton& Second() const { return *m_pSecond; }
    // Checks the first answer when first is set, else the second.
    void Choose(bool first);

private:
    QRadioButton* m_pFirst;
    QRadioButton* m_pSecond;
};
