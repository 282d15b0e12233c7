#include "screens/file_questions.h"

#include <QFileDialog>

#include <algorithm>
#include <cstdlib>

namespace tavrelo {

namespace {

FileAsker& fileAsker()
{
    static FileAsker asker;
    return asker;
}

FileAnswer askWithDialog(QWidget* parent, const FileQuestion& question)
{
    QFileDialog::Options options;
    if (std::getenv("TAVRELO_QT_FILE_DIALOG"))
        options |= QFileDialog::DontUseNativeDialog;
    const QString filters = question.filters.join(QStringLiteral(";;"));
    QString chosenFilter = question.filters.value(0);
    FileAnswer answer;
    answer.path = question.save
                      ? QFileDialog::getSaveFileName(parent, question.title, question.suggestedName, filters, &chosenFilter, options)
                      : QFileDialog::getOpenFileName(parent, question.title, question.suggestedName, filters, &chosenFilter, options);
    answer.filter = std::max<int>(0, static_cast<int>(question.filters.indexOf(chosenFilter)));
    return answer;
}

}  // namespace

void setFileAsker(FileAsker asker)
{
    fileAsker() = std::move(asker);
}

FileAnswer askForFile(QWidget* parent, const FileQuestion& question)
{
    return fileAsker() ? fileAsker()(parent, question) : askWithDialog(parent, question);
}

}  // namespace tavrelo
