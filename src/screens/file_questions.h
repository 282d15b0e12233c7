#pragma once
// How a screen asks the user for a file to open or a name to save under: the desktop's file
// dialog, or whoever the screen tests put in its place.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace tavrelo {

struct FileQuestion {
    bool save = false;
    QString title;
    QStringList filters;   // the first is offered first
    QString suggestedName;
};
struct FileAnswer {
    QString path;          // empty: the user cancelled
    int filter = 0;        // the filter chosen, as an index into `filters`
};
using FileAsker = std::function<FileAnswer(QWidget* parent, const FileQuestion&)>;
// Sets who answers from now on; an empty function restores the file dialog.
void setFileAsker(FileAsker asker);

// Asks: the file dialog of the desktop, Qt's own when TAVRELO_QT_FILE_DIALOG is set (for
// driving the program from a script, where a desktop's dialog cannot be counted on).
FileAnswer askForFile(QWidget* parent, const FileQuestion& question);

}  // namespace tavrelo
