#pragma once
// The main view: it owns the settings record and runs the probe cycle on timer 1000,
// turning socket notifications into endpoint states and alarms.
#include <QWidget>
#include <cstdint>
#include <string>

#include "board/board_look.h"
#include "monitor/endpoint_list.h"
#include "platform/timer_table.h"
#include "platform/worker_threads.h"

namespace kelvanor {

inline constexpr unsigned WM_PROBE_EVENT = 0x8001;  // WM_APP + 1
inline constexpr int kRefreshTimerId = 1000;

// The refresh timer's period for refreshTime seconds: computed in 64 bits and kept
// within [1 s, INT32_MAX ms], so no setting can make a zero, negative or wrapped period.
int RefreshPeriodMs(std::int32_t refreshTime);

class CKelvanorView : public QWidget {
  Q_OBJECT

 public:
  explicit CKelvanorView(QWidget* parent = nullptr);
  ~CKelvanorView() override;

  SettingData& Setting() { return m_Setting; }

  // The first cycle, then the refresh timer.
  void OnInitialUpdate();
  // The refresh command: a cycle at once; the timer keeps its phase.
  void OnRefresh() { RefreshStatus(); }
  // After confirmed settings: stops the refresh timer and starts it with the new period.
  void RestartRefreshTimer();
  void OnTimer(int timerId);

  void RefreshStatus();
  bool StartProbe(const std::string& ip, int port, IPInfo& entry);
  int OnSocketEvent(SOCKET socket, std::uint32_t word);

  const TimerTable& Timers() const { return m_Timers; }
  const WorkerThreads& AlarmWorkers() const { return m_AlarmWorkers; }

 protected:
  bool event(QEvent* e) override;
  void timerEvent(QTimerEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void SoundAlarm();
  void OnLateStartFailure(Socket& probe);
  // Shows a probe start failure, unless such a box is open already: a failure that
  // repeats on every tick must not stack one nested modal box per tick.
  void ReportStartFailure(std::string message);

  SettingData m_Setting;
  BoardLook m_BoardLook = MakeBoardLook();
  TimerTable m_Timers{this};
  WorkerThreads m_AlarmWorkers;
  bool m_ErrorBoxOpen = false;
  bool* m_CycleBoxShown = nullptr;  // set while a cycle walks the list
};

}  // namespace kelvanor
