#pragma once

#include "regions/region.h"

#include <QObject>

#include <optional>

class QAction;
class QListWidget;
class QWidget;
class RegionDocument;

// The region page's undo, redo, copy and paste, bound to the region document. Undo and redo
// answer Ctrl+Z and Ctrl+Shift+Z / Ctrl+Y anywhere on the page and name the step they would
// take in their tool tips; copy and paste of a whole group answer Ctrl+C and Ctrl+V on the
// group list and sit in its context menu.
class RegionEditActions : public QObject
{
    Q_OBJECT
public:
    RegionEditActions(RegionDocument *document, QWidget *page, QListWidget *groupList);

    QAction *undoAction() const { return m_undo; }
    QAction *redoAction() const { return m_redo; }
    // The group being edited, 0 for none: without one nothing is undone, copied or pasted.
    void setGroup(int groupIndex);

private:
    void update();

    RegionDocument *m_document;
    QAction *m_undo;
    QAction *m_redo;
    QAction *m_copy;
    QAction *m_paste;
    int m_group = 0;
    std::optional<RegionGroup> m_copiedGroup;
};
