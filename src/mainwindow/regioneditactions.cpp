#include "mainwindow/regioneditactions.h"

#include "regions/regiondocument.h"

#include <QAction>
#include <QListWidget>

namespace {

QAction *pageAction(const QString &text, const QList<QKeySequence> &shortcuts, QWidget *owner,
                    Qt::ShortcutContext context)
{
    auto *action = new QAction(text, owner);
    action->setShortcuts(shortcuts);
    action->setShortcutContext(context);
    owner->addAction(action);
    return action;
}

} // namespace

RegionEditActions::RegionEditActions(RegionDocument *document, QWidget *page,
                                     QListWidget *groupList)
    : QObject(page), m_document(document),
      m_undo(pageAction(tr("撤销"), {QKeySequence::Undo}, page, Qt::WidgetWithChildrenShortcut)),
      m_redo(pageAction(
          tr("重做"),
          {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
          page, Qt::WidgetWithChildrenShortcut)),
      m_copy(pageAction(tr("复制区域组"), {QKeySequence::Copy}, groupList, Qt::WidgetShortcut)),
      m_paste(pageAction(tr("粘贴区域组"), {QKeySequence::Paste}, groupList, Qt::WidgetShortcut))
{
    groupList->setContextMenuPolicy(Qt::ActionsContextMenu);
    QUndoStack *stack = &document->undoStack();
    connect(m_undo, &QAction::triggered, stack, &QUndoStack::undo);
    connect(m_redo, &QAction::triggered, stack, &QUndoStack::redo);
    connect(m_copy, &QAction::triggered, this, [this] {
        m_copiedGroup = m_document->store().value(m_group);
        update();
    });
    connect(m_paste, &QAction::triggered, this,
            [this] { m_document->pasteGroup(m_group, *m_copiedGroup); });
    // An open step (a reading under way) changes what can be undone without moving the index.
    connect(stack, &QUndoStack::indexChanged, this, &RegionEditActions::update);
    connect(stack, &QUndoStack::canUndoChanged, this, &RegionEditActions::update);
    connect(stack, &QUndoStack::canRedoChanged, this, &RegionEditActions::update);
    update();
}

void RegionEditActions::setGroup(int groupIndex)
{
    m_group = groupIndex;
    update();
}

void RegionEditActions::update()
{
    const QUndoStack &stack = m_document->undoStack();
    const bool groupSelected = m_group >= 1;
    m_undo->setEnabled(groupSelected && stack.canUndo());
    m_redo->setEnabled(groupSelected && stack.canRedo());
    m_undo->setToolTip(stack.canUndo() ? tr("撤销：%1").arg(stack.undoText()) : tr("撤销"));
    m_redo->setToolTip(stack.canRedo() ? tr("重做：%1").arg(stack.redoText()) : tr("重做"));
    m_copy->setEnabled(groupSelected);
    m_paste->setEnabled(groupSelected && m_copiedGroup.has_value());
}
