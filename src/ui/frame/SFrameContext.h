#pragma once
#include <QFont>

class CAppSettings;
class CFileDataSource;
class CMessageLog;
class CTapeDesc;
class CTarDoc;

// What the main window and its panes show and change, all owned by the
// application and outliving the window: the document with its two lists (as
// the data sources the application's list factory made), the settings, the
// log, the tape drives found at start-up and the application font.
struct SFrameContext
{
    CTarDoc& doc;
    CFileDataSource& catalogue;
    CFileDataSource& filesToAdd;
    CAppSettings& settings;
    CMessageLog& log;
    const CTapeDesc& tapes;
    QFont font;
};
