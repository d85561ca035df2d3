#pragma once

#include "protocol/regionframe.h"
#include "regions/region.h"

#include <QObject>
#include <QUndoStack>

// The program's one region store with its undo history. Every change, the operator's or the
// device's, goes through here as one undoable step and is announced by a change signal; the
// display and the editors only show what the document holds. A change that would leave the
// store as it is records no step and announces nothing.
class RegionDocument : public QObject
{
    Q_OBJECT
public:
    enum class AddResult
    {
        Added,
        OutOfRange,
        Full,
    };
    Q_ENUM(AddResult)

    explicit RegionDocument(QObject *parent = nullptr);
    ~RegionDocument() override;

    const RegionStore &store() const { return m_store; }
    Region region(int groupIndex, int rgnIndex) const;
    QUndoStack &undoStack() { return m_undoStack; }

    // A typed or dragged vertex: false, changing nothing, outside the scan field or for a
    // vertex the region does not have. Moves with the same non-zero dragId in a row make one
    // step.
    bool setVertex(int groupIndex, int rgnIndex, int pointIndex, const QPointF &point,
                   int dragId = 0);
    // Appends a vertex; refused outside the scan field and at the vertex limit.
    AddResult addVertex(int groupIndex, int rgnIndex, const QPointF &point);
    void removeVertex(int groupIndex, int rgnIndex, int pointIndex);
    // The editor's vertex count changed: the region becomes exactly `vertices`.
    void setVertexCount(int groupIndex, int rgnIndex, const QPolygonF &vertices);
    void teach(int groupIndex, int rgnIndex, const QPolygonF &polygon);
    // The closed polygon of a drawing's layer becomes the region's vertices.
    void importPolygon(int groupIndex, int rgnIndex, const QPolygonF &polygon,
                       const QString &layer);
    void setColor(int groupIndex, int rgnIndex, const QColor &color);
    void setAlarmPointNum(int groupIndex, int rgnIndex, int alarmPointNum);
    // The three regions of `group` replace those of group `groupIndex`.
    void pasteGroup(int groupIndex, const RegionGroup &group);

    // True only when the file was sound and applied.
    bool loadFile(const QString &path);
    // True only when the whole file was written.
    bool saveFile(const QString &path) const;

    // A reading from the device is one step: every region it stores until endReading(),
    // together with anything else changed meanwhile. A reading that changed nothing leaves no
    // step. Undo and redo wait until it ends.
    void storeReceivedFrame(const RegionFrame::Content &frame);
    void endReading();

signals:
    void vertexMoved(int groupIndex, int rgnIndex, int pointIndex);
    // Anything else about one region: its vertices, colour or alarm point count.
    void regionChanged(int groupIndex, int rgnIndex);
    // Any number of regions at once.
    void storeReset();

private:
    class RegionCommand;
    class StoreCommand;

    // Records the step that turns the region into `after`, unless that changes nothing.
    void changeRegion(int groupIndex, int rgnIndex, const Region &after, const QString &text,
                      int movedVertex = -1, int dragId = 0);
    void applyRegion(int groupIndex, int rgnIndex, const Region &region, int movedVertex);
    void applyStore(const RegionStore &store);

    RegionStore m_store = Regions::initialStore();
    QUndoStack m_undoStack;
    bool m_readingStepOpen = false;
};
