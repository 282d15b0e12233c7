#pragma once
// The common points screen: pick the two common points from the coordinate file, type their
// target coordinates, compute the parameters and hand them on to the save step.

#include <QWidget>

#include <memory>

class QComboBox;
class QLineEdit;

namespace Ui {
class Form3;
}

namespace tavrelo {

class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(QWidget* parent = nullptr);
    ~Form3() override;

private:
    void Form_Load();
    void Combo1_Click(int row);
    void Combo2_Click(int row);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    void showPoint(int row, QLineEdit* No, QLineEdit* X, QLineEdit* Y, QLineEdit* h, QLineEdit* D);
    void keepNothingPickedWhileTyping(QComboBox* list);
    void parametersNoLongerShown();

    std::unique_ptr<Ui::Form3> ui;
    // The picks of the last completed computation. O.K. hands on the parameters shown only
    // while the picks, the target boxes and the scale box are those they were computed from:
    // any change disables it until the next completed computation.
    int computedRow1_ = -1;
    int computedRow2_ = -1;
};

}  // namespace tavrelo
