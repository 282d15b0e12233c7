#pragma once
// The drawing screen: a DXF drawing carried by the parameters of the save step (or back, as
// the save screen's "Αντίστροφα" says), shown on a plan with the chosen coordinate file's
// points carried the same way, what was carried and what stayed, and saved under a new name.

#include <QString>
#include <QWidget>

#include "drawing/dxf_transform.h"

#include <exception>
#include <memory>
#include <string>
#include <thread>

class QTemporaryDir;

namespace Ui {
class DrawingScreen;
}

namespace tavrelo {

class DrawingScreen : public QWidget {
    Q_OBJECT
public:
    explicit DrawingScreen(QWidget* parent = nullptr);
    ~DrawingScreen() override;

    // Which way the drawing is carried: back from the target system when `inverse`. A drawing
    // on the screen is carried again the new way.
    void setInverse(bool inverse);
    bool inverse() const { return inverse_; }
    // Whether the chosen drawing is still being carried in the background (the plan already
    // shows it; what was carried, and saving, wait for it).
    bool carrying() const { return carrying_; }

private:
    void drawingFileButton_Click();
    void skipUnknownBox_Toggled();
    void saveButton_Click();

    void carry(const std::string& drawingPath);
    void carriedInBackground(unsigned number, const DrawingSummary& summary, std::exception_ptr failure);
    void stopCarrying();
    void showDirection();

    std::unique_ptr<Ui::DrawingScreen> ui;
    std::unique_ptr<QTemporaryDir> scratch_;  // where the drawing is carried in the background
    std::string drawingPath_;                 // the drawing on the plan, empty while none is
    bool inverse_ = false;
    QString summary_;                         // what the last carrying did
    QString pointsNote_;                      // what the plan's triangles are
    std::thread worker_;                      // carrying the drawing in the background
    unsigned carryings_ = 0;                  // the number of the latest
    bool carrying_ = false;
};

}  // namespace tavrelo
