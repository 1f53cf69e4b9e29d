#include "document/CTarDoc.h"

#include "core/CMessageLog.h"
#include "devices/CTarFileDevice.h"
#include "devices/CTarTapeDevice.h"
#include "document/CAppendOverwrite.h"
#include "document/CScriptedFrontEnd.h"
#include "platform/CSimhTape.h"
#include "platform/PathStyle.h"
#include "settings/CAppSettings.h"
#include "support/CArchiveImage.h"
#include "support/CTestFolder.h"
#include "support/VirtualTape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace
{

// A member name as the catalogue holds it: in the host's native form.
std::string Native(std::string name)
{
    std::replace(name.begin(), name.end(), '/', kHostSeparator);
    return name;
}

std::vector<std::string> Native(std::vector<std::string> names)
{
    for (std::string& name : names)
        name = Native(name);
    return names;
}
class CTarDocTest : public testing::Test
{
protected:
    CTarDocTest()
    {
        // The finished look would wait for a button press no test gives.
        m_settings.m_bShowFinishedDialog = 0;
    }

    std::string WriteArchive(const std::string& name, const CArchiveImage& image)
    {
        return m_folder.WriteFile(name, image.Bytes());
    }

    std::vector<std::string> CatalogueNames() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < m_doc.m_catalogue.GetCount(); ++i)
            names.push_back(m_doc.m_catalogue.GetAt(i)->strName);
        return names;
    }

    // The members another document lists in the archive at the path.
    std::vector<std::string> ListArchive(const std::string& path)
    {
        CScriptedFrontEnd frontEnd;
        CMessageLog log;
        CTarDoc doc(frontEnd, m_settings, log);
        EXPECT_TRUE(doc.OnOpenDocument(path));
        std::vector<std::string> names;
        for (int i = 0; i < doc.m_catalogue.GetCount(); ++i)
            names.push_back(doc.m_catalogue.GetAt(i)->strName);
        return names;
    }

    // The index file as another document extracts it from the archive.
    std::string ReadIndexFile(const std::string& path)
    {
        CScriptedFrontEnd frontEnd;
        CMessageLog log;
        CTarDoc doc(frontEnd, m_settings, log);
        EXPECT_TRUE(doc.OnOpenDocument(path));
        CWildCard specs;
        specs.SetSpecs({m_settings.m_strIndexFileName});
        const std::vector<std::uint32_t> rows;
        std::filesystem::create_directory(m_folder / "index-out");
        doc.Extract(&specs, &rows, m_folder / "index-out");
        return m_folder.ReadFile("index-out/" + m_settings.m_strIndexFileName);
    }

    bool SawStatus(const std::string& text) const
    {
        const auto statuses = m_frontEnd.Statuses();
        const auto initial = m_frontEnd.InitialStatuses();
        return std::count(statuses.begin(), statuses.end(), text) +
                   std::count(initial.begin(), initial.end(), text) >
               0;
    }

    int CountBoxes(CScriptedFrontEnd::EBoxKind kind) const
    {
        const auto boxes = m_frontEnd.Boxes();
        return static_cast<int>(std::count_if(
            boxes.begin(), boxes.end(), [kind](const auto& box) { return box.nKind == kind; }));
    }

    void AddFile(const std::string& name, const std::string& contents)
    {
        ASSERT_TRUE(m_doc.m_filesToAdd.AddPath(m_folder.WriteFile(name, contents), false));
    }

    CTestFolder m_folder;
    CScriptedFrontEnd m_frontEnd;
    CAppSettings m_settings;
    CMessageLog m_log;
    CTarDoc m_doc{m_frontEnd, m_settings, m_log};
};

CArchiveImage SampleArchive()
{
    CArchiveImage image;
    image.File("a.txt", "alpha")
        .Folder("d/")
        .File("d/b.txt", "bravo!")
        .Link("d/link", "d/b.txt", '1')
        .File("d/odd", "", 'Q')
        .End();
    return image;
}

TEST_F(CTarDocTest, OpeningADiskArchiveListsItWithoutAQuestion)
{
    const std::string path = WriteArchive("sample.tar", SampleArchive());

    EXPECT_TRUE(m_doc.OnOpenDocument(path));

    EXPECT_EQ(CatalogueNames(), Native({"a.txt", "d/", "d/b.txt", "d/link"}));
    EXPECT_FALSE(m_doc.m_catalogue.GetAt(1)->bIsFile);
    EXPECT_EQ(m_doc.m_catalogue.GetAt(2)->dwSize, 6u);
    EXPECT_EQ(m_doc.m_catalogue.GetAt(3)->chType, '1');
    EXPECT_EQ(m_doc.m_catalogue.GetAt(3)->strLinkTarget, "d/b.txt");
    EXPECT_TRUE(SawStatus("Finished listing archive"));
    EXPECT_TRUE(m_frontEnd.Boxes().empty());
    EXPECT_EQ(m_frontEnd.CloseCodes(), std::vector<int>{CWaitDialog::WAIT_CLOSE_DONE});
    EXPECT_EQ(m_doc.GetPathName(), path);
    // A member of a type no writer uses has no row; the user hears of it
    // through the log.
    ASSERT_EQ(m_log.GetCount(), 1);
    EXPECT_EQ(m_log.GetAt(0).m_strMessage,
              "Unable to process file [" + Native("d/odd") + "], of type [unknown]");
}

TEST_F(CTarDocTest, AFailedOpenShowsTheErrorAndAsksForAnEmptyDocument)
{
    EXPECT_FALSE(m_doc.OnOpenDocument(m_folder.WriteFile("notes.txt", std::string(2048, 'n'))));

    EXPECT_EQ(CountBoxes(CScriptedFrontEnd::BOX_ERROR), 1);
    EXPECT_EQ(m_frontEnd.NewDocumentRequests(), 1);
}

TEST(CTarDocPathTest, TapePathsAreRecognisedWhateverTheirCase)
{
    EXPECT_TRUE(CTarDoc::IsTapePath("\\\\.\\tape0"));
    EXPECT_TRUE(CTarDoc::IsTapePath("\\\\.\\TAPE1"));
    EXPECT_FALSE(CTarDoc::IsTapePath("/tmp/tape0.tar"));
    EXPECT_FALSE(CTarDoc::IsTapePath("C:\\tape"));
}

TEST_F(CTarDocTest, ANewDocumentClosesTheArchiveAndForgetsItsPath)
{
    ASSERT_TRUE(m_doc.OnOpenDocument(WriteArchive("sample.tar", SampleArchive())));
    AddFile("c.txt", "charlie");

    m_doc.OnNewDocument();

    EXPECT_FALSE(m_doc.IsArchiveOpen());
    EXPECT_TRUE(m_doc.GetPathName().empty());
    EXPECT_EQ(m_doc.m_catalogue.GetCount(), 0);
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_EQ(m_log.GetCount(), 0);
}

// The user name the engine writes into the header of the member.
std::string OwnerOf(const std::string& archive, const std::string& member)
{
    const std::size_t header = archive.find(member + '\0');
    return header == std::string::npos ? "" : std::string(archive.c_str() + header + 265);
}

TEST_F(CTarDocTest, OnlyPermissionSettingsReachTheEngine)
{
    m_settings.m_tarSettings.m_bOwnPermissions = 0;
    m_settings.NotifyChanged(SC_ALL);
    for (const int code : {SC_PATHS, SC_PERMISSIONS, SC_ALL})
    {
        SCOPED_TRACE(code);
        const std::string path = WriteArchive("sample.tar", SampleArchive());
        ASSERT_TRUE(m_doc.OnOpenDocument(path));
        m_settings.m_tarSettings.m_strUserName = "changed" + std::to_string(code);
        m_settings.NotifyChanged(code);
        AddFile("c.txt", "charlie");

        ASSERT_TRUE(m_doc.OnSaveDocument(path));

        const std::string expected =
            code == SC_PATHS ? "user" : m_settings.m_tarSettings.m_strUserName;
        EXPECT_EQ(OwnerOf(m_folder.ReadFile("sample.tar"), "c.txt"), expected);
        m_settings.m_tarSettings.m_strUserName = "user";
        m_settings.NotifyChanged(SC_ALL);
        m_doc.OnCloseDocument(); // so that the next round may write the file
    }
}

struct SExtractCase
{
    const char* label;
    std::vector<std::string> specs;
    std::vector<std::uint32_t> rows;
    std::vector<std::string> expected;
    const char* overall; // the whole operation's progress at its end
};

class CTarDocExtractTest : public CTarDocTest, public testing::WithParamInterface<SExtractCase>
{
};

TEST_P(CTarDocExtractTest, ExtractsTheChosenMembersIntoTheDestination)
{
    CArchiveImage image;
    image.File("a.txt", "alpha").Folder("d/").File("d/b.txt", "bravo!").End();
    ASSERT_TRUE(m_doc.OnOpenDocument(WriteArchive("sample.tar", image)));
    EXPECT_EQ(m_frontEnd.LastOverall(), "3 files, 11 bytes read");
    const std::string destination = m_folder / "out";
    std::filesystem::create_directory(destination);
    CWildCard specs;
    specs.SetSpecs(GetParam().specs);

    m_doc.Extract(&specs, &GetParam().rows, destination);

    std::vector<std::string> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(destination))
        if (item.is_regular_file())
            files.push_back(std::filesystem::relative(item.path(), destination).generic_string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, GetParam().expected);
    EXPECT_EQ(CountBoxes(CScriptedFrontEnd::BOX_ERROR), 0);
    EXPECT_EQ(m_frontEnd.LastOverall(), GetParam().overall);
}

INSTANTIATE_TEST_SUITE_P(Choices, CTarDocExtractTest,
                         testing::Values(SExtractCase{"All", {"*"}, {}, {"a.txt", "d/b.txt"},
                                                      "3 of 3 files, 11 bytes of 11 bytes"},
                                         SExtractCase{"Rows", {}, {2}, {"d/b.txt"},
                                                      "1 of 1 files, 6 bytes of 6 bytes"},
                                         SExtractCase{"Pattern", {"*.txt"}, {}, {"a.txt", "d/b.txt"},
                                                      "2 of 2 files, 11 bytes of 11 bytes"},
                                         SExtractCase{"PatternNoMatch", {"*.doc"}, {}, {},
                                                      "0 files, 0 bytes read"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(CTarDocTest, SavingANewArchiveWritesTheIndexFileFirst)
{
    AddFile("a.txt", "alpha");
    AddFile("big.bin", std::string(1024, 'x'));
    ASSERT_TRUE(m_doc.IsModified());
    const std::string path = m_folder.WriteFile("new.tar", "left over from before");

    EXPECT_TRUE(m_doc.OnSaveDocument(path));

    EXPECT_EQ(m_doc.m_filesToAdd.GetCount(), 0);
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_EQ(CountBoxes(CScriptedFrontEnd::BOX_ERROR), 0);
    EXPECT_EQ(ListArchive(path), (std::vector<std::string>{"index.txt", "a.txt", "big.bin"}));
    EXPECT_EQ(m_frontEnd.LastOverall(), "3 of 3 files, 1.0 KB of 1.0 KB");

    EXPECT_EQ(ReadIndexFile(path), "a.txt, 5\r\nbig.bin, 1024\r\n");
}

TEST_F(CTarDocTest, SizesInTheIndexFileAreUnsigned64Bit)
{
    // Sparse: the engine refuses a member this large, so nothing big is written.
    const std::string big = m_folder / "huge.bin";
    m_folder.WriteFile("huge.bin", "");
    std::filesystem::resize_file(big, 9ull << 30);
    ASSERT_TRUE(m_doc.m_filesToAdd.AddPath(big, false));
    m_frontEnd.QueueAnswer(IDYES);
    const std::string path = m_folder / "huge.tar";

    m_doc.OnSaveDocument(path);

    EXPECT_EQ(ReadIndexFile(path), "huge.bin, 9663676416\r\n");
}

TEST_F(CTarDocTest, AFailedSaveKeepsTheFilesToAddWithoutTheIndexEntry)
{
    AddFile("a.txt", "alpha");

    EXPECT_FALSE(m_doc.OnSaveDocument(m_folder / "no-such-folder/new.tar"));

    EXPECT_EQ(CountBoxes(CScriptedFrontEnd::BOX_ERROR), 1);
    ASSERT_EQ(m_doc.m_filesToAdd.GetCount(), 1);
    EXPECT_EQ(m_doc.m_filesToAdd.GetAt(0)->strName, "a.txt");
    EXPECT_TRUE(m_doc.IsModified());
}

// Refuses the index file's entry, as a list would whose limit its path passes.
class CIndexRefusingList : public CFileEntrys
{
public:
    bool CanAdd(const SFileEntry& entry) override { return entry.strName != "index.txt"; }
};

// Taken for the index file, the user's first entry would be passed over by
// an append, which never adds an index file.
TEST_F(CTarDocTest, AnIndexEntryTheListRefusesIsReportedAndTheUsersEntriesAreSaved)
{
    CTarDoc doc{m_frontEnd, m_settings, m_log, {},
                [](CTarDoc::EList) { return std::make_unique<CIndexRefusingList>(); }};
    const std::string path = WriteArchive("sample.tar", SampleArchive());
    ASSERT_TRUE(doc.OnOpenDocument(path));
    for (const char* name : {"x.txt", "y.txt"})
        ASSERT_TRUE(doc.m_filesToAdd.AddPath(m_folder.WriteFile(name, name), false));

    EXPECT_TRUE(doc.OnSaveDocument(path));

    const auto boxes = m_frontEnd.Boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.front().strText,
              "Unable to add the index file [index.txt] to the files to add.");
    EXPECT_EQ(ListArchive(path), Native({"a.txt", "d/", "d/b.txt", "d/link", "x.txt", "y.txt"}));
}

TEST_F(CTarDocTest, SavingToTheOpenArchiveAppends)
{
    const std::string path = WriteArchive("sample.tar", SampleArchive());
    ASSERT_TRUE(m_doc.OnOpenDocument(path));
    AddFile("c.txt", "charlie");

    EXPECT_TRUE(m_doc.OnSaveDocument(path));

    EXPECT_EQ(ListArchive(path), Native({"a.txt", "d/", "d/b.txt", "d/link", "c.txt"}));
}

TEST_F(CTarDocTest, SavingUnderAnotherPathLeavesTheOpenArchiveAlone)
{
    const std::string open = WriteArchive("sample.tar", SampleArchive());
    ASSERT_TRUE(m_doc.OnOpenDocument(open));
    AddFile("c.txt", "charlie");
    const std::string other = m_folder / "other.tar";

    EXPECT_TRUE(m_doc.OnSaveDocument(other));

    EXPECT_EQ(m_doc.GetPathName(), other);
    EXPECT_EQ(ListArchive(other), (std::vector<std::string>{"index.txt", "c.txt"}));
    EXPECT_EQ(ListArchive(open), Native({"a.txt", "d/", "d/b.txt", "d/link"}));
}

TEST_F(CTarDocTest, NothingWaitingMeansNoSaveQuestion)
{
    EXPECT_TRUE(m_doc.SaveModified());
    EXPECT_TRUE(m_frontEnd.Boxes().empty());
}

struct SSaveQuestionCase
{
    int nAnswer;
    bool bResult;
    int nFilesLeft;
};

class CTarDocSaveQuestionTest : public CTarDocTest, public testing::WithParamInterface<SSaveQuestionCase>
{
};

TEST_P(CTarDocSaveQuestionTest, TheAnswerDecidesWhetherToSaveAndToGoOn)
{
    const std::string path = WriteArchive("sample.tar", SampleArchive());
    ASSERT_TRUE(m_doc.OnOpenDocument(path));
    AddFile("c.txt", "charlie");
    m_frontEnd.QueueAnswer(GetParam().nAnswer);

    EXPECT_EQ(m_doc.SaveModified(), GetParam().bResult);

    const auto boxes = m_frontEnd.Boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0].strText, "Save changes to " + path + "?");
    EXPECT_EQ(boxes[0].nStyle & 0x0F, MB_YESNOCANCEL);
    EXPECT_EQ(m_doc.m_filesToAdd.GetCount(), GetParam().nFilesLeft);
}

INSTANTIATE_TEST_SUITE_P(Answers, CTarDocSaveQuestionTest,
                         testing::Values(SSaveQuestionCase{IDYES, true, 0},
                                         SSaveQuestionCase{IDNO, true, 1},
                                         SSaveQuestionCase{IDCANCEL, false, 1}));

TEST_F(CTarDocTest, SavingANewDocumentAsksWhereAndACancelSavesNothing)
{
    AddFile("a.txt", "alpha");
    m_frontEnd.QueueSavePath("");
    EXPECT_FALSE(m_doc.DoFileSave());
    EXPECT_EQ(m_doc.m_filesToAdd.GetCount(), 1);

    const std::string path = m_folder / "chosen.tar";
    m_frontEnd.QueueSavePath(path);
    EXPECT_TRUE(m_doc.DoFileSave());

    const auto boxes = m_frontEnd.Boxes();
    ASSERT_EQ(CountBoxes(CScriptedFrontEnd::BOX_SAVE_PATH), 2);
    EXPECT_EQ(boxes[0].strText, "Untitled");
    EXPECT_EQ(m_doc.GetPathName(), path);
    EXPECT_EQ(ListArchive(path), (std::vector<std::string>{"index.txt", "a.txt"}));
}

TEST_F(CTarDocTest, SavingTheOpenArchiveAsksNoPathUnlessItIsReadOnly)
{
    const std::string path = WriteArchive("sample.tar", SampleArchive());
    ASSERT_TRUE(m_doc.OnOpenDocument(path));
    AddFile("c.txt", "charlie");
    EXPECT_TRUE(m_doc.DoFileSave());
    EXPECT_EQ(CountBoxes(CScriptedFrontEnd::BOX_SAVE_PATH), 0);

    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    AddFile("e.txt", "echo");
    m_frontEnd.QueueSavePath("");
    EXPECT_FALSE(m_doc.DoFileSave());
    EXPECT_EQ(CountBoxes(CScriptedFrontEnd::BOX_SAVE_PATH), 1);
}

TEST_F(CTarDocTest, EraseEmptiesTheArchiveOnlyWhenConfirmed)
{
    const std::string path = WriteArchive("sample.tar", SampleArchive());
    ASSERT_TRUE(m_doc.OnOpenDocument(path));

    m_frontEnd.QueueAnswer(IDNO);
    m_doc.OnEraseArchive();
    EXPECT_EQ(m_doc.m_catalogue.GetCount(), 4);

    m_frontEnd.QueueAnswer(IDYES);
    m_doc.OnEraseArchive();
    EXPECT_EQ(m_doc.m_catalogue.GetCount(), 0);
    EXPECT_TRUE(SawStatus("Finished erasing archive"));
    EXPECT_TRUE(ListArchive(path).empty());
}

// Each file vanishes between being added and being written, which the engine
// reports as a problem and steps over.
class CTarDocProblemTest : public CTarDocTest
{
protected:
    void AddVanishingFiles(int count)
    {
        m_settings.m_bUseIndexFile = 0;
        for (int i = 0; i < count; ++i)
        {
            const std::string name = "gone" + std::to_string(i) + ".txt";
            AddFile(name, "soon gone");
            std::filesystem::remove(m_folder / name);
        }
    }
};

TEST_F(CTarDocProblemTest, TwoProblemsGiveTwoLogEntriesAndOneQuestion)
{
    AddVanishingFiles(2);
    m_frontEnd.QueueAnswer(IDYES);

    m_doc.OnSaveDocument(m_folder / "new.tar");

    EXPECT_EQ(m_log.GetCount(), 2);
    EXPECT_EQ(CountBoxes(CScriptedFrontEnd::BOX_QUESTION), 1);
    EXPECT_EQ(CountBoxes(CScriptedFrontEnd::BOX_ERROR), 0);
    const auto question = m_frontEnd.Boxes().front();
    EXPECT_NE(question.strText.find("\nDo you want to continue this operation?"),
              std::string::npos);
    EXPECT_EQ(question.nStyle, MB_YESNO | MB_ICONSTOP);
}

TEST_F(CTarDocProblemTest, AnsweringNoEndsTheOperationWithoutAnError)
{
    AddVanishingFiles(2);
    m_frontEnd.QueueAnswer(IDNO);

    EXPECT_FALSE(m_doc.OnSaveDocument(m_folder / "new.tar"));

    EXPECT_EQ(m_log.GetCount(), 1);
    EXPECT_EQ(CountBoxes(CScriptedFrontEnd::BOX_ERROR), 0);
    EXPECT_EQ(m_frontEnd.CloseCodes().back(), CWaitDialog::WAIT_CLOSE_CANCELLED);
    EXPECT_EQ(m_doc.m_filesToAdd.GetCount(), 2);
}

// The archive is cut back to what it held; a row of a member it no longer
// holds would make an extraction by row pick another.
TEST_F(CTarDocProblemTest, AStoppedAppendLeavesTheCatalogueAsTheArchiveIs)
{
    const std::string path = WriteArchive("sample.tar", SampleArchive());
    ASSERT_TRUE(m_doc.OnOpenDocument(path));
    AddFile("kept.txt", "kept");
    AddVanishingFiles(1);
    m_frontEnd.QueueAnswer(IDNO);

    EXPECT_FALSE(m_doc.OnSaveDocument(path));

    EXPECT_EQ(CatalogueNames(), ListArchive(path));
    EXPECT_EQ(CatalogueNames(), Native({"a.txt", "d/", "d/b.txt", "d/link"}));
}

// A new archive whose first read waits until the user has confirmed Cancel:
// what the write meets before its next cancellation point comes after it.
class CCancelAtFirstReadTar : public CTar
{
public:
    explicit CCancelAtFirstReadTar(CScriptedFrontEnd& frontEnd) : m_frontEnd(frontEnd) {}

protected:
    std::unique_ptr<CTarDevice> MakeDevice(const std::string&, bool, bool) override
    {
        return std::make_unique<CDevice>(m_frontEnd);
    }

private:
    class CDevice : public CTarFileDevice
    {
    public:
        explicit CDevice(CScriptedFrontEnd& frontEnd) : m_frontEnd(frontEnd) {}
        bool ReadRecord(unsigned char* record) override
        {
            const bool read = CTarFileDevice::ReadRecord(record);
            m_frontEnd.QueueCancelPress();
            while (m_frontEnd.CancelPresses().empty())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return read;
        }

    private:
        CScriptedFrontEnd& m_frontEnd;
    };

    CScriptedFrontEnd& m_frontEnd;
};

TEST_F(CTarDocProblemTest, ProblemsAfterAConfirmedCancelAreLoggedOnly)
{
    CTarDoc doc{m_frontEnd, m_settings, m_log,
                [this] { return std::make_unique<CCancelAtFirstReadTar>(m_frontEnd); }};
    m_settings.m_bUseIndexFile = 0;
    for (const char* name : {"gone1.txt", "gone2.txt"})
    {
        ASSERT_TRUE(doc.m_filesToAdd.AddPath(m_folder.WriteFile(name, "soon gone"), false));
        std::filesystem::remove(m_folder / name);
    }
    m_frontEnd.QueueAnswer(IDYES); // "Are you sure?"

    doc.OnSaveDocument(m_folder / "new.tar");

    EXPECT_EQ(m_log.GetCount(), 2);
    EXPECT_EQ(CountBoxes(CScriptedFrontEnd::BOX_QUESTION), 1) << "the Cancel confirmation alone";
}

// A save over an existing archive writes the new one beside it: a cancel
// leaves the old one byte for byte, nothing beside it, and the document
// untitled again.
TEST_F(CTarDocProblemTest, ACancelledSaveOverAnArchiveKeepsItAsItWas)
{
    CTarDoc doc{m_frontEnd, m_settings, m_log,
                [this] { return std::make_unique<CCancelAtFirstReadTar>(m_frontEnd); }};
    m_settings.m_bUseIndexFile = 0;
    ASSERT_TRUE(doc.m_filesToAdd.AddPath(m_folder.WriteFile("a.txt", "alpha"), false));
    const std::string path = m_folder.WriteFile("old.tar", "the user's own");
    m_frontEnd.QueueAnswer(IDYES); // "Are you sure?"

    EXPECT_FALSE(doc.OnSaveDocument(path));

    EXPECT_EQ(m_folder.ReadFile("old.tar"), "the user's own");
    EXPECT_EQ(doc.GetPathName(), "") << "a second save must not append to it";
    std::vector<std::string> left;
    for (const auto& item : std::filesystem::directory_iterator(m_folder.Path()))
        left.push_back(item.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"a.txt", "old.tar"}));
}

// Files to add that, asked for their second entry, wait until the user has
// confirmed Cancel.
class CCancelAtSecondEntryList : public CFileEntrys
{
public:
    explicit CCancelAtSecondEntryList(CScriptedFrontEnd& frontEnd) : m_frontEnd(frontEnd) {}
    bool CanAdd(const SFileEntry&) override
    {
        if (++m_nAsked != 2)
            return true;
        m_frontEnd.QueueCancelPress();
        while (m_frontEnd.CancelPresses().empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return true;
    }

private:
    CScriptedFrontEnd& m_frontEnd;
    int m_nAsked = 0;
};

// A tree is added on the worker, where each entry can be cancelled, and a
// cancel leaves the list as it was. A path that cannot be added is logged.
TEST_F(CTarDocProblemTest, AddingATreeCanBeCancelledAndLeavesTheListAsItWas)
{
    CTarDoc doc{m_frontEnd, m_settings, m_log, {}, [this](CTarDoc::EList list) {
                    return list == CTarDoc::LIST_FILES_TO_ADD
                               ? std::make_unique<CCancelAtSecondEntryList>(m_frontEnd)
                               : std::make_unique<CFileEntrys>();
                }};
    doc.m_filesToAdd.Add(SFileEntry("kept"));
    m_folder.WriteFile("tree/a.txt", "a");
    m_folder.WriteFile("tree/sub/b.txt", "b");
    m_frontEnd.QueueAnswer(IDYES); // "Are you sure?"

    doc.AddFiles({m_folder / "tree"});
    EXPECT_EQ(doc.m_filesToAdd.GetCount(), 1);

    doc.AddFiles({m_folder / "tree", m_folder / "missing"});
    EXPECT_EQ(doc.m_filesToAdd.GetCount(), 5);
    EXPECT_EQ(m_log.GetCount(), 1);
}

TEST_F(CTarDocProblemTest, CancelTakesEffectAtTheNextTick)
{
    AddVanishingFiles(1);
    AddFile("kept.txt", "kept");
    // The user confirms Cancel while the problem question is up; the
    // operation goes on past the problem and stops at the next tick.
    m_frontEnd.QueueAnswer(
        [this]
        {
            m_frontEnd.QueueCancelPress();
            while (m_frontEnd.CancelPresses().empty())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return IDYES;
        });
    m_frontEnd.QueueAnswer(IDYES);

    EXPECT_FALSE(m_doc.OnSaveDocument(m_folder / "new.tar"));

    EXPECT_EQ(m_frontEnd.CancelPresses(), std::vector<bool>{true});
    EXPECT_TRUE(SawStatus(CWaitDialog::WAIT_CANCELING));
    EXPECT_EQ(CountBoxes(CScriptedFrontEnd::BOX_ERROR), 0);
    EXPECT_EQ(m_frontEnd.CloseCodes().back(), CWaitDialog::WAIT_CLOSE_CANCELLED);
    EXPECT_EQ(m_doc.m_filesToAdd.GetCount(), 2);
}
#ifndef _WIN32
// Points the temporary folder elsewhere for one case.
class CTempFolderScope
{
public:
    explicit CTempFolderScope(const std::string& folder)
    {
        if (const char* old = std::getenv("TMPDIR"))
            m_old = old;
        ::setenv("TMPDIR", folder.c_str(), 1);
    }
    ~CTempFolderScope()
    {
        if (m_old.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", m_old.c_str(), 1);
    }
    CTempFolderScope(const CTempFolderScope&) = delete;
    CTempFolderScope& operator=(const CTempFolderScope&) = delete;

private:
    std::string m_old;
};

TEST_F(CTarDocTest, TheIndexFileNeverGoesThroughALinkPlantedInTheTemporaryFolder)
{
    const std::string temp = m_folder / "tmp";
    std::filesystem::create_directory(temp);
    std::filesystem::create_symlink(m_folder / "victim", std::filesystem::path(temp) / "index.txt");
    AddFile("a.txt", "alpha");
    {
        CTempFolderScope scope(temp);
        EXPECT_TRUE(m_doc.OnSaveDocument(m_folder / "new.tar"));
    }

    EXPECT_FALSE(std::filesystem::exists(m_folder / "victim"));
    // The private folder went with the write; only the planted link is left.
    std::vector<std::string> left;
    for (const auto& item : std::filesystem::directory_iterator(temp))
        left.push_back(item.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"index.txt"});
    EXPECT_EQ(ReadIndexFile(m_folder / "new.tar"), "a.txt, 5\r\n");
}
#endif

const std::string kTapeName = "\\\\.\\tape0";

// An engine whose tape is a virtual drive over an image file.
class CVirtualTapeTar : public CTar
{
public:
    explicit CVirtualTapeTar(std::string image) : m_image(std::move(image)) {}

protected:
    std::unique_ptr<CTarDevice> MakeDevice(const std::string& name, bool tape, bool fresh) override
    {
        return tape ? MakeVirtualTapeDevice(m_image) : CTar::MakeDevice(name, false, fresh);
    }

private:
    std::string m_image;
};

std::unique_ptr<CTarDoc> MakeTapeDoc(CFrontEnd& frontEnd, CAppSettings& settings, CMessageLog& log,
                                     const std::string& image)
{
    return std::make_unique<CTarDoc>(frontEnd, settings, log,
                                     [image] { return std::make_unique<CVirtualTapeTar>(image); });
}

class CTarDocTapeTest : public CTarDocTest
{
protected:
    CTarDocTapeTest()
    {
        EXPECT_TRUE(CSimhTape::WriteImage(m_image, {}));
        m_settings.m_bUseIndexFile = 0;
    }

    // Writes the files to a blank tape through a document of its own.
    void PrepareTape(const std::vector<std::string>& names)
    {
        CScriptedFrontEnd frontEnd;
        CMessageLog log;
        const auto doc = MakeTapeDoc(frontEnd, m_settings, log, m_image);
        for (const auto& name : names)
            ASSERT_TRUE(doc->m_filesToAdd.AddPath(m_folder.WriteFile(name, name), false));
        frontEnd.QueueAnswer(CAppendOverwrite::AO_OVERWRITE);
        ASSERT_TRUE(doc->OnSaveDocument(kTapeName));
    }

    std::vector<std::string> TapeNames()
    {
        CScriptedFrontEnd frontEnd;
        CMessageLog log;
        const auto doc = MakeTapeDoc(frontEnd, m_settings, log, m_image);
        frontEnd.QueueAnswer(IDOK);
        EXPECT_TRUE(doc->OnOpenDocument(kTapeName));
        std::vector<std::string> names;
        for (int i = 0; i < doc->m_catalogue.GetCount(); ++i)
            names.push_back(doc->m_catalogue.GetAt(i)->strName);
        return names;
    }

    std::string m_image = m_folder / "tape.tap";
    std::unique_ptr<CTarDoc> m_pTapeDoc = MakeTapeDoc(m_frontEnd, m_settings, m_log, m_image);
    CTarDoc& m_tapeDoc = *m_pTapeDoc;
};

TEST_F(CTarDocTapeTest, OpeningATapeListsItOnlyWhenTheUserWantsTheCatalogue)
{
    PrepareTape({"one.txt", "two.txt"});

    m_frontEnd.QueueAnswer(IDCANCEL);
    EXPECT_TRUE(m_tapeDoc.OnOpenDocument(kTapeName));
    EXPECT_TRUE(m_tapeDoc.IsArchiveOpen());
    EXPECT_EQ(m_tapeDoc.m_catalogue.GetCount(), 0);
    ASSERT_EQ(m_frontEnd.Boxes().size(), 1u);
    EXPECT_EQ(m_frontEnd.Boxes()[0].strText, "Would you like to catalog the archive?");
    EXPECT_EQ(m_frontEnd.Boxes()[0].strCaption, "Catalog");

    m_frontEnd.QueueAnswer(IDOK);
    EXPECT_TRUE(m_tapeDoc.OnOpenDocument(kTapeName));
    EXPECT_EQ(m_tapeDoc.m_catalogue.GetCount(), 2);
    EXPECT_TRUE(SawStatus("Standard format.\r\nFinished listing archive"));
}

// An engine whose device cannot be made for a reason outside the system's
// own exceptions.
class CBrokenTar : public CTar
{
protected:
    std::unique_ptr<CTarDevice> MakeDevice(const std::string&, bool, bool) override { throw std::runtime_error("broken"); }
};

TEST_F(CTarDocTest, AForeignExceptionOnTheWorkerIsReportedAsUnhandled)
{
    CTarDoc doc(m_frontEnd, m_settings, m_log, [] { return std::make_unique<CBrokenTar>(); });

    EXPECT_FALSE(doc.OnOpenDocument(m_folder / "any.tar"));

    ASSERT_EQ(m_frontEnd.Boxes().size(), 1u);
    EXPECT_EQ(m_frontEnd.Boxes()[0].nKind, CScriptedFrontEnd::BOX_ERROR);
    EXPECT_EQ(m_frontEnd.Boxes()[0].strText, "Unhandled exception in i/o thread");
    EXPECT_EQ(m_frontEnd.CloseCodes(), std::vector<int>{CWaitDialog::WAIT_CLOSE_DONE});
}

struct STapeSaveCase
{
    const char* label;
    int answer;
    std::vector<std::string> expected;
};

class CTarDocTapeSaveTest : public CTarDocTapeTest,
                            public testing::WithParamInterface<STapeSaveCase>
{
};

TEST_P(CTarDocTapeSaveTest, SavingToTheOpenTapeAppendsOrOverwritesAsChosen)
{
    PrepareTape({"one.txt"});
    m_frontEnd.QueueAnswer(IDOK);
    ASSERT_TRUE(m_tapeDoc.OnOpenDocument(kTapeName));
    ASSERT_TRUE(m_tapeDoc.m_filesToAdd.AddPath(m_folder.WriteFile("new.txt", "new"), false));
    m_frontEnd.QueueAnswer(GetParam().answer);

    const bool written = m_tapeDoc.OnSaveDocument(kTapeName);

    EXPECT_EQ(written, GetParam().answer != CAppendOverwrite::AO_CANCEL);
    EXPECT_EQ(m_tapeDoc.IsModified(), !written);
    m_tapeDoc.DeleteContents();
    EXPECT_EQ(TapeNames(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, CTarDocTapeSaveTest,
    testing::Values(STapeSaveCase{"Append", CAppendOverwrite::AO_APPEND, {"one.txt", "new.txt"}},
                    STapeSaveCase{"Overwrite", CAppendOverwrite::AO_OVERWRITE, {"new.txt"}},
                    STapeSaveCase{"Cancel", CAppendOverwrite::AO_CANCEL, {"one.txt"}}),
    [](const auto& info) { return std::string(info.param.label); });

// Saving to a tape while a disk archive is open writes to the tape; the disk
// archive is neither added to nor erased.
TEST_P(CTarDocTapeSaveTest, ADiskArchiveOpenIsLeftAlone)
{
    const STapeSaveCase& c = GetParam();
    PrepareTape({"one.txt"});
    const std::string disk = WriteArchive("sample.tar", SampleArchive());
    const std::string before = m_folder.ReadFile("sample.tar");
    ASSERT_TRUE(m_tapeDoc.OnOpenDocument(disk));
    ASSERT_TRUE(m_tapeDoc.m_filesToAdd.AddPath(m_folder.WriteFile("new.txt", "new"), false));
    m_frontEnd.QueueAnswer(c.answer);

    m_tapeDoc.OnSaveDocument(kTapeName);

    EXPECT_EQ(m_folder.ReadFile("sample.tar"), before);
    EXPECT_EQ(TapeNames(), c.expected);
}

TEST_F(CTarDocTapeTest, EjectingWithFilesWaitingAsksFirst)
{
    PrepareTape({"one.txt"});
    m_frontEnd.QueueAnswer(IDOK);
    ASSERT_TRUE(m_tapeDoc.OnOpenDocument(kTapeName));
    ASSERT_TRUE(m_tapeDoc.CanEject());
    ASSERT_TRUE(m_tapeDoc.m_filesToAdd.AddPath(m_folder.WriteFile("new.txt", "new"), false));

    m_frontEnd.QueueAnswer(IDNO);
    m_tapeDoc.OnEjectTape();
    EXPECT_EQ(m_frontEnd.NewDocumentRequests(), 0);
    EXPECT_TRUE(m_tapeDoc.IsArchiveOpen());

    m_frontEnd.QueueAnswer(IDYES);
    m_tapeDoc.OnEjectTape();
    EXPECT_EQ(m_frontEnd.NewDocumentRequests(), 1);
    EXPECT_TRUE(SawStatus("Ejecting tape..."));
}
} // namespace
