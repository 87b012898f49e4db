#pragma once
// The About box: icon, product line, a second line, the maker's name and web address,
// and an OK button, laid out in dialog units of its 9-point font.
#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;

namespace kelvanor {

// Opens a web address with the desktop's default handler; tests replace it.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener SetUrlOpener(UrlOpener opener);  // empty restores the desktop's; returns the old

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int IDC_MAKER_LINK = 1012;
  static constexpr int IDC_WEB_LINK = 1011;

  explicit CAboutDlg(QWidget* parent = nullptr);

  static QString WebAddress();
  QLabel* Link(int id) const;
  QPushButton* OkButton() const { return ok_; }

 private:
  // Opens the target when it is the maker's address; the click counts as handled.
  void OnLinkClicked(const QString& target);
  // Places a child at a rectangle given in dialog units.
  void Place(QWidget* child, int x, int y, int width, int height) const;
  void ShowWholeWebLink();

  int baseX_ = 0, baseY_ = 0;  // dialog base units in pixels
  QLabel* makerLink_ = nullptr;
  QLabel* webLink_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace kelvanor
