// Alarm status: what the regions would make of the scan, before anything is written. The scan
// page evaluates the watched group, the region page the group being edited, and during a replay
// the whole recording is evaluated for the marks under the slider.
#include "mainwindow/mainwindow.h"

#include "display/radarindicatorwidget.h"
#include "mainwindow/replayalarmtimeline.h"
#include "regions/regiondocument.h"
#include "ui_mainwindow.h"

void MainWindow::connectAlarmStatus()
{
    replayAlarms = new ReplayAlarmTimeline(this);
    for (int group = 1; group <= Regions::groupCount; ++group)
        ui->comboBoxWatchedGroup->addItem(QString::number(group), group);
    connect(ui->comboBoxWatchedGroup, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MainWindow::showAlarmGroups);
    connect(ui->radarIndicatorWidget, &RadarIndicatorWidget::alarmEvaluated, this,
            [this](const QVector<RegionAlarmState> &states) {
                ui->alarmStateStripScan->showStates(states,
                                                    regionDocument->store().value(watchedGroup()));
            });
    connect(ui->radarIndicatorWidgetDrawRgn, &RadarIndicatorWidget::alarmEvaluated, this,
            [this](const QVector<RegionAlarmState> &states) {
                ui->alarmStateStripRegions->showStates(
                    states, regionDocument->store().value(currentGroupRow()));
            });
    // Every edit, whoever made it, is evaluated at once; the next revolution follows it.
    connect(regionDocument, &RegionDocument::vertexMoved, this,
            [this](int group) { showAlarmGroup(group); });
    connect(regionDocument, &RegionDocument::regionChanged, this,
            [this](int group) { showAlarmGroup(group); });
    connect(regionDocument, &RegionDocument::storeReset, this, &MainWindow::showAlarmGroups);

    connect(replayAlarms, &ReplayAlarmTimeline::spansChanged, ui->replayAlarmMarks,
            &ReplayAlarmMarks::setSpans);
    connect(ui->replayAlarmMarks, &ReplayAlarmMarks::seekRequested, this,
            [this](qint64 positionUs) { replayLink->seek(positionUs); });
    showAlarmViews();
}

void MainWindow::on_pushButtonAlarmState_toggled(bool checked)
{
    showAlarmViews();
    if (checked)
        watchReplayAlarms(replayedCapture);
    else
        replayAlarms->clear();
}

// The region page evaluates only while a group is being edited.
void MainWindow::showAlarmViews()
{
    const bool on = ui->pushButtonAlarmState->isChecked();
    const bool editing = on && currentGroupRow() >= 1;
    ui->frameAlarmStatus->setVisible(on);
    ui->radarIndicatorWidget->setAlarmViewVisible(on);
    ui->alarmStateStripRegions->setVisible(editing);
    ui->radarIndicatorWidgetDrawRgn->setAlarmViewVisible(editing);
    ui->replayAlarmMarks->setVisible(on);
    showAlarmGroups();
}

// The scan page watches the group chosen on the region page until the operator picks another.
void MainWindow::followRegionPageGroup(int group)
{
    if (group >= 1)
        ui->comboBoxWatchedGroup->setCurrentIndex(ui->comboBoxWatchedGroup->findData(group));
    showAlarmViews();
}

int MainWindow::watchedGroup() const
{
    return ui->comboBoxWatchedGroup->currentData().toInt();
}

void MainWindow::showAlarmGroups()
{
    showAlarmGroup(watchedGroup());
    if (currentGroupRow() != watchedGroup())
        showAlarmGroup(currentGroupRow());
}

// Only what shows `group` is evaluated again: a vertex drag changes it at every pointer move.
void MainWindow::showAlarmGroup(int group)
{
    if (!ui->pushButtonAlarmState->isChecked() || group < 1)
        return;
    const RegionGroup regions = regionDocument->store().value(group);
    if (group == watchedGroup()) {
        ui->radarIndicatorWidget->setAlarmGroup(regions);
        replayAlarms->setGroup(regions);
    }
    if (group == currentGroupRow())
        ui->radarIndicatorWidgetDrawRgn->setAlarmGroup(regions);
}

void MainWindow::watchReplayAlarms(const QString &capturePath)
{
    replayedCapture = capturePath;
    if (capturePath.isEmpty() || !ui->pushButtonAlarmState->isChecked())
        return;
    replayAlarms->load(capturePath);
    showAlarmGroups();
}

void MainWindow::forgetReplayAlarms()
{
    replayedCapture.clear();
    replayAlarms->clear();
}
