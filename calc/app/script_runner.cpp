#include "script_runner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "vbs/engine.h"

namespace zel {

namespace {

ScriptRunner* gRunner = nullptr;
thread_local bool tOnWorker = false;

// Scripts recurse deeply; the engine measures the stack it is given and
// ends runaway recursion with error 28 before it is used up. Under
// ThreadSanitizer, whose stack-trace store cannot hold much deeper stacks,
// the worker gets what the main thread has.
#if defined(__SANITIZE_THREAD__)
constexpr size_t kWorkerStackBytes = size_t(8) * 1024 * 1024;
#else
constexpr size_t kWorkerStackBytes = size_t(16) * 1024 * 1024;
#endif

// A stop can arrive just before the engine starts its call, which clears
// pending requests; it is repeated until the job ends.
constexpr int kStopRepeatMs = 50;

void DestroyRunner() {
  delete gRunner;
  gRunner = nullptr;
}

}  // namespace

ScriptRunner* ScriptRunner::Instance() {
  if (gRunner || tOnWorker) return gRunner;
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() != app->thread()) return nullptr;
  gRunner = new ScriptRunner(app);
  qAddPostRoutine(DestroyRunner);
  return gRunner;
}

ScriptRunner::ScriptRunner(QObject* parent) : QObject(parent) {
  // The worker wakes the user-interface thread through a pipe: the data
  // itself always crosses under mutex_, the pipe only says "look".
  if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0)
    throw std::runtime_error("cannot create the script runner's pipe");
  notifier_ = new QSocketNotifier(wakePipe_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &ScriptRunner::OnWake);
  stopRepeat_ = new QTimer(this);
  stopRepeat_->setInterval(kStopRepeatMs);
  connect(stopRepeat_, &QTimer::timeout, this, [this] {
    if (jobActive_ && engine_) engine_->RequestInterrupt();
    else stopRepeat_->stop();
  });
}

ScriptRunner::~ScriptRunner() {
  if (workerStarted_) {
    if (jobActive_ && engine_) engine_->RequestInterrupt();
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    workerCv_.notify_all();
    pthread_join(worker_, nullptr);
  }
  delete notifier_;
  notifier_ = nullptr;
  for (int& fd : wakePipe_) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

bool ScriptRunner::OnWorkerThread() { return tOnWorker; }

void* ScriptRunner::WorkerMain(void* self) {
  static_cast<ScriptRunner*>(self)->WorkerLoop();
  return nullptr;
}

void ScriptRunner::StartWorker() {
  if (workerStarted_) return;
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, kWorkerStackBytes);
  const int rc = pthread_create(&worker_, &attr, &ScriptRunner::WorkerMain, this);
  pthread_attr_destroy(&attr);
  if (rc != 0) throw std::runtime_error("cannot start the script thread");
  workerStarted_ = true;
}

void ScriptRunner::WorkerLoop() {
  tOnWorker = true;
  std::unique_lock lock(mutex_);
  for (;;) {
    workerCv_.wait(lock, [this] { return job_ != nullptr || quit_; });
    if (quit_) return;
    const std::function<void()>* job = job_;
    lock.unlock();
    std::exception_ptr error;
    try {
      (*job)();
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    job_ = nullptr;
    // Moved, not copied: the exception is then released by the thread that
    // rethrows it, never by two threads through its hidden reference count.
    jobError_ = std::move(error);
    jobDone_ = true;
    Wake();
  }
}

void ScriptRunner::Wake() {
  const char byte = 1;
  // A full pipe already holds a wake-up; nothing is lost.
  [[maybe_unused]] ssize_t n = ::write(wakePipe_[1], &byte, 1);
}

void ScriptRunner::OnWake() {
  char buf[64];
  while (::read(wakePipe_[0], buf, sizeof buf) > 0) {
  }
  wakePending_ = true;
  if (loop_) loop_->quit();
}

bool ScriptRunner::Run(const std::function<void()>& job, vbs::Engine* engine) {
  if (tOnWorker || QThread::currentThread() != thread()) {
    job();
    return true;
  }
  if (jobActive_) return false;
  Session session;
  StartWorker();
  engine_ = engine;
  jobActive_ = true;
  {
    std::lock_guard lock(mutex_);
    job_ = &job;
    jobDone_ = false;
    jobError_ = nullptr;
  }
  workerCv_.notify_one();
  WaitForJob();
  jobActive_ = false;
  engine_ = nullptr;
  stopRepeat_->stop();
  std::exception_ptr error;
  {
    std::lock_guard lock(mutex_);
    std::swap(error, jobError_);
  }
  if (error) std::rethrow_exception(error);
  return true;
}

void ScriptRunner::WaitForJob() {
  for (;;) {
    wakePending_ = false;
    if (ServeWorker()) return;
    if (wakePending_) continue;
    QEventLoop loop;
    if (!busy_.Shown()) {
      const auto left = busy_.QuietLeft(BusyAfterDelay::Clock::now());
      if (left.count() <= 0) {
        SetBusyShown(true);
        continue;
      }
      // No user input yet: a quick script must not see clicks or keys that
      // were meant for after it (they wait in the queue instead).
      QTimer::singleShot(left, &loop, &QEventLoop::quit);
      Wait(loop, QEventLoop::ExcludeUserInputEvents);
    } else {
      Wait(loop, QEventLoop::AllEvents);
    }
  }
}

void ScriptRunner::Wait(QEventLoop& loop, QEventLoop::ProcessEventsFlags flags) {
  loop_ = &loop;
  // Once the application has been told to quit, event loops no longer
  // start; events are then taken one batch at a time.
  if (loop.exec(flags) == -1)
    QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
  loop_ = nullptr;
}

bool ScriptRunner::ServeWorker() {
  const std::function<void()>* call = nullptr;
  bool done = false;
  {
    std::lock_guard lock(mutex_);
    done = jobDone_;
    if (uiCall_ && !uiCallDone_) call = uiCall_;
  }
  if (!call) return done;
  // The script is talking to the user now; a stop asked for before applies
  // to what it runs, not to what comes after the answer.
  stopRepeat_->stop();
  std::exception_ptr error;
  try {
    (*call)();
  } catch (...) {
    error = std::current_exception();
  }
  {
    std::lock_guard lock(mutex_);
    uiCallError_ = std::move(error);  // released by the worker alone
    uiCallDone_ = true;
  }
  callCv_.notify_all();
  return false;
}

void ScriptRunner::RunOnUiThread(const std::function<void()>& call) {
  if (tOnWorker && gRunner) gRunner->CallForWorker(call);
  else call();
}

void ScriptRunner::CallForWorker(const std::function<void()>& call) {
  std::exception_ptr error;
  {
    std::unique_lock lock(mutex_);
    uiCall_ = &call;
    uiCallDone_ = false;
    uiCallError_ = nullptr;
    Wake();
    callCv_.wait(lock, [this] { return uiCallDone_; });
    uiCall_ = nullptr;
    std::swap(error, uiCallError_);
  }
  if (error) std::rethrow_exception(error);
}

void ScriptRunner::RequestStop() {
  if (!jobActive_ || !engine_) return;
  stopRequested_ = true;
  engine_->RequestInterrupt();
  stopRepeat_->start();
  emit stopRequested();
}

void ScriptRunner::RequestStopForClose() {
  if (!Running()) return;
  stopForClose_ = true;
  RequestStop();
}

void ScriptRunner::SetActivity(const QString& text) {
  if (text == activity_) return;
  activity_ = text;
  emit activityChanged(activity_);
}

void ScriptRunner::BeginSession() {
  if (sessionDepth_++ == 0) {
    busy_.Begin(BusyAfterDelay::Clock::now());
    stopForClose_ = false;
    stopRequested_ = false;
  }
}

void ScriptRunner::EndSession() {
  if (--sessionDepth_ > 0) return;
  SetBusyShown(false);
  SetActivity(QString());
  emit idle();
}

void ScriptRunner::SetBusyShown(bool shown) {
  if (!busy_.SetShown(shown)) return;
  emit busyShownChanged(shown);
}

ScriptRunner::Session::Session() : runner_(nullptr) {
  if (tOnWorker) return;
  ScriptRunner* r = Instance();
  if (!r || QThread::currentThread() != r->thread()) return;
  runner_ = r;
  runner_->BeginSession();
}

ScriptRunner::Session::~Session() {
  if (runner_) runner_->EndSession();
}

bool RunEngineJob(vbs::Engine& engine, const std::function<void()>& job) {
  if (tOnWorker) {
    job();
    return true;
  }
  ScriptRunner* r = ScriptRunner::Instance();
  if (!r) {
    job();
    return true;
  }
  return r->Run(job, &engine);
}

bool ScriptRunning() { return gRunner && !tOnWorker && gRunner->Running(); }

}  // namespace zel
