#pragma once
#include "widgets/appevents/AppEventTypes.h"

#include <QPointer>
#include <memory>
#include <vector>

namespace kd {

class TAppEvents;
class KitApplication;

// The one dispatcher shared by every TAppEvents of the process. While an instance is
// registered it holds the application's and the screen's event slots and passes each
// event to the instances, from the last registered to the first: an instance whose
// Chained is False ends the walk after its own handler, and for the events with a
// Handled flag a True Handled ends it too. When the walk passes every instance, the
// handler the slot held before the hub took it is called. When the last instance
// leaves, the slots get back the handlers they held before, in the order they were
// saved.
class TAppEventList {
public:
    explicit TAppEventList(KitApplication& application);
    ~TAppEventList();
    TAppEventList(const TAppEventList&) = delete;
    TAppEventList& operator=(const TAppEventList&) = delete;

    void Register(TAppEvents* instance);
    void Unregister(TAppEvents* instance);
    bool Hooked() const { return hooked_; }
    int Count() const { return static_cast<int>(instances_.size()); }

    // The list of the process, made on first use.
    static TAppEventList& Shared();

private:
    struct Saved;
    void hookApplication();
    void restoreApplication();
    // The instances from the last registered to the first, as they are now: one that is
    // destroyed during the walk is skipped.
    std::vector<QPointer<TAppEvents>> walkOrder() const;
    template <class Handler, class Call, class Stop>
    bool walk(Handler TAppEvents::*slot, Call call, Stop stop) const;
    void dispatchException(QObject* sender, const std::exception& e);
    bool dispatchHelp(quint16 command, int data, bool& callHelp);

    KitApplication& application_;
    std::vector<QPointer<TAppEvents>> instances_;
    bool hooked_ = false;
    std::unique_ptr<Saved> saved_;
};

} // namespace kd
