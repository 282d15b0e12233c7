#pragma once
// The three fixed message screens, each closed by its one button:
// Dialog1, the warning that the two common points' distance differs between the systems;
// Form5, the error that a target coordinate of a common point is missing;
// Form7, the error that a drive cannot be read.

#include <QWidget>

#include <memory>

namespace Ui {
class Dialog1;
class Form5;
class Form7;
}  // namespace Ui

namespace tavrelo {

class Dialog1 : public QWidget {
    Q_OBJECT
public:
    explicit Dialog1(QWidget* parent = nullptr);
    ~Dialog1() override;

private:
    std::unique_ptr<Ui::Dialog1> ui;
};

class Form5 : public QWidget {
    Q_OBJECT
public:
    explicit Form5(QWidget* parent = nullptr);
    ~Form5() override;

    // The message, as the screen holds it: one line ended by CR LF.
    static const QString kMessage;

private:
    std::unique_ptr<Ui::Form5> ui;
};

class Form7 : public QWidget {
    Q_OBJECT
public:
    explicit Form7(QWidget* parent = nullptr);
    ~Form7() override;

private:
    std::unique_ptr<Ui::Form7> ui;
};

}  // namespace tavrelo
