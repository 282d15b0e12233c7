// Times the least-squares screen on a large coordinate file: from choosing the file of common
// points to the screen drawn with the fit, and the repaints of the plan while panning and
// zooming. Not a test: it prints what it measured.
//
//   tavrelo_fit_screen_bench [POINTS] [--keep FOLDER]
//
// With --keep the files stay in FOLDER, with a picture of the screen (screen.png).
// POINTS (default 1000000) realistic points are written to a temporary folder with twenty of
// their stations known in a target system (one of them half a metre off). Runs on Qt's
// offscreen platform unless QT_QPA_PLATFORM says otherwise (xcb under Xvfb, say).

#include "data/handoff_files.h"
#include "point_generator.h"
#include "screens/fit_screen.h"
#include "screens/points_plot.h"
#include "screens/screen_mechanics.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

struct Station {
    std::string Pn;
    double x, y, h;
};

// Every station of the file ("Σ" and a number, Windows-1253), in file order.
std::vector<Station> stationsOf(const std::string& points)
{
    std::vector<Station> stations;
    std::size_t at = 0;
    while (at < points.size()) {
        std::size_t end = points.find("\r\n", at);
        if (end == std::string::npos)
            end = points.size();
        if (static_cast<unsigned char>(points[at]) == 0xD3) {
            const std::string line = points.substr(at, end - at);
            std::vector<std::string> fields;
            std::size_t from = 0;
            for (int i = 0; i < 4; ++i) {
                const std::size_t comma = line.find(',', from);
                fields.push_back(line.substr(from, comma - from));
                from = comma + 1;
            }
            if (!fields[3].empty())
                stations.push_back({fields[0], std::stod(fields[1]), std::stod(fields[2]), std::stod(fields[3])});
        }
        at = end + 2;
    }
    return stations;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    tavrelo::prepareScreens();

    long count = 1000000;
    std::filesystem::path folder;
    bool keep = false;
    int common = 20;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--common" && i + 1 < argc) {
            common = std::max(3, std::atoi(argv[++i]));
        } else if (argument == "--keep" && i + 1 < argc) {
            folder = argv[++i];
            keep = true;
        } else {
            count = std::strtol(argv[i], nullptr, 10);
        }
    }
    if (folder.empty())
        folder = std::filesystem::temp_directory_path() / ("tavrelo-fit-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "state");

    // The coordinate file, and N stations spread over it in a target system: turned by
    // 12 grads about a point, shifted, a few millimetres of noise, one station off by 0.5 m.
    tavrelo::bench::GeneratorOptions options;
    options.points = count;
    const std::string points = tavrelo::bench::generatePoints(options);
    const std::filesystem::path coordinates = folder / "points.txt";
    std::ofstream(coordinates, std::ios::binary) << points;
    const std::vector<Station> stations = stationsOf(points);
    if (stations.size() < 3) {
        std::fprintf(stderr, "too few stations in %ld points\n", count);
        return 1;
    }
    std::string targets;
    const double t = 12 * 3.14159265358979 / 200, c = std::cos(t), s = std::sin(t);
    const std::size_t step = std::max<std::size_t>(1, stations.size() / static_cast<std::size_t>(common));
    int written = 0;
    for (std::size_t i = 0; i < stations.size() && written < common; i += step, ++written) {
        const Station& p = stations[i];
        const double noise = ((written * 7) % 11 - 5) * 0.001;
        const double gross = written == 7 ? 0.5 : 0.0;
        char line[200];
        std::snprintf(line, sizeof line, ",%.3f,%.3f,%.3f,\r\n", c * (p.x - 475000) + s * (p.y - 4200000) + 300000 + noise + gross,
                      -s * (p.x - 475000) + c * (p.y - 4200000) + 200000 - noise, p.h - 0.85 + noise);
        targets += p.Pn + line;
    }
    const std::filesystem::path targetFile = folder / "targets.txt";
    std::ofstream(targetFile, std::ios::binary) << targets;

    tavrelo::setHandoffFolder(folder / "state");
    tavrelo::writeHandoffPath(tavrelo::handoffFiles(), coordinates.string());
    tavrelo::setFileAsker([&](QWidget*, const tavrelo::FileQuestion&) {
        return tavrelo::FileAnswer{QString::fromStdString(targetFile.string()), 0};
    });

    // Maximised on a full-HD display: the largest plan to draw that is common.
    auto* screen = tavrelo::showScreen<tavrelo::FitScreen>();
    screen->resize(1920, 1040);
    QApplication::processEvents();
    auto* plot = screen->findChild<tavrelo::PointsPlot*>(QStringLiteral("pointsPlot"));
    auto* choose = screen->findChild<QPushButton*>(QStringLiteral("targetFileButton"));

    // From the click on the file button (the dialog answered at once) to the screen drawn.
    QElapsedTimer timer;
    timer.start();
    choose->click();
    screen->repaint();
    QApplication::processEvents();
    const double shown = timer.nsecsElapsed() / 1e6;
    std::printf("%ld points (%zu kept for the plan), %d common points\n", count, plot->dots().size(), written);
    std::printf("file of common points chosen -> screen drawn with the fit: %.1f ms\n", shown);

    // Repaints of the plan while zooming and panning, each drawn to its end.
    std::vector<double> zoom, pan;
    const QPointF centre(plot->width() / 2.0, plot->height() / 2.0);
    for (int i = 0; i < 40; ++i) {
        const int direction = i < 20 ? 120 : -120;
        QWheelEvent wheel(centre, plot->mapToGlobal(centre), {}, QPoint(0, direction), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        timer.restart();
        QApplication::sendEvent(plot, &wheel);
        plot->repaint();
        zoom.push_back(timer.nsecsElapsed() / 1e6);
    }
    QMouseEvent press(QEvent::MouseButtonPress, centre, plot->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(plot, &press);
    for (int i = 0; i < 60; ++i) {
        const QPointF at = centre + QPointF(3.0 * i, 2.0 * i);
        QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
        timer.restart();
        QApplication::sendEvent(plot, &move);
        plot->repaint();
        pan.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("zoom repaint: median %.2f ms, slowest %.2f ms (%zu repaints)\n", median(zoom),
                *std::max_element(zoom.begin(), zoom.end()), zoom.size());
    std::printf("pan repaint:  median %.2f ms, slowest %.2f ms (%zu repaints)\n", median(pan),
                *std::max_element(pan.begin(), pan.end()), pan.size());
    std::printf("plot area %dx%d px\n", plot->width(), plot->height());

    // A point switched out in the table, and the outliers dropped: each refits and redraws.
    auto* table = screen->findChild<QTableView*>(QStringLiteral("pointsTable"));
    timer.restart();
    table->model()->setData(table->model()->index(0, tavrelo::FitTableModel::Use), Qt::Unchecked, Qt::CheckStateRole);
    screen->repaint();
    std::printf("a point switched out -> refitted and drawn: %.1f ms\n", timer.nsecsElapsed() / 1e6);
    timer.restart();
    screen->findChild<QPushButton*>(QStringLiteral("dropOutliersButton"))->click();
    screen->repaint();
    std::printf("outliers dropped -> refitted and drawn: %.1f ms\n", timer.nsecsElapsed() / 1e6);

    if (keep) {
        // A picture of the screen as first shown, to look at.
        plot->showAll();
        screen->grab().save(QString::fromStdString((folder / "screen.png").string()));
    }
    screen->close();
    if (!keep)
        std::filesystem::remove_all(folder);
    return 0;
}
