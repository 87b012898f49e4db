#include "app/tray_presence.h"

#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <algorithm>

namespace kelvanor {
namespace {

// The worst last outcome in the status board's light colours, so the tray reads like a
// tile's light. With no endpoint nothing is known, which is not all well.
QRgb WorstColour(int connected, int failed, int unchecked) {
  if (failed) return qRgb(0xFF, 0x00, 0x00);
  if (unchecked || !connected) return qRgb(0xC0, 0xC0, 0xC0);
  return qRgb(0x00, 0xFF, 0x00);
}

QPixmap Dot(int size, QRgb colour) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal ring = size / 16.0;
  painter.setPen(QPen(QColor(0x80, 0x80, 0x80), ring));
  painter.setBrush(QColor(colour));
  painter.drawEllipse(QRectF(ring, ring, size - 2 * ring, size - 2 * ring));
  return pixmap;
}

}  // namespace

QString ChangesMessage(const std::vector<EndpointChange>& changes) {
  const auto kind = [](const EndpointChange& c) {
    return c.nowFailed ? QStringLiteral("异常") : c.slow ? QStringLiteral("变慢") : QStringLiteral("已恢复");
  };
  if (changes.size() == 1) return changes.front().endpointText + ' ' + kind(changes.front());
  QStringList lines;
  for (const QString& k : {QStringLiteral("异常"), QStringLiteral("已恢复"), QStringLiteral("变慢")}) {
    const auto count = std::count_if(changes.begin(), changes.end(), [&](auto& c) { return kind(c) == k; });
    if (count) lines << QStringLiteral("%1 个端点").arg(count) + k;
  }
  return lines.join('\n');
}

bool TrayPresence::Available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

TrayPresence::TrayPresence(QObject* parent) : QObject(parent), icon_(new QSystemTrayIcon(this)) {
  connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) emit Clicked();
  });
  SetCounts(0, 0, 0);
}

void TrayPresence::Show() { icon_->show(); }

void TrayPresence::Hide() { icon_->hide(); }

void TrayPresence::SetCounts(int connected, int failed, int unchecked) {
  const QRgb colour = WorstColour(connected, failed, unchecked);
  if (colour != shown_) {
    QIcon icon;
    for (int size : {16, 32}) icon.addPixmap(Dot(size, colour));
    icon_->setIcon(icon);
    shown_ = colour;
  }
  icon_->setToolTip(QStringLiteral("Kelvanor\n正常 %1  异常 %2  未检测 %3").arg(connected).arg(failed).arg(unchecked));
}

QIcon TrayPresence::Icon() const { return icon_->icon(); }

QString TrayPresence::ToolTip() const { return icon_->toolTip(); }

void TrayPresence::NoteChange(bool nowFailed, const QString& endpointText, bool slow) {
  changes_.push_back({nowFailed, endpointText, slow});
}

QString TrayPresence::FlushNotifications() {
  const QString text = ChangesMessage(changes_);
  const bool anyFailed = std::any_of(changes_.begin(), changes_.end(), [](auto& c) { return c.nowFailed; });
  changes_.clear();
  if (!text.isEmpty())
    icon_->showMessage(QStringLiteral("Kelvanor"), text,
                       anyFailed ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information);
  return text;
}

}  // namespace kelvanor
