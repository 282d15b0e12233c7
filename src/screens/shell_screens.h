#pragma once
// The program's shell: the splash that greets the user, the main menu that opens the three
// steps and the help, and the help dialog with the way into the layout conversion.

#include <QWidget>

#include <memory>

namespace Ui {
class frmSplash;
class Form2;
class Dialog;
}  // namespace Ui

namespace tavrelo {

class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);
    ~frmSplash() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void openMenu();

    std::unique_ptr<Ui::frmSplash> ui;
};

class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);
    ~Form2() override;

private:
    std::unique_ptr<Ui::Form2> ui;
};

class Dialog : public QWidget {
    Q_OBJECT
public:
    explicit Dialog(QWidget* parent = nullptr);
    ~Dialog() override;

    // The help text as the program keeps it: 19 lines, each ended by CR LF.
    static const QString kHelpText;

private:
    std::unique_ptr<Ui::Dialog> ui;
};

// Ends the program at once: every screen goes without its own close handling.
void endProgram();

}  // namespace tavrelo
