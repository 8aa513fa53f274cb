#include "widgets/storage/PlacementValues.h"

#include "widgets/storage/NumberText.h"
#include "widgets/storage/OnScreen.h"
#include "widgets/storage/PlacementStore.h"
#include "widgets/window/FrameMargins.h"
#include "widgets/window/FramePositionOnShow.h"

#include <QGuiApplication>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <array>

namespace kd {
namespace {

using Numbers = std::array<int, 4>;

// The minimised and maximised positions have no use here; they are kept with the
// window as read, so that a save writes back what the last restore found.
constexpr const char* kMinMaxProperty = "kordyne_minMaxPos";

std::string numbersText(const Numbers& n) {
    return std::to_string(n[0]) + "," + std::to_string(n[1]) + "," + std::to_string(n[2]) + "," +
           std::to_string(n[3]);
}

void writePosition(PlacementStore& store, const std::string& section, const std::string& name,
                   const std::string& text) {
    store.writeString(section, name + screenSizeSuffix(), text);
    store.writeString(section, name, text);
}

// The words of a position string (separated by blanks and commas) over the defaults:
// a missing or non-numeric word keeps its default. False when nothing is stored.
bool readPosition(PlacementStore& store, const std::string& section, const std::string& name,
                  Numbers& numbers) {
    std::string text = store.readString(section, name + screenSizeSuffix(), "");
    if (text.empty())
        text = store.readString(section, name, "");
    if (text.empty())
        return false;
    const QStringList words =
        QString::fromStdString(text).split(QRegularExpression("[ ,]"), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < words.size() && i < 4; ++i) {
        int value = 0;
        if (parseWholeNumber(words[i].toStdString(), value))
            numbers[static_cast<std::size_t>(i)] = value;
    }
    return true;
}

Numbers minMaxOf(const QWidget& form) {
    const QVariant stored = form.property(kMinMaxProperty);
    if (stored.canConvert<QList<int>>()) {
        const QList<int> list = stored.value<QList<int>>();
        if (list.size() == 4)
            return {list[0], list[1], list[2], list[3]};
    }
    return {-1, -1, -1, -1};
}

// The normal (not maximised) rectangle: frame position and the window's own size.
QRect normalRect(const QWidget& form) {
    QRect normal = form.geometry();
    if (form.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        if (form.normalGeometry().isValid())
            normal = form.normalGeometry();
    const QPoint frameOffset = form.geometry().topLeft() - form.pos();
    return QRect(normal.topLeft() - frameOffset, normal.size());
}

bool isSizeable(const QWidget& form) {
    return form.minimumSize() != form.maximumSize();
}

} // namespace

std::string screenSizeSuffix() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->geometry().size() : QSize();
    return "(" + std::to_string(size.width()) + "x" + std::to_string(size.height()) + ")";
}

int screenPixelsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

void SavePlacementValues(QWidget& form, PlacementStore& store, const std::string& section) {
    int showCmd = 1;
    if (form.isMinimized())
        showCmd = 2;
    else if (form.isMaximized())
        showCmd = 3;
    store.writeInteger(section, "Flags", 0);
    store.writeInteger(section, "ShowCmd", showCmd);
    store.writeInteger(section, "PixelsPerInch", screenPixelsPerInch());
    writePosition(store, section, "MinMaxPos", numbersText(minMaxOf(form)));
    const QRect normal = normalRect(form);
    writePosition(store, section, "NormPos",
                  numbersText({normal.left(), normal.top(), normal.left() + normal.width(),
                               normal.top() + normal.height()}));
}

bool RestorePlacementValues(QWidget& form, PlacementStore& store, const std::string& section,
                            bool loadPosition, bool loadState) {
    if (!loadPosition && !loadState)
        return false;
    bool placed = false;
    if (loadPosition) {
        store.readInteger(section, "Flags", 0);
        bool found = false;
        Numbers minMax{0, 0, 0, 0};
        if (readPosition(store, section, "MinMaxPos", minMax)) {
            form.setProperty(kMinMaxProperty,
                             QVariant::fromValue(QList<int>(minMax.begin(), minMax.end())));
            found = true;
        }
        const QRect current = normalRect(form);
        Numbers normal{current.left(), current.top(), current.left() + current.width(),
                       current.top() + current.height()};
        found = readPosition(store, section, "NormPos", normal) || found;
        const int pixelsPerInch =
            store.readInteger(section, "PixelsPerInch", screenPixelsPerInch());
        if (found && pixelsPerInch == screenPixelsPerInch()) {
            StoredRect rect{normal[0], normal[1], qint64(normal[2]) - normal[0],
                            std::max<qint64>(0, qint64(normal[3]) - normal[1])};
            // A window of fixed size takes over the position only.
            if (!isSizeable(form)) {
                rect.width = form.width();
                rect.height = form.height();
            }
            if (rect.width > 0) {
                // The screen is to hold the window with its frame.
                const QMargins margins = frameMarginsOf(form);
                rect.width += margins.left() + margins.right();
                rect.height += margins.top() + margins.bottom();
                const QRect frame = clampedOntoScreens(rect, availableScreenAreas());
                const QSize inside = frame.size().shrunkBy(margins);
                if (isSizeable(form) && inside.height() > 0)
                    form.resize(inside);
                FramePositionOnShow::place(form, frame.topLeft());
                placed = true;
            }
        }
    }
    if (loadState) {
        Qt::WindowState state = Qt::WindowNoState;
        switch (store.readInteger(section, "ShowCmd", 0)) {
        case 1:
        case 5:
        case 9:
            state = Qt::WindowNoState;
            break;
        case 2:
        case 6:
        case 7:
            state = Qt::WindowMinimized;
            break;
        case 3:
            state = Qt::WindowMaximized;
            break;
        default:
            break;
        }
        if (state == Qt::WindowMinimized && form.isWindow()) {
            // Minimised once the window is up, as the system would do it.
            form.setWindowState(form.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
            QTimer::singleShot(0, &form, [window = QPointer<QWidget>(&form)] {
                if (window)
                    window->showMinimized();
            });
            return placed;
        }
        form.setWindowState((form.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) |
                            state);
    }
    form.update();
    return placed;
}

} // namespace kd
