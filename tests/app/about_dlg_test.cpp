#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/about_dlg.h"

namespace kelvanor::test {
namespace {

class AboutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetUrlOpener([this](const QUrl& url) {
      opened_.push_back(url);
      return true;
    });
  }
  void TearDown() override { SetUrlOpener(previous_); }

  std::vector<QUrl> opened_;

 private:
  UrlOpener previous_;
};

TEST_F(AboutTest, WebLinkOpensTheMakersAddressAndTheNameLinkDoesNothing) {
  CAboutDlg about;
  QLabel* web = about.Link(CAboutDlg::IDC_WEB_LINK);
  QLabel* maker = about.Link(CAboutDlg::IDC_MAKER_LINK);
  ASSERT_NE(web, nullptr);
  ASSERT_NE(maker, nullptr);
  emit maker->linkActivated("#maker");
  EXPECT_TRUE(opened_.empty());
  emit web->linkActivated("https://elsewhere.invalid/");
  EXPECT_TRUE(opened_.empty());
  emit web->linkActivated(CAboutDlg::WebAddress());
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], QUrl(CAboutDlg::WebAddress()));
}

TEST_F(AboutTest, ShowsTheProductLineAndClosesOnOk) {
  CAboutDlg about;
  bool productLine = false;
  for (QLabel* label : about.findChildren<QLabel*>()) productLine |= label->text() == "ORVEX-tallowick v1.01";
  EXPECT_TRUE(productLine);
  EXPECT_TRUE(about.OkButton()->isDefault());
  about.show();
  QTest::mouseClick(about.OkButton(), Qt::LeftButton);
  EXPECT_EQ(about.result(), QDialog::Accepted);
  EXPECT_FALSE(about.isVisible());
}

// Every item lies inside the box, as its dialog-unit layout places them.
TEST_F(AboutTest, ItemsFitTheBox) {
  CAboutDlg about;
  for (QWidget* child : about.findChildren<QWidget*>())
    EXPECT_TRUE(about.rect().contains(child->geometry())) << child->metaObject()->className();
}

}  // namespace
}  // namespace kelvanor::test
