#pragma once
#include <QWidget>
#include <functional>

class QToolButton;

namespace kd {

enum class TUDBtnType { btNext, btPrev };

// The standard vertical up-down control: two arrow buttons, each click (and each
// auto-repeat while held) reported through OnClick.
class TKitUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TKitUpDown(QWidget* parent = nullptr);

    // The width every up-down gets: the scroll bar's, at most 15 pixels.
    static int DefaultButtonWidth();

    void setOnClick(std::function<void(TUDBtnType)> handler) { onClick_ = std::move(handler); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void clicked(TUDBtnType button);

    QToolButton* up_;
    QToolButton* down_;
    bool inClick_ = false;
    std::function<void(TUDBtnType)> onClick_;
};

} // namespace kd
