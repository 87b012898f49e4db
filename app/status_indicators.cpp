#include "app/status_indicators.h"

#include <QApplication>
#include <QKeyEvent>

#include "platform/gbk.h"

namespace kelvanor {
namespace {

QLabel* AddPane(QStatusBar* bar, const QString& widest) {
  auto* label = new QLabel(bar);
  label->setAlignment(Qt::AlignCenter);
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) + 8);
  bar->addPermanentWidget(label);
  return label;
}

}  // namespace

StatusIndicators::StatusIndicators(QStatusBar* bar)
    : QObject(bar),
      idle_(new QLabel(bar)),
      panes_{{{LockKey::Caps, "CAP", nullptr}, {LockKey::Num, "NUM", nullptr},
              {LockKey::Scroll, "SCRL", nullptr}}} {
  idle_->setObjectName("idleMessage");
  SetNotice({});
  bar->addWidget(idle_, 1);
  for (Pane& pane : panes_) pane.label = AddPane(bar, pane.text);
  qApp->installEventFilter(this);
  // A lock may change while another program has the keyboard.
  connect(&poll_, &QTimer::timeout, this, &StatusIndicators::Update);
  poll_.start(1000);
  Update();
}

QString StatusIndicators::Text(LockKey key) const {
  for (const Pane& pane : panes_)
    if (pane.key == key) return pane.label->text();
  return {};
}

void StatusIndicators::SetNotice(const QString& text) {
  idle_->setText(text.isEmpty() ? GbkToQString(Gbk(u8"就绪")) : text);
}

void StatusIndicators::Update() {
  for (Pane& pane : panes_) pane.label->setText(LockKeyState(pane.key).value_or(false) ? pane.text : QString());
}

bool StatusIndicators::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock) Update();
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace kelvanor
