#include "ui/dialogs/CFolderBrowseDlg.h"

#include "core/MessageBoxCodes.h"

#include <QDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace
{
// The chooser replaced by a fixed answer.
class CAnsweringBrowseDlg : public CFolderBrowseDlg
{
public:
    CAnsweringBrowseDlg(bool chosen, const QUrl& url)
        : CFolderBrowseDlg("title", "start", nullptr), m_bChosen(chosen), m_url(url)
    {
    }

protected:
    bool ShowBrowser(QUrl& chosen) override
    {
        chosen = m_url;
        return m_bChosen;
    }

private:
    const bool m_bChosen;
    const QUrl m_url;
};

// Only a chosen place with a local path counts; the path is in native form.
TEST(CFolderBrowseDlg, TakesOnlyLocalFolders)
{
    const struct
    {
        bool bChosen;
        QUrl url;
        int nResult;
        QString path;
    } cases[] = {{true, QUrl::fromLocalFile("/srv/data"), IDOK, "/srv/data"},
                 {true, QUrl("sftp://host/srv/data"), IDCANCEL, "start"},
                 {false, QUrl::fromLocalFile("/srv/data"), IDCANCEL, "start"}};
    for (const auto& c : cases)
    {
        CAnsweringBrowseDlg browser(c.bChosen, c.url);
        EXPECT_EQ(browser.Browse(), c.nResult) << c.url.toString().toStdString();
        EXPECT_EQ(browser.GetPath(), QDir::toNativeSeparators(c.path).toStdString());
    }
}

} // namespace
