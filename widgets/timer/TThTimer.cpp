#include "widgets/timer/TThTimer.h"

#include "widgets/timer/TTimingMachine.h"

namespace kd {

TThTimer::TThTimer(QObject* owner) : QObject(owner), machine_(std::make_shared<TTimingMachine>()) {
    machine_->synchronize = owner != nullptr;
    worker_.reset(QThread::create([machine = machine_, this] { machine->run(*this); }));
    worker_->setObjectName("TTimingMachine");
    worker_->start();
}

TThTimer::~TThTimer() {
    machine_->stop();
    if (QThread::currentThread() == worker_.get()) {
        // Destroyed by its own handler in the worker: the thread ends as soon as the
        // handler returns and is released then.
        QThread* worker = worker_.release();
        connect(worker, &QThread::finished, worker, &QObject::deleteLater);
        return;
    }
    // The wait ends at once; only a handler running in the worker is waited for, as
    // it may still use this timer.
    worker_->wait();
}

bool TThTimer::Enabled() const {
    return machine_->enabled;
}

void TThTimer::SetEnabled(bool value) {
    machine_->enabled = value;
    machine_->settingsChanged();
}

std::uint32_t TThTimer::Interval() const {
    return machine_->interval;
}

void TThTimer::SetInterval(std::uint32_t milliseconds) {
    machine_->interval = milliseconds;
    machine_->settingsChanged();
}

bool TThTimer::Synchronize() const {
    return machine_->synchronize;
}

void TThTimer::SetSynchronize(bool value) {
    machine_->synchronize = value;
}

TThTimer::TimerEvent TThTimer::OnTimer() const {
    return machine_->handler();
}

void TThTimer::SetOnTimer(TimerEvent handler) {
    machine_->setHandler(std::move(handler));
}

QThread::Priority TThTimer::Priority() const {
    return worker_ ? worker_->priority() : QThread::InheritPriority;
}

void TThTimer::SetPriority(QThread::Priority priority) {
    if (worker_)
        worker_->setPriority(priority);
}

} // namespace kd
