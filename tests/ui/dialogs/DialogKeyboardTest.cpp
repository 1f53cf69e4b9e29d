// Every dialog can be filled in and ended without the mouse: Tab reaches
// each control that takes the focus, and Escape cancels.
#include "devices/CTapeDesc.h"
#include "platform/CDosDeviceQuery.h"
#include "platform/CRegistryReader.h"
#include "settings/CAppSettings.h"
#include "ui/dialogs/CExtractionDlg.h"
#include "ui/dialogs/CFileTypesDlg.h"
#include "ui/dialogs/COptionsDlg.h"
#include "ui/dialogs/CTapeDevicesDlg.h"
#include "ui/dialogs/CTapeDriveFeaturesDlg.h"
#include "ui/support/DialogTestSupport.h"

#include <QApplication>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace
{

// One drive, "tape0", named by nobody.
class COneDrive : public CRegistryReader, public CDosDeviceQuery
{
public:
    std::unique_ptr<CKey> OpenKey(const std::string&) const override { return nullptr; }
    bool Exists(const std::string& name) const override { return name == "tape0"; }
};

// The controls a user reaches with Tab: shown, enabled and taking the focus
// themselves; of a group of radio buttons the checked one, the rest being
// one arrow key away.
std::set<QWidget*> Reachable(QDialog& dialog)
{
    std::set<QWidget*> controls;
    for (QWidget* widget : dialog.findChildren<QWidget*>())
    {
        const auto* radio = qobject_cast<QRadioButton*>(widget);
        if (widget->isVisibleTo(&dialog) && widget->isEnabled() && !widget->focusProxy() &&
            (widget->focusPolicy() & Qt::TabFocus) && (!radio || radio->isChecked()))
            controls.insert(widget);
    }
    return controls;
}

void ExpectKeyboardOnly(QDialog& dialog)
{
    ShowAndSettle(dialog);
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    const std::set<QWidget*> controls = Reachable(dialog);
    ASSERT_GE(controls.size(), 2u) << "a dialog has at least its buttons";
    std::set<QWidget*> reached;
    for (std::size_t step = 0; step < 2 * controls.size() + 2; ++step)
    {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        reached.insert(focus);
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    for (QWidget* control : controls)
        EXPECT_EQ(reached.count(control), 1u)
            << "Tab never reaches " << control->metaObject()->className() << " \""
            << control->accessibleName().toStdString() << "\"";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(DialogKeyboardTest, EveryDialogIsWalkedWithTabAndEndedWithEscape)
{
    std::vector<std::string> specs{"*.txt"};
    CAppSettings settings;
    const COneDrive drive;
    const CTapeDesc drives(drive, drive);
    const TAPE_GET_DRIVE_PARAMETERS driveFeatures{};
    const TAPE_GET_MEDIA_PARAMETERS media{};
    const std::pair<const char*, std::function<std::unique_ptr<QDialog>()>> dialogs[] = {
        {"Extract", [&] { return std::make_unique<CExtractionDlg>("/tmp", &specs); }},
        {"File Types", [&] { return std::make_unique<CFileTypesDlg>(&specs); }},
        {"Options", [&] { return std::make_unique<COptionsDlg>(&settings); }},
        {"Tape Devices",
         [&] { return std::make_unique<CTapeDevicesDlg>(20, 0, false, false, drives); }},
        {"Tape Drive Features",
         [&] { return std::make_unique<CTapeDriveFeaturesDlg>(driveFeatures, media); }},
    };
    for (const auto& [name, make] : dialogs)
    {
        SCOPED_TRACE(name);
        const std::unique_ptr<QDialog> dialog = make();
        ExpectKeyboardOnly(*dialog);
    }
}

} // namespace
