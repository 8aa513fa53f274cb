#pragma once
#include <QLabel>
#include <QUrl>

#include <functional>

namespace kd {

// The scheme a link label puts in front of its link.
enum class TLinkType {
    ltfile,
    ltftp,
    ltgopher,
    lthttp,
    lthttps,
    ltmailto,
    ltnews,
    lttelnet,
    ltwais
};

// "http://", "mailto:", ...: the prefix of a link type.
QString linkPrefix(TLinkType type);

// A label that shows a link (underlined, blue, hand cursor) and opens it when it is
// pressed with the left mouse button: the scheme of LinkType followed by HyperLink.
// Other buttons are the label's own. The opening goes through an opener, the
// desktop's (QDesktopServices) unless another is set.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    using Opener = std::function<void(const QUrl& target)>;

    // The label is a child of parent; LinkType lthttp, caption empty.
    explicit TLinkLabel(QWidget* parent);

    TLinkType LinkType() const { return linkType_; }
    void SetLinkType(TLinkType value) { linkType_ = value; }
    const QString& HyperLink() const { return hyperLink_; }
    // An empty caption becomes the link text; a caption of its own stays.
    void SetHyperLink(const QString& value);

    // What a left press opens.
    QUrl target() const;
    void SetOpener(Opener opener) { opener_ = std::move(opener); }
    static Opener desktopOpener();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    TLinkType linkType_ = TLinkType::lthttp;
    QString hyperLink_;
    Opener opener_;
};

} // namespace kd
