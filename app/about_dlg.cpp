#include "app/about_dlg.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "app/resource_icon.h"
#include "platform/gbk.h"

namespace kelvanor {
namespace {

UrlOpener& Opener() {
  static UrlOpener opener;
  return opener;
}

QLabel* AddLink(QWidget* parent, const QString& target, const QString& text) {
  auto* link = new QLabel(QString("<a href=\"%1\">%2</a>").arg(target.toHtmlEscaped(), text.toHtmlEscaped()), parent);
  link->setTextFormat(Qt::RichText);
  link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  return link;
}

}  // namespace

UrlOpener SetUrlOpener(UrlOpener opener) { return std::exchange(Opener(), std::move(opener)); }

QString CAboutDlg::WebAddress() { return "https://www.orvex.example/tallowick"; }

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(GbkToQString(Gbk(u8"关于")));
  QFont font = this->font();
  font.setPointSize(9);
  setFont(font);
  // Dialog base units: average width of the Latin letters, and the font's height.
  const QFontMetrics metrics(font);
  const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  baseX_ = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
  baseY_ = metrics.height();
  setFixedSize(197 * baseX_ / 4, 75 * baseY_ / 8);

  auto* icon = new QLabel(this);
  Place(icon, 14, 14, 20, 20);
  icon->setScaledContents(true);
  icon->setPixmap(ResourceIcon("kelvanor_icon").pixmap(icon->size()));
  Place(new QLabel("ORVEX-tallowick v1.01", this), 42, 14, 114, 8);
  Place(new QLabel(GbkToQString(Gbk(u8"TCP 端口连通性监控")), this), 42, 26, 114, 8);
  makerLink_ = AddLink(this, "#maker", "ORVEX");
  Place(makerLink_, 18, 41, 89, 14);
  webLink_ = AddLink(this, WebAddress(), WebAddress());
  Place(webLink_, 17, 54, 89, 14);
  ok_ = new QPushButton(GbkToQString(Gbk(u8"确定")), this);
  ok_->setDefault(true);
  Place(ok_, 140, 54, 50, 14);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  ShowWholeWebLink();
  for (QLabel* link : {makerLink_, webLink_})
    connect(link, &QLabel::linkActivated, this, &CAboutDlg::OnLinkClicked);
}

void CAboutDlg::ShowWholeWebLink() {
  // The address is wider than the layout's 89 units: the link takes the width its text
  // needs, and where that would reach the OK button, the button and the box's right edge
  // move right by as much, keeping a gap of one average character.
  webLink_->resize(std::max(webLink_->width(), webLink_->sizeHint().width()), webLink_->height());
  const int overlap = webLink_->geometry().right() + 1 + baseX_ - ok_->x();
  if (overlap <= 0) return;
  ok_->move(ok_->x() + overlap, ok_->y());
  setFixedSize(width() + overlap, height());
}

QLabel* CAboutDlg::Link(int id) const {
  if (id == IDC_MAKER_LINK) return makerLink_;
  return id == IDC_WEB_LINK ? webLink_ : nullptr;
}

void CAboutDlg::OnLinkClicked(const QString& target) {
  if (target != WebAddress()) return;
  const QUrl url(target);
  if (Opener()) {
    Opener()(url);
  } else {
    QDesktopServices::openUrl(url);
  }
}

void CAboutDlg::Place(QWidget* child, int x, int y, int width, int height) const {
  child->setGeometry(x * baseX_ / 4, y * baseY_ / 8, width * baseX_ / 4, height * baseY_ / 8);
}

}  // namespace kelvanor
