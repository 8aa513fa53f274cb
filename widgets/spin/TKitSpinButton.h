#pragma once
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QTimer;

namespace kd {

enum class TSpinButtonState { sbNotDown, sbTopDown, sbBottomDown };

// One square step button split along its diagonal: the upper-left half steps up, the
// lower-right half steps down. Holding a half steps at once, after 400 ms and then every
// 100 ms.
class TKitSpinButton : public QWidget {
    Q_OBJECT
public:
    explicit TKitSpinButton(QWidget* parent = nullptr);
    ~TKitSpinButton() override;

    // The half under the point: bottom when y > h - (h / w) * x.
    static TSpinButtonState halfAt(QPointF point, QSizeF size);

    // A null image takes the built-in arrow.
    void setUpGlyph(const QImage& glyph);
    void setDownGlyph(const QImage& glyph);
    const QImage& UpGlyph() const { return upGlyph_; }
    const QImage& DownGlyph() const { return downGlyph_; }
    void setFocusControl(QWidget* control) { focusControl_ = control; }
    void setOnTopClick(std::function<void()> handler) { onTopClick_ = std::move(handler); }
    void setOnBottomClick(std::function<void()> handler) { onBottomClick_ = std::move(handler); }
    TSpinButtonState pressed() const { return down_; }

    // The picture of the button with the given half pressed, w x h pixels.
    QImage face(TSpinButtonState pressed, QSize size) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fire(TSpinButtonState half);
    void repeatStep();
    void setDown(TSpinButtonState state);

    TSpinButtonState down_ = TSpinButtonState::sbNotDown;
    TSpinButtonState lastDown_ = TSpinButtonState::sbNotDown;
    bool dragging_ = false;
    bool invalidate_ = true;
    QImage upGlyph_;
    QImage downGlyph_;
    std::array<QImage, 3> faces_;
    std::unique_ptr<QTimer> repeat_;
    QPointer<QWidget> focusControl_;
    std::function<void()> onTopClick_;
    std::function<void()> onBottomClick_;
};

} // namespace kd
