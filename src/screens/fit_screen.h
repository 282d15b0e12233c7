#pragma once
// The least-squares screen: the common points of the chosen coordinate file, read from a file
// of their coordinates in the target system, fitted by one transformation: a similarity, an
// affine map or a polynomial of the second degree. Shows
// every point with how far it misses in a table and on a plan; points are switched in and out
// by hand or dropped as outliers; O.K. hands a similarity's parameters on to the save step,
// while the other models write the new coordinates and their model file from here; a report
// goes to the client's file as PDF or text.

#include "data/common_points.h"
#include "screens/file_questions.h"
#include "transform/model_fit.h"

#include <QAbstractTableModel>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Ui {
class FitScreen;
}

namespace tavrelo {

class PointsPlot;

// The table of points: one row a matched point (use, Pn, source X Y h, target X Y h, vX vY vh v),
// then one row a target point number that the coordinate file does not hold.
class FitTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Use, Pn, SourceX, SourceY, SourceH, TargetX, TargetY, TargetH, VX, VY, VH, V, ColumnCount };

    void setPoints(const CommonPoints* points, const std::vector<bool>* use, const FitStatistics* fit);
    // The fit, or its absence, changed: residuals and marks are shown anew.
    void refresh(const FitStatistics* fit);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    void useChanged(int point, bool used);

private:
    const CommonPoints* points_ = nullptr;
    const std::vector<bool>* use_ = nullptr;
    const FitStatistics* fit_ = nullptr;
};

class FitScreen : public QWidget {
    Q_OBJECT
public:
    explicit FitScreen(QWidget* parent = nullptr);
    ~FitScreen() override;

private:
    void Form_Load();
    void targetFileButton_Click();
    void dropOutliersButton_Click();
    void reportButton_Click();
    void okButton_Click();
    void saveResultButton_Click();
    void saveModelButton_Click();

    void loadCommonPoints(const std::string& coordinatePath, const std::string& targetPath);
    FitOptions options() const;
    FitModel model() const;
    void refit(bool droppingOutliers = false);
    void showFit();
    // No fit stands: the state line says why, in red when something is wrong, in the normal
    // colour when it only says what to do next.
    void noFit(const QString& why, bool wrong = true);
    void showState(const QString& text, bool wrong);

    std::unique_ptr<Ui::FitScreen> ui;
    std::string coordinatePath_;
    std::string targetPath_;
    CommonPoints points_;
    std::vector<bool> use_;
    std::optional<ModelFit> fit_;
    FitTableModel model_;  // shows the members above: goes before them
};

}  // namespace tavrelo
