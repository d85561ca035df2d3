#include "regions/regionframes.h"

namespace RegionFrames {

QVector<RegionFrame::Content> toDevice(const RegionStore &store)
{
    QVector<RegionFrame::Content> frames;
    for (auto group = store.cbegin(); group != store.cend(); ++group) {
        for (int rgnIndex = 0; rgnIndex < group->size(); ++rgnIndex) {
            const Region &region = group->at(rgnIndex);
            frames.append({group.key(), rgnIndex + 1, region.alarmPointNum,
                           Regions::sortedByAngle(region.polygon)});
        }
    }
    return frames;
}

void store(RegionStore &store, const RegionFrame::Content &frame)
{
    Region &region = store[frame.groupIndex][frame.regionNumber - 1];
    region.polygon = frame.polygon;
    region.alarmPointNum = frame.alarmPointNum;
}

} // namespace RegionFrames
