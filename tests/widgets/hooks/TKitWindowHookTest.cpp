#include "widgets/hooks/TKitWindowHook.h"
#include "widgets/hooks/TControlHook.h"
#include "widgets/hooks/THookList.h"
#include "widgets/support/WidgetsApplication.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace kd;

namespace {

constexpr auto probe = QEvent::User;

// A widget that counts the probe events it handles.
class Probe : public QWidget {
public:
    std::vector<std::string>* log = nullptr;

protected:
    bool event(QEvent* e) override {
        if (e->type() == probe && log)
            log->push_back("widget");
        return QWidget::event(e);
    }
};

// A hook that writes its calls to the log and may claim the event before the widget.
std::unique_ptr<TKitWindowHook> loggingHook(const std::string& name, QWidget& w,
                                            std::vector<std::string>& log, bool claim = false) {
    auto hook = std::make_unique<TKitWindowHook>();
    hook->BeforeMessage = [&log, name, claim](TKitWindowHook&, THookMessage& m, bool& handled) {
        if (m.event->type() == probe) {
            log.push_back(name + " before");
            handled = claim;
        }
    };
    hook->AfterMessage = [&log, name](TKitWindowHook&, THookMessage& m, bool&) {
        if (m.event->type() == probe)
            log.push_back(name + " after");
    };
    hook->setWinControl(&w);
    return hook;
}

// Another event filter of the widget, as the program's own windows have.
class LoggingFilter : public QObject {
public:
    explicit LoggingFilter(std::vector<std::string>& log) : log_(log) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == probe)
            log_.push_back("filter");
        return false;
    }

private:
    std::vector<std::string>& log_;
};

void sendProbe(QWidget& w) {
    QEvent e(probe);
    QCoreApplication::sendEvent(&w, &e);
}

class HookTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        QCoreApplication::sendPostedEvents();
        recordsBefore = THookList::instance().count();
    }
    std::size_t recordsBefore = 0;
    std::vector<std::string> log;
};

} // namespace

TEST_F(HookTest, HooksOfOneWidgetShareARecordAndRunLastAttachedFirst) {
    Probe w;
    w.log = &log;
    auto first = loggingHook("first", w, log);
    auto second = loggingHook("second", w, log);
    EXPECT_EQ(THookList::instance().count(), recordsBefore + 1);
    EXPECT_EQ(first->WinControl(), &w);

    sendProbe(w);
    EXPECT_EQ(log, (std::vector<std::string>{"second before", "first before", "widget",
                                             "second after", "first after"}));
}

TEST_F(HookTest, TheWidgetsOtherFiltersSeeEachEventOnceBetweenTheHooksAndTheWidget) {
    Probe w;
    w.log = &log;
    LoggingFilter filter(log);
    w.installEventFilter(&filter);
    auto after = loggingHook("after", w, log);
    sendProbe(w);
    auto beforeOnly = loggingHook("before", w, log);
    beforeOnly->AfterMessage = nullptr;
    after->AfterMessageTypes = {QEvent::Close}; // no longer wants the probe afterwards
    sendProbe(w);
    EXPECT_EQ(log, (std::vector<std::string>{"after before", "filter", "widget", "after after",
                                             "before before", "after before", "filter", "widget"}));
}

TEST_F(HookTest, AClaimedEventReachesNeitherEarlierHooksNorTheWidget) {
    Probe w;
    w.log = &log;
    auto first = loggingHook("first", w, log);
    auto second = loggingHook("second", w, log, true);
    sendProbe(w);
    EXPECT_EQ(log, std::vector<std::string>{"second before"});
}

TEST_F(HookTest, TheWidgetsDeletionCannotBeClaimed) {
    auto* w = new QWidget;
    bool claimed = false;
    TKitWindowHook hook;
    hook.BeforeMessage = [&](TKitWindowHook&, THookMessage& m, bool& handled) {
        if (m.event->type() == QEvent::DeferredDelete)
            claimed = handled = true;
    };
    hook.setWinControl(w);
    const QPointer<QWidget> watched = w;
    w->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(claimed);
    EXPECT_TRUE(watched.isNull());
    EXPECT_EQ(hook.WinControl(), nullptr);
    EXPECT_EQ(THookList::instance().count(), recordsBefore);
}

TEST_F(HookTest, DestroyingTheHookFirstLeavesTheWidgetUnfiltered) {
    Probe w;
    w.log = &log;
    {
        auto hook = loggingHook("hook", w, log);
        auto other = loggingHook("other", w, log);
        other.reset();
        sendProbe(w);
    }
    sendProbe(w);
    EXPECT_EQ(log, (std::vector<std::string>{"hook before", "widget", "hook after", "widget"}));
    // The emptied record stays until the end (no release is posted for a hook that
    // simply went away): it no longer filters.
    EXPECT_EQ(THookList::instance().count(), recordsBefore + 1);
    EXPECT_FALSE(THookList::instance().recordFor(w).subclassing());
}

TEST_F(HookTest, DestroyingTheWidgetFirstFreesItsRecordAndDetachesTheHooks) {
    auto w = std::make_unique<Probe>();
    auto hook = loggingHook("hook", *w, log);
    EXPECT_TRUE(hook->Active());
    w.reset();
    EXPECT_EQ(THookList::instance().count(), recordsBefore);
    EXPECT_EQ(hook->WinControl(), nullptr);
    EXPECT_FALSE(hook->Active());
    hook.reset(); // nothing dangling to touch
}

TEST_F(HookTest, MovingTheLastHookReleasesTheOldRecordFromTheEventLoop) {
    Probe a, b;
    a.log = &log;
    auto hook = loggingHook("hook", a, log);
    hook->setWinControl(&b);
    EXPECT_EQ(hook->WinControl(), &b);
    EXPECT_EQ(THookList::instance().count(), recordsBefore + 2);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(THookList::instance().count(), recordsBefore + 1);
    sendProbe(a);
    EXPECT_EQ(log, std::vector<std::string>{"widget"});

    // Switched off, the hook leaves its record in place, not filtering.
    hook->setActive(false);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(THookList::instance().count(), recordsBefore + 1);
    hook->setActive(true);
    b.log = &log;
    sendProbe(b);
    EXPECT_EQ(log.back(), "hook after");
}

TEST_F(HookTest, AHookThatThrowsDoesNotStopTheWalk) {
    Probe w;
    w.log = &log;
    auto first = loggingHook("first", w, log);
    TKitWindowHook thrower;
    thrower.BeforeMessage = [](TKitWindowHook&, THookMessage& m, bool&) {
        if (m.event->type() == probe)
            throw std::runtime_error("hook failed");
    };
    thrower.setWinControl(&w);
    sendProbe(w);
    EXPECT_EQ(log, (std::vector<std::string>{"first before", "widget", "first after"}));
}
