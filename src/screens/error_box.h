#pragma once
// The error box: one modeless window, titled "ERROR", that shows the message of a failed
// handler. A second failure while it is open shows the new message in the same window.

#include <QWidget>

class QLabel;

namespace tavrelo {

class ErrorBox : public QWidget {
    Q_OBJECT
public:
    explicit ErrorBox(QWidget* parent = nullptr);
    void setMessage(const QString& message);
    QString message() const;

private:
    QLabel* message_;
};

}  // namespace tavrelo
