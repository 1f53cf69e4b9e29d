#pragma once
#include <QWidget>

class QLineEdit;

// The bar above the catalogue that narrows it to the members whose names
// hold what is typed. Hidden until Open (Ctrl+F); Escape, or its close
// button, empties it and hides it again. Owned by the catalogue's pane.
class CFindBar : public QWidget
{
    Q_OBJECT

public:
    explicit CFindBar(QWidget* parent = nullptr);

    // Shows the bar with its text selected, ready for typing.
    void Open();
    // Empties and hides the bar.
    void Close();
    QLineEdit& Field() const { return *m_pField; }

signals:
    // The text to find changed; empty when the bar closed.
    void TextChanged(const QString& text);
    // The bar closed: the focus goes back to the list.
    void Closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* m_pField;
};
