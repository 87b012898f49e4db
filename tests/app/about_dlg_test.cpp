#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/about_dlg.h"

namespace kelvanor::test {
namespace {

// Clicks land on the links' texts, which start at the labels' left edges.
TEST(AboutBox, WebLinkOpensTheMakersAddressAndTheNameLinkDoesNothing) {
  std::vector<QUrl> opened;
  const UrlOpener previous = SetUrlOpener([&](const QUrl& url) { opened.push_back(url); return true; });
  CAboutDlg about;
  about.show();
  for (QLabel* link : {about.Link(CAboutDlg::IDC_MAKER_LINK), about.Link(CAboutDlg::IDC_WEB_LINK)})
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(4, link->height() / 2));
  SetUrlOpener(previous);
  EXPECT_EQ(opened, std::vector{QUrl(CAboutDlg::WebAddress())});
}

TEST(AboutBox, ShowsTheProductLineAndClosesOnOk) {
  CAboutDlg about;
  about.show();
  EXPECT_EQ(about.windowTitle(), QString::fromUtf8(reinterpret_cast<const char*>(u8"关于")));
  QStringList texts;
  for (QLabel* label : about.findChildren<QLabel*>()) texts << label->text();
  EXPECT_TRUE(texts.contains("ORVEX-tallowick v1.01"));
  EXPECT_TRUE(about.OkButton()->isDefault());
  QTest::mouseClick(about.OkButton(), Qt::LeftButton);
  EXPECT_EQ(about.result(), QDialog::Accepted);
  EXPECT_FALSE(about.isVisible());
}

// The box cannot be resized, and its items sit where its layout puts them in units of the
// box's 197 x 75: icon, product line, second line, maker, web address, OK.
TEST(AboutBox, ItemsSitWhereTheLayoutPutsThemInAFixedBox) {
  CAboutDlg about;
  EXPECT_EQ(about.minimumSize(), about.size());
  EXPECT_EQ(about.maximumSize(), about.size());
  const QRect units[] = {{14, 14, 20, 20}, {42, 14, 114, 8}, {42, 26, 114, 8},
                         {18, 41, 89, 14}, {17, 54, 89, 14}, {140, 54, 50, 14}};
  const QList<QWidget*> items = about.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  ASSERT_EQ(items.size(), std::ssize(units));
  const double x = about.width() / 197.0, y = about.height() / 75.0;
  for (int i = 0; i < items.size(); ++i) {
    const QRect at = items[i]->geometry(), unit = units[i];
    EXPECT_NEAR(at.x(), unit.x() * x, 2) << i;
    EXPECT_NEAR(at.y(), unit.y() * y, 2) << i;
    EXPECT_NEAR(at.width(), unit.width() * x, 2) << i;
    EXPECT_NEAR(at.height(), unit.height() * y, 2) << i;
  }
}

}  // namespace
}  // namespace kelvanor::test
