#include "display/alarmstatestrip.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {

constexpr int minimumVertices = 3;
const QColor alarmBackground(200, 30, 30);
const QColor quietBackground(40, 40, 40);

QString labelStyle(const QColor &regionColor, bool alarm)
{
    QColor swatch = regionColor;
    swatch.setAlpha(255);
    return QStringLiteral("QLabel{color:white;background-color:%1;border-left:8px solid %2;"
                          "padding:2px 6px;}")
        .arg((alarm ? alarmBackground : quietBackground).name(), swatch.name());
}

} // namespace

AlarmStateStrip::AlarmStateStrip(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int rgnIndex = 0; rgnIndex < Regions::regionsPerGroup; ++rgnIndex) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("labelAlarmRegion%1").arg(rgnIndex + 1));
        label->setToolTip(tr("区域内的点数 / 告警点数，以及该区域是否告警"));
        layout->addWidget(label);
        m_labels.append(label);
    }
    layout->addStretch();
    showStates({}, {});
}

void AlarmStateStrip::showStates(const QVector<RegionAlarmState> &states, const RegionGroup &group)
{
    for (int rgnIndex = 0; rgnIndex < m_labels.size(); ++rgnIndex) {
        const Region region = group.value(rgnIndex);
        const RegionAlarmState state = states.value(rgnIndex);
        QLabel *label = m_labels[rgnIndex];
        if (region.polygon.size() < minimumVertices) {
            label->setText(tr("区域%1：未设置").arg(rgnIndex + 1));
        } else {
            label->setText(tr("区域%1：%2 / %3 %4")
                               .arg(rgnIndex + 1)
                               .arg(state.pointsInside)
                               .arg(state.alarmPoints)
                               .arg(state.alarm ? tr("告警") : tr("正常")));
        }
        label->setStyleSheet(labelStyle(region.color, state.alarm));
    }
}

QString AlarmStateStrip::regionText(int rgnIndex) const
{
    return m_labels.value(rgnIndex) ? m_labels[rgnIndex]->text() : QString();
}
