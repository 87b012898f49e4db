#include "app/kelvanor_app.h"

#include <QApplication>
#include <QDialog>
#include <csignal>

#include "app/about_dlg.h"
#include "app/command_ids.h"
#include "app/edit_settings.h"
#include "app/outcome_summary.h"
#include "app/options_control.h"
#include "app/qt_translations.h"
#include "app/silence_control.h"
#include "app/resource_icon.h"
#include "monitor/kelvanor_view.h"
#include "platform/file_limit.h"
#include "platform/gbk.h"
#include "platform/message_box.h"
#include "platform/quit_signals.h"
#include "settings/setting_file.h"
#include "settings/setting_file_guard.h"

namespace kelvanor {

int StartSocketLibrary(std::uint16_t version) {
  if (version > 0x0202) return 10092;  // WSAVERNOTSUPPORTED
  RaiseOpenFileLimit();  // a probe cycle holds one socket per endpoint
  // The socket layer itself starts on first use; what the process needs up front is
  // that a peer closing a socket never ends the program with SIGPIPE.
  return std::signal(SIGPIPE, SIG_IGN) == SIG_ERR ? 10091 /* WSASYSNOTREADY */ : 0;
}

CKelvanorApp::CKelvanorApp(SocketStartup socketStartup)
    : socketStartup_(std::move(socketStartup)),
      editSettings_([this] { EditSettings(*view_, frame_.get()); }) {}

CKelvanorApp::~CKelvanorApp() = default;

bool CKelvanorApp::InitInstance() {
  InstallQtChineseTexts(qtTexts_);  // without the package Qt's texts stay English
  if (socketStartup_(0x0202) != 0) {
    ShowMessageBox(nullptr, "WSAStartup filed. [CKelvanorApp::InitInstance()]", "Kelvanor",
                   MessageIcon::Warning);
    return false;
  }
  QApplication::setApplicationName("Kelvanor");
  QApplication::setDesktopFileName("kelvanor");
  QApplication::setWindowIcon(ResourceIcon("kelvanor_icon"));

  quitSignals_ = std::make_unique<QuitSignals>([this] { Quit(); });
  doc_.OnNewDocument();
  frame_ = std::make_unique<CMainFrame>();
  view_ = new CKelvanorView;
  // The view's record gets the file's settings before its first probe cycle.
  const SettingLoad load = LoadSettingFile(view_->Setting());
  frame_->SetView(view_, {[this] { editSettings_(); }, [this] { view_->OnRefresh(); }});
  frame_->SetDocumentTitle(GbkToQString(doc_.GetTitle()));
  AddOutcomeSummary(*frame_, *view_);
  ConnectSilence(*frame_, *view_);
  (new OptionsControl(*frame_, *view_))->Apply();  // owned by the frame
  QObject::connect(frame_.get(), &CMainFrame::AboutRequested, frame_.get(), [this] { OnAppAbout(); });
  view_->OnInitialUpdate();
  frame_->show();
  if (!load.problem.empty()) ReportUnloadedSettingFile(load.problem, frame_.get());
  return true;
}

void CKelvanorApp::SetEditSettings(std::function<void()> editSettings) {
  editSettings_ = std::move(editSettings);
}

void CKelvanorApp::Quit() {
  quitRequested_ = true;
  // Dialogs first, the innermost first: their nested loops end, and none is left over the
  // closed frame. Each is cancelled without the question closing it would ask (放弃修改？),
  // which no one is there to answer; a dialog already asking it would only ask again.
  while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
    dialog->done(QDialog::Rejected);
  if (frame_) frame_->Action(ID_APP_EXIT)->trigger();
  // A hidden frame closes without ending the loop, and before main's loop runs there is
  // none to end: exit covers both.
  QCoreApplication::exit(0);
}

void CKelvanorApp::OnAppAbout() {
  CAboutDlg about(frame_.get());
  about.exec();
}

}  // namespace kelvanor
