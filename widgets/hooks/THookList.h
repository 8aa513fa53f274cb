#pragma once
#include <QObject>
#include <cstdint>
#include <memory>
#include <vector>

class QWidget;

namespace kd {

class TControlHook;

// The process-wide list of hook records, made on first use and freed at the end of
// the program (with every record left in it). Records whose widget is destroyed are
// freed at once; a record whose last hook moved to another widget is freed from the
// event loop, when it still has no hooks then.
class THookList : public QObject {
    Q_OBJECT
public:
    static THookList& instance();
    // False before the first use and after the end.
    static bool exists();
    ~THookList() override;

    // The first record of the widget, made and added when there is none.
    TControlHook& recordFor(QWidget& control);
    bool contains(const TControlHook* record) const;
    std::size_t count() const { return records_.size(); }

    // Posts the release of a record that has no hooks left.
    void postRelease(TControlHook& record);
    // Takes the record out of the list and frees it (later when it is handling an
    // event of its widget just now).
    void free(TControlHook& record);

    // Records call these around the delivery of an event to their widget; records
    // freed meanwhile go when the outermost delivery ends.
    void enterDelivery() { ++deliveryDepth_; }
    void leaveDelivery();

private:
    THookList() = default;

    std::vector<std::unique_ptr<TControlHook>> records_;
    std::vector<std::unique_ptr<TControlHook>> freedWhileBusy_;
    std::uint64_t nextSerial_ = 1;
    int deliveryDepth_ = 0;
};

} // namespace kd
