#pragma once
// The three file chooser screens: Form1 chooses the coordinate file, Form4 the folder and
// name of the result file (and writes it), Form6 a file to convert from another layout.

#include <QWidget>

#include <memory>

namespace Ui {
class Form1;
class Form4;
class Form6;
}  // namespace Ui

namespace tavrelo {

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

private:
    void File1_Click();
    void Command1_Click();

    std::unique_ptr<Ui::Form1> ui;
};

class Form4 : public QWidget {
    Q_OBJECT
public:
    explicit Form4(QWidget* parent = nullptr);
    ~Form4() override;

private:
    void File1_Click();
    void Text1_Change();
    void Command1_Click();

    std::unique_ptr<Ui::Form4> ui;
};

class Form6 : public QWidget {
    Q_OBJECT
public:
    explicit Form6(QWidget* parent = nullptr);
    ~Form6() override;

private:
    void Form_Load();
    void File1_Click();
    void Command1_Click();

    std::unique_ptr<Ui::Form6> ui;
};

}  // namespace tavrelo
