#pragma once
// The application object: starts the socket library, builds the main window around the
// document and the view, and answers the About command.
#include <QTranslator>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/kelvanor_doc.h"
#include "app/main_frame.h"

namespace kelvanor {

class CKelvanorView;
class QuitSignals;

// Starts the process's socket library for a version (0x0202 asks for 2.2); 0 on
// success, an error number otherwise.
using SocketStartup = std::function<int(std::uint16_t version)>;
int StartSocketLibrary(std::uint16_t version);

class CKelvanorApp {
 public:
  explicit CKelvanorApp(SocketStartup socketStartup = StartSocketLibrary);
  ~CKelvanorApp();

  // False (the program exits) when the socket library cannot start. Qt's own texts are
  // Chinese from here on, when the system has them.
  bool InitInstance();

  CMainFrame* MainFrame() const { return frame_.get(); }
  CKelvanorView* View() const { return view_; }
  const CKelvanorDoc& Document() const { return doc_; }

  // The settings command; the settings dialog unless replaced.
  void SetEditSettings(std::function<void()> editSettings);
  void OnAppAbout();

  // What SIGTERM, SIGINT and SIGHUP do at any time after start-up has begun: cancels open
  // dialogs, discarding their edits without asking, then 文件 → 退出, and ends every
  // running event loop.
  void Quit();
  // main's loop must not start once a quit came during start-up.
  bool QuitRequested() const { return quitRequested_; }

 private:
  SocketStartup socketStartup_;
  QTranslator qtTexts_;  // uninstalls itself when the application object goes
  CKelvanorDoc doc_;
  std::unique_ptr<QuitSignals> quitSignals_;  // outlives the frame, so quitting stays clean
  std::unique_ptr<CMainFrame> frame_;
  CKelvanorView* view_ = nullptr;  // owned by the frame
  std::function<void()> editSettings_;
  bool quitRequested_ = false;
};

}  // namespace kelvanor
