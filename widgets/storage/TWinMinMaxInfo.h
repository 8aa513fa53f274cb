#pragma once
#include <array>
#include <functional>

namespace kd {

// Limits of a window's size and of its maximised placement; a value of 0 leaves the
// system's own. Every change is told to the owner.
class TWinMinMaxInfo {
public:
    enum Index {
        MaxPosLeft,
        MaxPosTop,
        MaxSizeHeight,
        MaxSizeWidth,
        MaxTrackHeight,
        MaxTrackWidth,
        MinTrackHeight,
        MinTrackWidth
    };

    explicit TWinMinMaxInfo(std::function<void()> changed = {}) : changed_(std::move(changed)) {}

    int value(Index index) const { return values_[index]; }
    // Setting the value there is does nothing.
    void setValue(Index index, int value);
    // Copies every value of the other and tells the owner.
    void Assign(const TWinMinMaxInfo& source);
    // All eight values are 0.
    bool empty() const;

private:
    std::array<int, 8> values_{};
    std::function<void()> changed_;
};

} // namespace kd
