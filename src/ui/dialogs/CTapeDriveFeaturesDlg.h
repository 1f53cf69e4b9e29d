#pragma once
#include "platform/WinTape.h"

#include <QDialog>
#include <QString>

// The "Tape Drive Features" dialog: what the drive holding the open tape
// archive reports about itself and its tape. The archive view makes one on
// the stack from the two records it has just read and runs it modally; the
// records are read once, at construction, and not kept.
class CTapeDriveFeaturesDlg : public QDialog
{
    Q_OBJECT

public:
    enum : int
    {
        IDD = 121,
        IDC_NAMED_FEATURES = 1056,
        IDC_FEATURES_HIGH = 1058,
        IDC_FEATURES_LOW = 1060,
    };

    CTapeDriveFeaturesDlg(const TAPE_GET_DRIVE_PARAMETERS& drive,
                          const TAPE_GET_MEDIA_PARAMETERS& media, QWidget* parent = nullptr);

    // The drive's feature words as "0x%lX".
    QString m_strFeaturesHigh;
    QString m_strFeaturesLow;
};
