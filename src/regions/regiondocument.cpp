#include "regions/regiondocument.h"

#include "regions/regionfile.h"
#include "regions/regionframes.h"

#include <QFileInfo>

namespace {

// QUndoStack merges only commands that share an id; drags are the only ones that merge.
constexpr int dragCommandId = 1;

// Step texts name the group and region as the page does (Area1..3) and vertices from 1, as
// the editor's rows and the display's handles number them. %1 is the group, %2 the region.
QString stepText(const QString &pattern, int groupIndex, int rgnIndex)
{
    return pattern.arg(groupIndex).arg(rgnIndex + 1);
}

} // namespace

class RegionDocument::RegionCommand : public QUndoCommand
{
public:
    RegionCommand(RegionDocument *document, int groupIndex, int rgnIndex, const Region &after,
                  const QString &text, int movedVertex, int dragId)
        : QUndoCommand(text), m_document(document), m_groupIndex(groupIndex), m_rgnIndex(rgnIndex),
          m_movedVertex(movedVertex), m_dragId(dragId),
          m_before(document->region(groupIndex, rgnIndex)), m_after(after)
    {}

    void undo() override
    {
        m_document->applyRegion(m_groupIndex, m_rgnIndex, m_before, m_movedVertex);
    }
    void redo() override
    {
        m_document->applyRegion(m_groupIndex, m_rgnIndex, m_after, m_movedVertex);
    }
    int id() const override { return m_dragId != 0 ? dragCommandId : -1; }

    // Only drag commands reach here: the same drag of the same vertex goes on.
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const RegionCommand *>(other);
        if (next->m_dragId != m_dragId || next->m_groupIndex != m_groupIndex ||
            next->m_rgnIndex != m_rgnIndex || next->m_movedVertex != m_movedVertex)
            return false;
        m_after = next->m_after;
        return true;
    }

private:
    RegionDocument *m_document;
    int m_groupIndex;
    int m_rgnIndex;
    int m_movedVertex;
    int m_dragId;
    Region m_before;
    Region m_after;
};

class RegionDocument::StoreCommand : public QUndoCommand
{
public:
    StoreCommand(RegionDocument *document, const RegionStore &after, const QString &text)
        : QUndoCommand(text), m_document(document), m_before(document->store()), m_after(after)
    {}

    void undo() override { m_document->applyStore(m_before); }
    void redo() override { m_document->applyStore(m_after); }

private:
    RegionDocument *m_document;
    RegionStore m_before;
    RegionStore m_after;
};

RegionDocument::RegionDocument(QObject *parent) : QObject(parent) {}

RegionDocument::~RegionDocument()
{
    // The history's clearing on the way out is no change anyone needs to hear of.
    m_undoStack.blockSignals(true);
}

Region RegionDocument::region(int groupIndex, int rgnIndex) const
{
    return m_store.value(groupIndex).value(rgnIndex);
}

bool RegionDocument::setVertex(int groupIndex, int rgnIndex, int pointIndex, const QPointF &point,
                               int dragId)
{
    Region after = region(groupIndex, rgnIndex);
    if (pointIndex < 0 || pointIndex >= after.polygon.size() || !Regions::isPointInRange(point))
        return false;
    after.polygon[pointIndex] = point;
    const QString pattern = dragId != 0 ? tr("拖动端点 %3（组 %1，区域 %2）")
                                        : tr("修改端点 %3 坐标（组 %1，区域 %2）");
    changeRegion(groupIndex, rgnIndex, after,
                 stepText(pattern, groupIndex, rgnIndex).arg(pointIndex + 1), pointIndex, dragId);
    return true;
}

RegionDocument::AddResult RegionDocument::addVertex(int groupIndex, int rgnIndex,
                                                    const QPointF &point)
{
    if (!Regions::isPointInRange(point))
        return AddResult::OutOfRange;
    Region after = region(groupIndex, rgnIndex);
    if (after.polygon.size() >= Regions::maxVertices)
        return AddResult::Full;
    after.polygon.append(point);
    changeRegion(groupIndex, rgnIndex, after,
                 stepText(tr("添加端点 %3（组 %1，区域 %2）"), groupIndex, rgnIndex)
                     .arg(after.polygon.size()));
    return AddResult::Added;
}

void RegionDocument::removeVertex(int groupIndex, int rgnIndex, int pointIndex)
{
    Region after = region(groupIndex, rgnIndex);
    if (pointIndex < 0 || pointIndex >= after.polygon.size())
        return;
    after.polygon.remove(pointIndex);
    changeRegion(
        groupIndex, rgnIndex, after,
        stepText(tr("删除端点 %3（组 %1，区域 %2）"), groupIndex, rgnIndex).arg(pointIndex + 1));
}

void RegionDocument::setVertexCount(int groupIndex, int rgnIndex, const QPolygonF &vertices)
{
    Region after = region(groupIndex, rgnIndex);
    after.polygon = vertices;
    changeRegion(
        groupIndex, rgnIndex, after,
        stepText(tr("端点数设为 %3（组 %1，区域 %2）"), groupIndex, rgnIndex).arg(vertices.size()));
}

void RegionDocument::teach(int groupIndex, int rgnIndex, const QPolygonF &polygon)
{
    Region after = region(groupIndex, rgnIndex);
    after.polygon = polygon;
    changeRegion(groupIndex, rgnIndex, after,
                 stepText(tr("从扫描示教（组 %1，区域 %2）"), groupIndex, rgnIndex));
}

void RegionDocument::importPolygon(int groupIndex, int rgnIndex, const QPolygonF &polygon,
                                   const QString &layer)
{
    Region after = region(groupIndex, rgnIndex);
    after.polygon = polygon;
    changeRegion(
        groupIndex, rgnIndex, after,
        stepText(tr("从 DXF 图层 %3 导入（组 %1，区域 %2）"), groupIndex, rgnIndex).arg(layer));
}

void RegionDocument::setColor(int groupIndex, int rgnIndex, const QColor &color)
{
    Region after = region(groupIndex, rgnIndex);
    after.color = color;
    changeRegion(groupIndex, rgnIndex, after,
                 stepText(tr("修改区域颜色（组 %1，区域 %2）"), groupIndex, rgnIndex));
}

void RegionDocument::setAlarmPointNum(int groupIndex, int rgnIndex, int alarmPointNum)
{
    Region after = region(groupIndex, rgnIndex);
    after.alarmPointNum = alarmPointNum;
    changeRegion(
        groupIndex, rgnIndex, after,
        stepText(tr("告警点数设为 %3（组 %1，区域 %2）"), groupIndex, rgnIndex).arg(alarmPointNum));
}

void RegionDocument::pasteGroup(int groupIndex, const RegionGroup &group)
{
    if (group == m_store.value(groupIndex))
        return;
    m_undoStack.beginMacro(tr("粘贴到组 %1").arg(groupIndex));
    for (int rgnIndex = 0; rgnIndex < group.size(); ++rgnIndex)
        changeRegion(groupIndex, rgnIndex, group.at(rgnIndex), QString());
    m_undoStack.endMacro();
}

bool RegionDocument::loadFile(const QString &path)
{
    RegionStore loaded = m_store;
    if (!RegionFile::load(path, loaded))
        return false;
    if (loaded != m_store)
        m_undoStack.push(new StoreCommand(
            this, loaded, tr("打开区域设置文件 %1").arg(QFileInfo(path).fileName())));
    return true;
}

bool RegionDocument::saveFile(const QString &path) const
{
    return RegionFile::save(m_store, path);
}

void RegionDocument::storeReceivedFrame(const RegionFrame::Content &frame)
{
    RegionStore received = m_store;
    RegionFrames::store(received, frame);
    const int rgnIndex = frame.regionNumber - 1;
    const Region after = received.value(frame.groupIndex).value(rgnIndex);
    if (after == region(frame.groupIndex, rgnIndex))
        return;
    // The step opens with the first region that changes, so a reading that changed nothing
    // leaves none behind.
    if (!m_readingStepOpen) {
        m_undoStack.beginMacro(tr("从设备读取区域"));
        m_readingStepOpen = true;
    }
    changeRegion(frame.groupIndex, rgnIndex, after, QString());
}

void RegionDocument::endReading()
{
    if (m_readingStepOpen)
        m_undoStack.endMacro();
    m_readingStepOpen = false;
}

void RegionDocument::changeRegion(int groupIndex, int rgnIndex, const Region &after,
                                  const QString &text, int movedVertex, int dragId)
{
    if (after == region(groupIndex, rgnIndex))
        return;
    m_undoStack.push(
        new RegionCommand(this, groupIndex, rgnIndex, after, text, movedVertex, dragId));
}

void RegionDocument::applyRegion(int groupIndex, int rgnIndex, const Region &region,
                                 int movedVertex)
{
    m_store[groupIndex][rgnIndex] = region;
    if (movedVertex >= 0)
        emit vertexMoved(groupIndex, rgnIndex, movedVertex);
    else
        emit regionChanged(groupIndex, rgnIndex);
}

void RegionDocument::applyStore(const RegionStore &store)
{
    m_store = store;
    emit storeReset();
}
