#include "widgets/appevents/TAppEventList.h"

#include "widgets/appevents/KitApplication.h"
#include "widgets/appevents/TAppEvents.h"

#include <algorithm>
#include <type_traits>

namespace kd {

// The handlers the slots held when the hub took them, in the order they are saved.
struct TAppEventList::Saved {
    TNotifyEvent OnActivate, OnDeactivate;
    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    THelpEvent OnHelp;
    TNotifyEvent OnHint;
    TMessageEvent OnMessage;
    TNotifyEvent OnMinimize, OnRestore;
    TShowHintEvent OnShowHint;
    TNotifyEvent OnActiveControlChange, OnActiveFormChange;
    TActionEvent OnActionExecute, OnActionUpdate;
    TShortCutEvent OnShortCut;
};

TAppEventList::TAppEventList(KitApplication& application)
    : application_(application), saved_(std::make_unique<Saved>()) {}

TAppEventList::~TAppEventList() {
    if (hooked_)
        restoreApplication();
}

TAppEventList& TAppEventList::Shared() {
    static TAppEventList list(Application());
    return list;
}

void TAppEventList::Register(TAppEvents* instance) {
    if (instance == nullptr ||
        std::find(instances_.begin(), instances_.end(), instance) != instances_.end())
        return;
    instances_.emplace_back(instance);
    if (instances_.size() == 1 && !hooked_)
        hookApplication();
}

void TAppEventList::Unregister(TAppEvents* instance) {
    // Entries of instances already gone are dropped too.
    std::erase_if(instances_, [instance](const QPointer<TAppEvents>& entry) {
        return entry.isNull() || entry.data() == instance;
    });
    if (instances_.empty() && hooked_)
        restoreApplication();
}

std::vector<QPointer<TAppEvents>> TAppEventList::walkOrder() const {
    return {instances_.rbegin(), instances_.rend()};
}

template <class Handler, class Call, class Stop>
bool TAppEventList::walk(Handler TAppEvents::*slot, Call call, Stop stop) const {
    for (const QPointer<TAppEvents>& instance : walkOrder()) {
        if (instance.isNull())
            continue;
        // A copy: the handler may replace itself or destroy its instance.
        const Handler handler = (*instance).*slot;
        if (handler)
            call(handler);
        if (instance.isNull() || !instance->Chained())
            return false;
        if (stop())
            return false;
    }
    return true;
}

namespace {

auto never = [] { return false; };

} // namespace

void TAppEventList::hookApplication() {
    KitApplication& app = application_;
    app.StartWatching();
    KitScreen& screen = app.Screen();
    Saved& saved = *saved_;
    saved = Saved{app.OnActivate,
                  app.OnDeactivate,
                  app.OnException,
                  app.OnIdle,
                  app.OnHelp,
                  app.OnHint,
                  app.OnMessage,
                  app.OnMinimize,
                  app.OnRestore,
                  app.OnShowHint,
                  screen.OnActiveControlChange,
                  screen.OnActiveFormChange,
                  app.OnActionExecute,
                  app.OnActionUpdate,
                  app.OnShortCut};

    // A plain notification: the walk, then the saved handler.
    auto notify = [this](TNotifyEvent TAppEvents::*slot, TNotifyEvent Saved::*savedSlot) {
        return [this, slot, savedSlot](QObject* sender) {
            if (walk(
                    slot, [sender](const TNotifyEvent& h) { h(sender); }, never) &&
                (*saved_).*savedSlot)
                ((*saved_).*savedSlot)(sender);
        };
    };
    // An event with a Handled flag: a True Handled ends the walk.
    auto handled = [this]<class Handler, class Arg>(Handler TAppEvents::*slot,
                                                    Handler Saved::*savedSlot,
                                                    std::type_identity<Arg>) {
        return [this, slot, savedSlot](Arg arg, bool& isHandled) {
            if (walk(
                    slot, [&](const Handler& h) { h(arg, isHandled); },
                    [&isHandled] { return isHandled; }) &&
                (*saved_).*savedSlot)
                ((*saved_).*savedSlot)(arg, isHandled);
        };
    };

    app.OnActivate = notify(&TAppEvents::OnActivate, &Saved::OnActivate);
    app.OnDeactivate = notify(&TAppEvents::OnDeactivate, &Saved::OnDeactivate);
    app.OnException = [this](QObject* sender, const std::exception& e) {
        dispatchException(sender, e);
    };
    app.OnIdle = [this](QObject* sender, bool& done) {
        if (walk(
                &TAppEvents::OnIdle, [&](const TIdleEvent& h) { h(sender, done); }, never) &&
            saved_->OnIdle)
            saved_->OnIdle(sender, done);
    };
    app.OnHelp = [this](quint16 command, int data, bool& callHelp) {
        return dispatchHelp(command, data, callHelp);
    };
    app.OnHint = notify(&TAppEvents::OnHint, &Saved::OnHint);
    app.OnMessage =
        handled(&TAppEvents::OnMessage, &Saved::OnMessage, std::type_identity<QEvent&>{});
    app.OnMinimize = notify(&TAppEvents::OnMinimize, &Saved::OnMinimize);
    app.OnRestore = notify(&TAppEvents::OnRestore, &Saved::OnRestore);
    app.OnShowHint = [this](QString& hint, bool& canShow, THintInfo& info) {
        if (walk(
                &TAppEvents::OnShowHint, [&](const TShowHintEvent& h) { h(hint, canShow, info); },
                never) &&
            saved_->OnShowHint)
            saved_->OnShowHint(hint, canShow, info);
    };
    screen.OnActiveControlChange =
        notify(&TAppEvents::OnActiveControlChange, &Saved::OnActiveControlChange);
    screen.OnActiveFormChange = notify(&TAppEvents::OnActiveFormChange, &Saved::OnActiveFormChange);
    app.OnActionExecute = handled(&TAppEvents::OnActionExecute, &Saved::OnActionExecute,
                                  std::type_identity<QAction*>{});
    app.OnActionUpdate = handled(&TAppEvents::OnActionUpdate, &Saved::OnActionUpdate,
                                 std::type_identity<QAction*>{});
    app.OnShortCut =
        handled(&TAppEvents::OnShortCut, &Saved::OnShortCut, std::type_identity<QKeyEvent&>{});
    hooked_ = true;
}

void TAppEventList::restoreApplication() {
    KitApplication& app = application_;
    KitScreen& screen = app.Screen();
    Saved saved = std::move(*saved_);
    *saved_ = Saved{};
    app.OnActivate = std::move(saved.OnActivate);
    app.OnDeactivate = std::move(saved.OnDeactivate);
    app.OnException = std::move(saved.OnException);
    app.OnIdle = std::move(saved.OnIdle);
    app.OnHelp = std::move(saved.OnHelp);
    app.OnHint = std::move(saved.OnHint);
    app.OnMessage = std::move(saved.OnMessage);
    app.OnMinimize = std::move(saved.OnMinimize);
    app.OnRestore = std::move(saved.OnRestore);
    app.OnShowHint = std::move(saved.OnShowHint);
    screen.OnActiveControlChange = std::move(saved.OnActiveControlChange);
    screen.OnActiveFormChange = std::move(saved.OnActiveFormChange);
    app.OnActionExecute = std::move(saved.OnActionExecute);
    app.OnActionUpdate = std::move(saved.OnActionUpdate);
    app.OnShortCut = std::move(saved.OnShortCut);
    hooked_ = false;
}

void TAppEventList::dispatchException(QObject* sender, const std::exception& e) {
    bool called = false;
    const bool passed = walk(
        &TAppEvents::OnException,
        [&](const TExceptionEvent& h) {
            called = true;
            h(sender, e);
        },
        never);
    if (passed && saved_->OnException) {
        called = true;
        saved_->OnException(sender, e);
    }
    if (!called)
        application_.ShowException(e);
}

bool TAppEventList::dispatchHelp(quint16 command, int data, bool& callHelp) {
    bool result = false;
    const bool passed = walk(
        &TAppEvents::OnHelp, [&](const THelpEvent& h) { result = h(command, data, callHelp); },
        never);
    if (passed && saved_->OnHelp)
        result = saved_->OnHelp(command, data, callHelp);
    return result;
}

} // namespace kd
