#include "screens/screen_mechanics.h"

#include "screens/error_box.h"
#include "text/codepage.h"
#include "text/failure.h"
#include "text/number_form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFontDatabase>
#include <QIcon>
#include <QLocale>
#include <QPalette>
#include <QPixmap>
#include <QTimer>

#include <new>

// The pictures are compiled into this library; a static library registers them by hand.
static void initialiseResources()
{
    Q_INIT_RESOURCE(tavrelo);
}

namespace tavrelo {

void bringToFront(QWidget* screen)
{
    screen->show();
    screen->setWindowState(screen->windowState() & ~Qt::WindowMinimized);
    screen->raise();
    screen->activateWindow();
}

void endWhenLastScreenCloses(QWidget* screen)
{
    QObject::connect(screen, &QObject::destroyed, qApp, [] {
        // Once the events of the closing have run: is any screen still shown?
        QTimer::singleShot(0, qApp, [] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->isVisible() && window->windowType() != Qt::Popup)
                    return;
            QCoreApplication::quit();
        });
    });
}

void runHandler(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const Failure& failure) {
        reportFailure(QString::fromUtf8(failure.what()));
    } catch (const std::bad_alloc&) {
        reportFailure(QStringLiteral("Δεν επαρκεί η μνήμη του υπολογιστή για αυτή την εργασία."));
    } catch (const std::exception& error) {
        reportFailure(QStringLiteral("Απρόβλεπτο σφάλμα: ") + QString::fromLocal8Bit(error.what()));
    }
}

void reportFailure(const QString& message)
{
    showScreen<ErrorBox>()->setMessage(message);
}

namespace {

std::filesystem::path& handoffFolder()
{
    static std::filesystem::path folder;
    return folder;
}

}  // namespace

void setHandoffFolder(const std::filesystem::path& folder)
{
    handoffFolder() = folder;
}

HandoffFiles handoffFiles()
{
    return HandoffFiles(handoffFolder());
}

char regionalSeparator()
{
    const QString point = QLocale().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() > 32 && point.at(0).unicode() < 127)
        return static_cast<char>(point.at(0).unicode());
    return '.';
}

QString fromFileText(const std::string& bytes)
{
    return QString::fromStdString(windows1253ToUtf8(bytes));
}

QString displayNumber(double value)
{
    return QString::fromStdString(generalNumberForm(value, regionalSeparator()));
}

QString displayValue(const Value& value)
{
    switch (value.kind) {
    case Value::Kind::Number: return displayNumber(value.number);
    case Value::Kind::Text: return fromFileText(value.text);
    case Value::Kind::Empty: break;
    }
    return {};
}

QString fixedDecimals(double value, int decimals)
{
    return QString::fromStdString(fixedDecimalForm(value, decimals, regionalSeparator()));
}

QString shownFigure(std::string (*form)(double, char), double value)
{
    return QString::fromStdString(form(value, regionalSeparator()));
}

QString shownFigure(std::string (*form)(double, char), const std::optional<double>& value)
{
    return value ? shownFigure(form, *value) : QString();
}

QString shownPath(const std::string& path)
{
    const QString full = QString::fromStdString(path);
#ifndef Q_OS_WIN
    const QString home = QDir::homePath();
    if (home != QStringLiteral("/") && full.startsWith(home + QLatin1Char('/')))
        return QStringLiteral("~") + full.mid(home.size());
#endif
    return full;
}

void prepareScreens()
{
    initialiseResources();
    // Fonts built into the program (the Windows build carries the Greek stand-ins this way),
    // so that every system shows the same screens.
    const QDir builtIn(QStringLiteral(":/fonts"));
    QStringList builtInFamilies;
    for (const QString& name : builtIn.entryList(QDir::Files))
        builtInFamilies << QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(builtIn.filePath(name)));
    // A program that carries its fonts shows the screens that name no font of their own (the
    // least-squares and drawing screens, Qt's dialogs) in the carried sans face too, at the
    // system's size: the system's own face may have no Greek, or, where it is missing, stand in
    // with one whose letters are symbols.
    if (builtInFamilies.contains(QStringLiteral("Liberation Sans"))) {
        QFont font = QApplication::font();
        font.setFamilies({QStringLiteral("Liberation Sans")});
        QApplication::setFont(font);
    }
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Athena"), {QStringLiteral("GFS Neohellenic"), QStringLiteral("DejaVu Serif")});
    QFont::insertSubstitutions(QStringLiteral("UB-Script"), {QStringLiteral("GFS Neohellenic"), QStringLiteral("DejaVu Serif")});
}

QFont screenFont(const char* family, double pointSize, bool bold, bool italic, bool underline)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

QIcon applicationIcon()
{
    QIcon icon;
    for (const char* file : {":/icon16.png", ":/icon32.png", ":/icon64.png"})
        icon.addFile(QString::fromLatin1(file));
    return icon;
}

QIcon noIcon()
{
    QPixmap empty(16, 16);
    empty.fill(Qt::transparent);
    return QIcon(empty);
}

void useHandPointer(QAbstractButton* button)
{
    // The tip of the pointing finger is the hot spot.
    button->setCursor(QCursor(QPixmap(QStringLiteral(":/hand.png")), 10, 1));
}

void makeRed(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    palette.setColor(QPalette::Text, QColor(255, 0, 0));
    widget->setPalette(palette);
}

}  // namespace tavrelo
