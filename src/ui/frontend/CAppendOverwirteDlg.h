#pragma once
#include <QDialog>

class QLabel;
class QMovie;

// The question asked before the files to add are written to a tape: append
// them to the tape's archive (AO_APPEND, the default button) or overwrite it
// (AO_OVERWRITE); closing the dialog gives AO_CANCEL. Run with exec(); the
// front end makes one for each question.
class CAppendOverwirteDlg : public QDialog
{
    Q_OBJECT

public:
    // More colours than this depth (256) can show the turning tape.
    static constexpr int MAX_STILL_DEPTH = 8;

    explicit CAppendOverwirteDlg(QWidget* parent = nullptr);

    // The turning tape on a display of more than 256 colours, otherwise (or
    // when the animation cannot be read) the still picture in its place.
    void ShowPictureFor(int colourDepth);
    bool IsAnimating() const;

    // Esc and the close box.
    void reject() override;

private:
    QLabel* m_pAnimation;
    QLabel* m_pStill;
    QMovie* m_pMovie;
};
