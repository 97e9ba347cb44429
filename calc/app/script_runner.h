#pragma once
// The engine's own thread. Every script the program runs (evaluations,
// library loading, whole scripts) is handed to one worker thread, one at a
// time, while the user-interface thread keeps painting and stays able to
// stop it. What a script asks of the user (message boxes, zelIO's dialog)
// is sent back to the user-interface thread while the worker waits.
//
// The caller of Run waits for the result the way a modal dialog waits: in
// a nested event loop. For the first moments (BusyDelay) that loop takes
// no user input, so a quick evaluation looks exactly like a synchronous one
// (no flicker, type-ahead kept); after that the busy state is announced
// (busyShownChanged) and the windows disable what would use the engine and
// offer Stop.
#include <QEventLoop>
#include <QObject>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <pthread.h>

#include "busy_after_delay.h"

class QSocketNotifier;
class QTimer;

namespace vbs {
class Engine;
}

namespace zel {

class ScriptRunner : public QObject {
  Q_OBJECT

 public:
  // The one runner, created on first use from the user-interface thread.
  // Null before a QApplication exists (scripts then run in place).
  static ScriptRunner* Instance();

  // Runs `job` on the worker and returns when it has ended, rethrowing what
  // it threw. `engine` is the engine the job uses (the one Stop
  // interrupts). Called on the worker itself, the job runs in place. false
  // without running it when another job is running: the engine is never
  // used by two threads, and a caller that arrives through a nested event
  // loop must not wait for the job below it.
  bool Run(const std::function<void()>& job, vbs::Engine* engine);

  // A job or a session is under way.
  bool Running() const { return jobActive_ || sessionDepth_ > 0; }
  bool BusyShown() const { return busy_.Shown(); }
  // A job is on the worker (not just a session between jobs).
  bool JobActive() const { return jobActive_; }

  // Asks the running script to stop: it ends with the engine's error 18.
  // Nothing happens when no job runs.
  void RequestStop();
  // Stop on the way to closing the main window: the interrupted evaluation
  // is not reported as an error (the user already decided).
  void RequestStopForClose();
  bool StoppingForClose() const { return stopForClose_; }
  // Stop was asked for during the current (or last) session: its error 18
  // is the user's doing, not the script's.
  bool StopRequested() const { return stopRequested_; }

  // How long a job (or session) runs before the busy state shows.
  int BusyDelay() const { return busy_.DelayMs(); }
  void SetBusyDelay(int ms) { busy_.SetDelayMs(ms); }

  // What is running, for the busy displays (e.g. the library file being
  // loaded). Cleared when the session ends.
  QString Activity() const { return activity_; }
  void SetActivity(const QString& text);

  // Several jobs that belong to one user action (an evaluation and the
  // read-back of its result, every file of a library load) share one busy
  // state: it shows when the action as a whole takes long and ends with it.
  class Session {
   public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

   private:
    ScriptRunner* runner_;
  };

  // Runs `call` on the user-interface thread. From the worker it waits until
  // the call has run there (rethrowing what it threw); anywhere else it runs
  // in place.
  static void RunOnUiThread(const std::function<void()>& call);
  static bool OnWorkerThread();

  ~ScriptRunner() override;

 signals:
  void busyShownChanged(bool shown);
  // Running() became false: nothing of a script is under way any more.
  void idle();
  // Stop was asked for while a job ran.
  void stopRequested();
  void activityChanged(const QString& text);

 private:
  explicit ScriptRunner(QObject* parent);
  void StartWorker();
  static void* WorkerMain(void* self);
  void WorkerLoop();
  void Wake();
  void OnWake();
  // Runs a pending call for the worker; true when the job has ended.
  bool ServeWorker();
  void WaitForJob();
  void Wait(QEventLoop& loop, QEventLoop::ProcessEventsFlags flags);
  void BeginSession();
  void EndSession();
  void SetBusyShown(bool shown);
  void CallForWorker(const std::function<void()>& call);

  // Shared with the worker, under mutex_.
  std::mutex mutex_;
  std::condition_variable workerCv_;  // the worker waits for a job
  std::condition_variable callCv_;    // the worker waits for a user-interface call
  const std::function<void()>* job_ = nullptr;
  std::exception_ptr jobError_;
  bool jobDone_ = false;
  const std::function<void()>* uiCall_ = nullptr;
  std::exception_ptr uiCallError_;
  bool uiCallDone_ = false;
  bool quit_ = false;

  // User-interface thread only.
  pthread_t worker_{};
  bool workerStarted_ = false;
  int wakePipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
  QEventLoop* loop_ = nullptr;
  bool wakePending_ = false;
  QTimer* stopRepeat_ = nullptr;
  vbs::Engine* engine_ = nullptr;
  bool jobActive_ = false;
  int sessionDepth_ = 0;
  BusyAfterDelay busy_;
  bool stopForClose_ = false;
  bool stopRequested_ = false;
  QString activity_;
};

// Runs one engine call on the worker. false when it could not run because
// another script is running.
bool RunEngineJob(vbs::Engine& engine, const std::function<void()>& job);

// Something of a script is under way (the input line, the keypad and the
// commands that use the engine wait).
bool ScriptRunning();

}  // namespace zel
