#include "widgets/buttons/TKitSpeedButton.h"

#include "widgets/menu/TKitPopupMenu.h"

#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QTimer>

namespace kd {

namespace {

template <typename T> bool assign(T& field, const T& value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

bool applicationActive() {
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

} // namespace

TKitSpeedButton::TKitSpeedButton(QWidget* parent) : QWidget(parent) {
    setGeometry(0, 0, 25, 25);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The click that closes the drop-down menu must not press the button again.
    setAttribute(Qt::WA_NoMousePropagation);
    setAttribute(Qt::WA_NoMouseReplay);
    setFocusPolicy(Qt::NoFocus);
    glyph_.OnChange = [this] { redraw(); };
}

TKitSpeedButton::~TKitSpeedButton() {
    glyph_.OnChange = nullptr;
    stopRepeat();
}

void TKitSpeedButton::redraw() {
    update();
}

void TKitSpeedButton::setAlignment(TTextAlignment value) {
    if (assign(alignment_, value))
        redraw();
}

void TKitSpeedButton::setAllowAllUp(bool value) {
    if (assign(allowAllUp_, value))
        groupChanged();
}

void TKitSpeedButton::setAllowTimer(bool value) {
    allowTimer_ = value;
    if (!value)
        stopRepeat();
}

void TKitSpeedButton::setGroupIndex(int value) {
    if (assign(groupIndex_, value))
        groupChanged();
}

void TKitSpeedButton::setDown(bool value) {
    if (groupIndex_ == 0)
        value = false;
    if (value == down_ || (down_ && !allowAllUp_))
        return;
    down_ = value;
    state_ = value ? TButtonState::bsExclusive : TButtonState::bsUp;
    redraw();
    if (value)
        groupChanged();
}

void TKitSpeedButton::setDropDownMenu(TKitPopupMenu* menu) {
    // A destroyed menu leaves the pointer null by itself.
    if (menu_ != menu) {
        menu_ = menu;
        redraw();
    }
}

void TKitSpeedButton::setCaption(const QString& caption) {
    if (assign(caption_, caption)) {
        grabMnemonic();
        redraw();
    }
}

void TKitSpeedButton::setFlat(bool value) {
    if (assign(flat_, value))
        redraw();
}

void TKitSpeedButton::setGrayedInactive(bool value) {
    if (assign(grayedInactive_, value))
        redraw();
}

void TKitSpeedButton::setLayout(TButtonLayout value) {
    if (assign(layout_, value))
        redraw();
}

void TKitSpeedButton::setMargin(int value) {
    if (value >= -1 && assign(margin_, value))
        redraw();
}

void TKitSpeedButton::setMarkDropDown(bool value) {
    if (assign(markDropDown_, value))
        redraw();
}

void TKitSpeedButton::setSpacing(int value) {
    if (assign(spacing_, value))
        redraw();
}

void TKitSpeedButton::setStyle(TButtonStyle value) {
    if (assign(style_, value))
        redraw();
}

void TKitSpeedButton::setTransparent(bool value) {
    if (assign(transparent_, value)) {
        setAttribute(Qt::WA_OpaquePaintEvent, !value);
        redraw();
    }
}

void TKitSpeedButton::setWordWrap(bool value) {
    if (assign(wordWrap_, value))
        redraw();
}

// Tells the other buttons of the group among the siblings: a down sender releases
// every other down one, and all take the sender's AllowAllUp.
void TKitSpeedButton::groupChanged() {
    if (groupIndex_ == 0 || !parentWidget())
        return;
    for (auto* other :
         parentWidget()->findChildren<TKitSpeedButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (other == this || other->groupIndex_ != groupIndex_)
            continue;
        if (down_ && other->down_) {
            other->down_ = false;
            other->state_ = TButtonState::bsUp;
            other->redraw();
        }
        other->allowAllUp_ = allowAllUp_;
    }
}

void TKitSpeedButton::Click() {
    if (modalResult_ != 0)
        if (auto* dialog = qobject_cast<QDialog*>(window()))
            dialog->done(modalResult_);
    emit clicked();
}

void TKitSpeedButton::mousePressEvent(QMouseEvent* event) {
    if (menuTracking_)
        return;
    QWidget::mousePressEvent(event);
    if (isEnabled() && !mouseInControl_) {
        mouseInControl_ = true;
        redraw();
    }
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        updateMouseMark();
        return;
    }
    if (!down_) {
        state_ = TButtonState::bsDown;
        redraw();
    }
    dragging_ = true;
    if (menu_) {
        menuTracking_ = true;
        // An item of the menu may destroy the button.
        const QPointer<TKitSpeedButton> alive(this);
        showDropDownMenu();
        if (!alive)
            return;
        // The menu took the release: finish the press now, without a click.
        finishPress(false);
        menuTracking_ = false;
    }
    if (allowTimer_) {
        if (!repeatTimer_) {
            repeatTimer_ = std::make_unique<QTimer>();
            connect(repeatTimer_.get(), &QTimer::timeout, this, &TKitSpeedButton::repeatTick);
        }
        repeatTimer_->start(initPause_);
    }
}

void TKitSpeedButton::showDropDownMenu() {
    const int w = width();
    const int h = height();
    QPoint at;
    const TPopupAlignment alignment = menu_->Alignment();
    if (alignment == TPopupAlignment::paCenter)
        at = QPoint(w / 2, h);
    else if (menuPosition_ == TKitDropDownMenuPos::dmpBottom)
        at = alignment == TPopupAlignment::paLeft ? QPoint(-1, h) : QPoint(w + 1, h);
    else
        at = alignment == TPopupAlignment::paLeft ? QPoint(w, -1) : QPoint(-1, -1);
    const QPoint global = mapToGlobal(at);
    menu_->Popup(global.x(), global.y());
}

void TKitSpeedButton::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    if (!dragging_)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    TButtonState next;
    if (down_)
        next = TButtonState::bsExclusive;
    else
        next = inside ? TButtonState::bsDown : TButtonState::bsUp;
    if (assign(state_, next))
        redraw();
}

void TKitSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && dragging_)
        finishPress(rect().contains(event->position().toPoint()));
    stopRepeat();
    updateMouseMark();
}

void TKitSpeedButton::finishPress(bool inside) {
    dragging_ = false;
    if (groupIndex_ == 0) {
        state_ = TButtonState::bsUp;
        if (inside)
            mouseInControl_ = false;
    } else if (inside) {
        setDown(!down_);
        state_ = down_ ? TButtonState::bsExclusive : TButtonState::bsUp;
    } else if (down_) {
        state_ = TButtonState::bsExclusive;
    } else {
        state_ = TButtonState::bsUp;
    }
    redraw();
    if (inside && !menuTracking_)
        Click();
}

void TKitSpeedButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (menuTracking_)
        return;
    QWidget::mouseDoubleClickEvent(event);
    if (down_)
        emit doubleClicked();
}

void TKitSpeedButton::repeatTick() {
    repeatTimer_->setInterval(repeatInterval_);
    if (state_ != TButtonState::bsDown || !dragging_)
        return;
    try {
        Click();
    } catch (...) {
        stopRepeat();
        throw;
    }
}

void TKitSpeedButton::stopRepeat() {
    if (repeatTimer_)
        repeatTimer_->stop();
}

void TKitSpeedButton::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    if (!mouseInControl_ && isEnabled() && applicationActive())
        setMouseMark(true);
}

void TKitSpeedButton::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (mouseInControl_ && isEnabled() && !dragging_)
        setMouseMark(false);
}

void TKitSpeedButton::setMouseMark(bool inControl) {
    mouseInControl_ = inControl;
    if (flat_)
        redraw();
    if (inControl)
        emit mouseEntered();
    else
        emit mouseLeft();
}

// Whether the mouse is over this enabled button now, for when no enter or leave
// event tells it (after a release, enabling, showing or hiding).
void TKitSpeedButton::updateMouseMark() {
    const bool over = isEnabled() && isVisible() && applicationActive() &&
                      QApplication::widgetAt(QCursor::pos()) == this;
    if (over != mouseInControl_)
        setMouseMark(over);
}

void TKitSpeedButton::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        stateFixUp(); // before any press can set a new state
        updateMouseMark();
        redraw();
        break;
    case QEvent::PaletteChange:
        // Images are rebuilt in the new colours.
        glyph_.Invalidate();
        redraw();
        break;
    case QEvent::FontChange:
        redraw();
        break;
    default:
        break;
    }
}

void TKitSpeedButton::grabMnemonic() {
    if (shortcutId_ != 0)
        releaseShortcut(shortcutId_);
    shortcutId_ = 0;
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption_);
    if (!mnemonic.isEmpty())
        shortcutId_ = grabShortcut(mnemonic);
}

bool TKitSpeedButton::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut &&
        static_cast<QShortcutEvent*>(event)->shortcutId() == shortcutId_) {
        if (isEnabled())
            Click();
        return true;
    }
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
        updateMouseMark();
    return QWidget::event(event);
}

void TKitSpeedButton::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    QImage offscreen(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    offscreen.setDevicePixelRatio(ratio);
    offscreen.fill(Qt::transparent);
    {
        QPainter canvas(&offscreen);
        paintButton(canvas);
    }
    QPainter(this).drawImage(0, 0, offscreen);
}

} // namespace kd
