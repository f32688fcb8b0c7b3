#pragma once

// Up-down arrows attached to a text box. Each step reads the whole number the
// box shows, moves it by the increment within [minimum, maximum] and writes it
// back, which raises the box's textChanged like any text set from code.

#include "toolkit/twips.h"

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace toolkit {

class UpDown : public QWidget
{
    Q_OBJECT

public:
    UpDown(QWidget *parent, QLineEdit *buddy, int minimum, int maximum, int increment);

    void stepUp() { stepBy(1); }
    void stepDown() { stepBy(-1); }
    QToolButton *upArrow() const { return m_up; }
    QToolButton *downArrow() const { return m_down; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void stepBy(int steps);

    QLineEdit *m_buddy;
    int m_minimum;
    int m_maximum;
    int m_increment;
    QToolButton *m_up;
    QToolButton *m_down;
    QWidget *m_focusFrame;
};

UpDown *upDown(QWidget *parent, const char *name, TwipsRect r, QLineEdit *buddy, int minimum, int maximum,
               int increment = 1);

} // namespace toolkit
