#include "widgets/link/TLinkLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>

namespace kd {

QString linkPrefix(TLinkType type) {
    switch (type) {
    case TLinkType::ltfile:
        return "file://";
    case TLinkType::ltftp:
        return "ftp://";
    case TLinkType::ltgopher:
        return "gopher://";
    case TLinkType::lthttp:
        return "http://";
    case TLinkType::lthttps:
        return "https://";
    case TLinkType::ltmailto:
        return "mailto:";
    case TLinkType::ltnews:
        return "news:";
    case TLinkType::lttelnet:
        return "telnet:";
    case TLinkType::ltwais:
        return "wais:";
    }
    return "";
}

TLinkLabel::TLinkLabel(QWidget* parent) : QLabel(parent), opener_(desktopOpener()) {
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    setPalette(blue);
    setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::SetHyperLink(const QString& value) {
    hyperLink_ = value;
    if (text().isEmpty())
        setText(value);
}

QUrl TLinkLabel::target() const {
    // A file name may hold "#", "?" or "%", which a URL put together by hand would
    // read as a fragment, a query or an escape.
    if (linkType_ == TLinkType::ltfile)
        return QUrl::fromLocalFile(hyperLink_);
    return QUrl(linkPrefix(linkType_) + hyperLink_, QUrl::TolerantMode);
}

TLinkLabel::Opener TLinkLabel::desktopOpener() {
    // A link that cannot be opened says nothing, as a click on a dead link should.
    return [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

void TLinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    // The press is the link's alone: the label's own handling does not run.
    event->accept();
    if (opener_)
        opener_(target());
}

} // namespace kd
