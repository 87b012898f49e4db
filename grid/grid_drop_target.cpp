#include "grid/grid_drop_target.h"

#include <QDropEvent>
#include <QScopedValueRollback>

#include "grid/grid_ctrl.h"

namespace kelvanor {

bool CGridDropTarget::Register(QWidget* window) {
  static bool registering = false;  // one guard for every drop target of the process
  auto* grid = qobject_cast<CGridCtrl*>(window);
  if (m_bRegistered || registering || !grid) return false;
  const QScopedValueRollback guard(registering, true);
  m_pGridCtrl = grid;
  // Drag events reach the grid's viewport, which is where the cells are.
  grid->viewport()->setAcceptDrops(true);
  grid->viewport()->installEventFilter(this);
  m_bRegistered = true;
  return true;
}

bool CGridDropTarget::IsGridWindow(QObject* window) const {
  return m_pGridCtrl && window == m_pGridCtrl->viewport();
}

Qt::DropAction CGridDropTarget::OnDragEnter(QObject* window, const QMimeData* data, Qt::KeyboardModifiers keys,
                                            QPoint point) {
  return IsGridWindow(window) ? m_pGridCtrl->OnDragEnter(data, keys, point) : Qt::IgnoreAction;
}

Qt::DropAction CGridDropTarget::OnDragOver(QObject* window, const QMimeData* data, Qt::KeyboardModifiers keys,
                                           QPoint point) {
  return IsGridWindow(window) ? m_pGridCtrl->OnDragOver(data, keys, point) : Qt::IgnoreAction;
}

void CGridDropTarget::OnDragLeave(QObject* window) {
  if (IsGridWindow(window)) m_pGridCtrl->OnDragLeave();
}

bool CGridDropTarget::OnDrop(QObject* window, const QMimeData* data, Qt::DropAction effect, QPoint point) {
  return IsGridWindow(window) && m_pGridCtrl->OnDrop(data, effect, point);
}

bool CGridDropTarget::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter: {
      auto* enter = static_cast<QDragEnterEvent*>(event);
      enter->setDropAction(OnDragEnter(watched, enter->mimeData(), enter->modifiers(), enter->position().toPoint()));
      // Accepted even when refused: the moves that follow still get their own answer.
      enter->accept();
      return true;
    }
    case QEvent::DragMove: {
      auto* move = static_cast<QDragMoveEvent*>(event);
      const Qt::DropAction effect = OnDragOver(watched, move->mimeData(), move->modifiers(), move->position().toPoint());
      move->setDropAction(effect);
      move->setAccepted(effect != Qt::IgnoreAction);
      return true;
    }
    case QEvent::DragLeave:
      OnDragLeave(watched);
      return true;
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      // The grid writes nothing on a drop, so the source is told it was a copy: a move
      // would make it delete text that went nowhere (the grid's own cells included).
      const bool accepted = OnDrop(watched, drop->mimeData(), drop->dropAction(), drop->position().toPoint());
      drop->setDropAction(accepted ? Qt::CopyAction : Qt::IgnoreAction);
      drop->setAccepted(accepted);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace kelvanor
