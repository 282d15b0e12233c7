// Times the drawing screen on a large drawing: from choosing the drawing to the screen drawn
// with it carried, and the repaints of its plan while zooming and panning. Not a test: it
// prints what it measured.
//
//   tavrelo_drawing_screen_bench [ENTITIES] [--keep FOLDER] [--drawing DRAWING]
//
// ENTITIES (default 1000000) model-space entities in a survey-sized area of a Greek national
// grid: lines, closed polylines, circles, arcs, texts and block inserts, with 100000 points in
// the coordinate file. With --drawing an existing drawing is shown instead (one written by
// tavrelo_generate_drawing, say: lots of a survey side by side rather than entities strewn at
// random). With --keep the files stay in FOLDER, with a picture of the screen (screen.png). Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "data/handoff_files.h"
#include "drawing/drawing_outline.h"
#include "drawing/dxf_transform.h"
#include "point_generator.h"
#include "screens/drawing_plot.h"
#include "screens/drawing_screen.h"
#include "screens/file_questions.h"
#include "screens/screen_mechanics.h"
#include "transform/plane_mapping.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QWheelEvent>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

namespace {

// A drawing of `count` entities, as a CAD program writes R2000 files (handles, layers,
// subclass markers), in a square of 3 km about (475000, 4200000).
void writeDrawing(const std::filesystem::path& file, long count)
{
    std::ofstream out(file, std::ios::binary);
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> across(-1500.0, 1500.0), small(0.5, 25.0);
    char buffer[1024];
    out << "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
    for (long i = 0; i < count; ++i) {
        const double x = 475000 + across(random), y = 4200000 + across(random), d = small(random);
        const unsigned long handle = 0x100 + static_cast<unsigned long>(i);
        int n = 0;
        switch (i % 10) {
        case 0: case 1: case 2: case 3:
            n = std::snprintf(buffer, sizeof buffer,
                              "0\nLINE\n5\n%lX\n330\n1F\n100\nAcDbEntity\n8\nDETAIL\n100\nAcDbLine\n10\n%.3f\n20\n%.3f\n30\n0.0\n"
                              "11\n%.3f\n21\n%.3f\n31\n0.0\n",
                              handle, x, y, x + d, y + d / 2);
            break;
        case 4: case 5:
            n = std::snprintf(buffer, sizeof buffer,
                              "0\nLWPOLYLINE\n5\n%lX\n330\n1F\n100\nAcDbEntity\n8\nBUILDINGS\n100\nAcDbPolyline\n90\n4\n70\n1\n"
                              "10\n%.3f\n20\n%.3f\n10\n%.3f\n20\n%.3f\n10\n%.3f\n20\n%.3f\n42\n0.25\n10\n%.3f\n20\n%.3f\n",
                              handle, x, y, x + d, y, x + d, y + d, x, y + d);
            break;
        case 6:
            n = std::snprintf(buffer, sizeof buffer,
                              "0\nCIRCLE\n5\n%lX\n330\n1F\n100\nAcDbEntity\n8\nTREES\n100\nAcDbCircle\n10\n%.3f\n20\n%.3f\n30\n0.0\n40\n%.3f\n",
                              handle, x, y, d / 5);
            break;
        case 7:
            n = std::snprintf(buffer, sizeof buffer,
                              "0\nARC\n5\n%lX\n330\n1F\n100\nAcDbEntity\n8\nKERB\n100\nAcDbCircle\n10\n%.3f\n20\n%.3f\n30\n0.0\n40\n%.3f\n"
                              "100\nAcDbArc\n50\n15.0\n51\n160.0\n",
                              handle, x, y, d);
            break;
        case 8:
            n = std::snprintf(buffer, sizeof buffer,
                              "0\nTEXT\n5\n%lX\n330\n1F\n100\nAcDbEntity\n8\nNAMES\n100\nAcDbText\n10\n%.3f\n20\n%.3f\n30\n0.0\n40\n0.5\n"
                              "1\nP%ld\n50\n0.0\n100\nAcDbText\n",
                              handle, x, y, i);
            break;
        default:
            n = std::snprintf(buffer, sizeof buffer,
                              "0\nINSERT\n5\n%lX\n330\n1F\n100\nAcDbEntity\n8\nPOINTS\n100\nAcDbBlockReference\n2\nPOINT\n10\n%.3f\n"
                              "20\n%.3f\n30\n0.0\n41\n1.0\n42\n1.0\n43\n1.0\n50\n0.0\n",
                              handle, x, y);
            break;
        }
        out.write(buffer, n);
    }
    out << "0\nENDSEC\n0\nEOF\n";
}

// Milliseconds of processor time this thread has used: on a machine busy with other work the
// wall-clock figures grow, these do not.
double cpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
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
    std::filesystem::path given;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--drawing" && i + 1 < argc) {
            given = argv[++i];
        } else if (argument == "--keep" && i + 1 < argc) {
            folder = argv[++i];
            keep = true;
        } else {
            count = std::strtol(argv[i], nullptr, 10);
        }
    }
    if (folder.empty())
        folder = std::filesystem::temp_directory_path() / ("tavrelo-drawing-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "state");

    tavrelo::bench::GeneratorOptions options;
    options.points = 100000;
    const std::filesystem::path coordinates = folder / "points.txt";
    // A drawing given is in a system of its own: no points of the generator's to lie on.
    std::ofstream(coordinates, std::ios::binary) << (given.empty() ? tavrelo::bench::generatePoints(options) : std::string());
    const std::filesystem::path drawing = given.empty() ? folder / "drawing.dxf" : given;
    if (given.empty())
        writeDrawing(drawing, count);
    tavrelo::setHandoffFolder(folder / "state");
    tavrelo::writeHandoffPath(tavrelo::handoffFiles(), coordinates.string());
    tavrelo::writeHandoffParameters(tavrelo::handoffFiles(),
                                    {"12", "475000", "4200000", "0.85", "1.0002", "300000", "200000"});
    tavrelo::setFileAsker([&](QWidget*, const tavrelo::FileQuestion&) {
        return tavrelo::FileAnswer{QString::fromStdString(drawing.string()), 0};
    });
    std::printf("%s, %.0f MB\n", given.empty() ? (std::to_string(count) + " entities").c_str() : given.c_str(),
                std::filesystem::file_size(drawing) / 1e6);

    // The parts apart, once each: the rewriter alone, and the outline read and carried alone.
    QElapsedTimer timer;
    timer.start();
    double cpu = cpuMilliseconds();
    tavrelo::transformDrawing((folder / "carried.dxf").string(), drawing.string(), tavrelo::handoffFiles().parameterFile());
    const double rewrite = timer.nsecsElapsed() / 1e6, rewriteCpu = cpuMilliseconds() - cpu;
    timer.restart();
    cpu = cpuMilliseconds();
    tavrelo::DrawingOutline outline = tavrelo::readDrawingOutline(drawing);
    tavrelo::carryOutline(outline, tavrelo::PlaneMapping(tavrelo::readParameterFile(tavrelo::handoffFiles().parameterFile()),
                                                         tavrelo::handoffFiles().parameterFile()));
    const double read = timer.nsecsElapsed() / 1e6, readCpu = cpuMilliseconds() - cpu;
    std::filesystem::remove(folder / "carried.dxf");
    std::printf("carrying the drawing: %.1f ms (processor %.1f ms); reading its outline and carrying it: %.1f ms (processor %.1f ms); "
                "%zu vertices, %zu arcs, %zu marks\n",
                rewrite, rewriteCpu, read, readCpu, outline.vertices.size(), outline.arcs.size(), outline.marks.size());

    // Maximised on a full-HD display.
    auto* screen = tavrelo::showScreen<tavrelo::DrawingScreen>();
    screen->resize(1920, 1040);
    QApplication::processEvents();
    auto* plot = screen->findChild<tavrelo::DrawingPlot*>(QStringLiteral("drawingPlot"));
    auto* choose = screen->findChild<QPushButton*>(QStringLiteral("drawingFileButton"));

    // From the click on the file button (the dialog answered at once) to the screen drawn.
    timer.restart();
    cpu = cpuMilliseconds();
    choose->click();
    screen->repaint();
    QApplication::processEvents();
    const double shown = timer.nsecsElapsed() / 1e6;
    std::printf("drawing chosen -> screen drawn with it: %.1f ms (processor %.1f ms)\n", shown, cpuMilliseconds() - cpu);
    // The whole drawing is carried meanwhile in the background: until what was carried is told.
    while (screen->carrying())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    std::printf("drawing chosen -> carried in the background and summed up: %.1f ms\n", timer.nsecsElapsed() / 1e6);

    std::vector<double> whole, zoom, pan, zoomCpu, panCpu;
    std::vector<double> wholeCpu;
    for (int i = 0; i < 10; ++i) {
        timer.restart();
        cpu = cpuMilliseconds();
        plot->repaint();
        whole.push_back(timer.nsecsElapsed() / 1e6);
        wholeCpu.push_back(cpuMilliseconds() - cpu);
    }
    const QPointF centre(plot->width() / 2.0, plot->height() / 2.0);
    for (int i = 0; i < 40; ++i) {
        const int direction = i < 20 ? 120 : -120;
        QWheelEvent wheel(centre, plot->mapToGlobal(centre), {}, QPoint(0, direction), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        timer.restart();
        cpu = cpuMilliseconds();
        QApplication::sendEvent(plot, &wheel);
        plot->repaint();
        zoom.push_back(timer.nsecsElapsed() / 1e6);
        zoomCpu.push_back(cpuMilliseconds() - cpu);
    }
    QMouseEvent press(QEvent::MouseButtonPress, centre, plot->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(plot, &press);
    for (int i = 0; i < 60; ++i) {
        const QPointF at = centre + QPointF(3.0 * i, 2.0 * i);
        QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
        timer.restart();
        cpu = cpuMilliseconds();
        QApplication::sendEvent(plot, &move);
        plot->repaint();
        pan.push_back(timer.nsecsElapsed() / 1e6);
        panCpu.push_back(cpuMilliseconds() - cpu);
    }
    std::printf("whole drawing repaint: median %.2f ms, slowest %.2f ms (processor median %.2f ms)\n", median(whole),
                *std::max_element(whole.begin(), whole.end()), median(wholeCpu));
    std::printf("zoom repaint: median %.2f ms, slowest %.2f ms (%zu repaints; processor median %.2f ms)\n", median(zoom),
                *std::max_element(zoom.begin(), zoom.end()), zoom.size(), median(zoomCpu));
    std::printf("pan repaint:  median %.2f ms, slowest %.2f ms (%zu repaints; processor median %.2f ms)\n", median(pan),
                *std::max_element(pan.begin(), pan.end()), pan.size(), median(panCpu));
    std::printf("plot area %dx%d px\n", plot->width(), plot->height());

    if (keep) {
        plot->showAll();
        screen->grab().save(QString::fromStdString((folder / "screen.png").string()));
    }
    screen->close();
    if (!keep)
        std::filesystem::remove_all(folder);
    return 0;
}
