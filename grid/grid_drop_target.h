#pragma once
// CGridDropTarget: makes a grid's window a drop target and hands the platform's drag
// events over it to the grid's OnDragEnter / OnDragOver / OnDragLeave / OnDrop.
#include <QObject>
#include <QPoint>

class QMimeData;
class QWidget;

namespace kelvanor {

class CGridCtrl;

class CGridDropTarget : public QObject {
  Q_OBJECT

 public:
  explicit CGridDropTarget(QObject* parent = nullptr) : QObject(parent) {}

  // Refuses when already registered, while a registration is under way, or for a window
  // that is not a CGridCtrl.
  bool Register(QWidget* window);

  // Each answers for the grid's own window only; any other window is refused.
  Qt::DropAction OnDragEnter(QObject* window, const QMimeData* data, Qt::KeyboardModifiers keys, QPoint point);
  Qt::DropAction OnDragOver(QObject* window, const QMimeData* data, Qt::KeyboardModifiers keys, QPoint point);
  void OnDragLeave(QObject* window);
  bool OnDrop(QObject* window, const QMimeData* data, Qt::DropAction effect, QPoint point);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool IsGridWindow(QObject* window) const;

  CGridCtrl* m_pGridCtrl = nullptr;
  bool m_bRegistered = false;
};

}  // namespace kelvanor
