#pragma once
// A menu button whose caption may stand on several lines: runs of two or more spaces in the
// caption start a new line, and a line too wide for the button wraps at its spaces. The
// caption itself (text()) stays as written.

#include <QPushButton>

namespace tavrelo {

class MenuButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tavrelo
