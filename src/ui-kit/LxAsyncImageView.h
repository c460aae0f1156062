#pragma once

#include <chrono>
#include <optional>
#include <variant>

#include <QImage>
#include <QString>
#include <QWidget>

#include "platform/http/Url.h"
#include "platform/reactive/AnyCancellable.h"
#include "platform/reactive/AnyPublisher.h"

class QVariantAnimation;

// An image that lives at a URL: the view shows a placeholder from the main bundle, fetches the
// URL once it is shown, and swaps in the fetched image, cross-fading over `animation` when one
// is given (and the kit animates). The image is stretched over the whole view.
//
// Fetched images stay in one memory cache for the process, keyed by the URL's text, so later
// views of the same URL are served without a download; even then the first paint shows the
// placeholder, the cached image arriving one main-queue turn later. A failed fetch (a transfer
// error, a status outside 200 to 299, bytes that are not an image or claim more than about 50
// million pixels) leaves the placeholder and no cache entry, and is not retried by the view.
// Two views shown before the first download ends both download; the later image wins the
// cache. Hiding or deleting the view ends its fetch. A placeholder missing from the bundle
// paints nothing. Main thread only.
//
// The cache is bounded (256 MB of decoded pixels; the oldest unused images go first), since
// nothing tells a Linux process to shed memory; an image larger than that is shown, not kept.
//
// Example:
//   auto* avatar = new LxAsyncImageView(*platform::Url::make(member.photoUrl), "Avatar",
//                                       std::chrono::milliseconds(250));
class LxAsyncImageView final : public QWidget {
public:
    // What the view shows: an image of the main bundle by name, or a decoded image.
    class Content {
    public:
        static Content named(QString name) { return Content(std::move(name)); }
        static Content uiImage(QImage image) { return Content(std::move(image)); }

        // The bundle image's name; none for a decoded image.
        const QString* name() const { return std::get_if<QString>(&value_); }
        // The decoded image; none for a bundle image.
        const QImage* image() const { return std::get_if<QImage>(&value_); }

    private:
        explicit Content(std::variant<QString, QImage> value) : value_(std::move(value)) {}

        std::variant<QString, QImage> value_;
    };

    static constexpr qsizetype cacheBytes = qsizetype(256) * 1024 * 1024;

    LxAsyncImageView(platform::Url url, const QString& placeholderImageName,
                     std::optional<std::chrono::milliseconds> animation = std::nullopt,
                     QWidget* parent = nullptr);
    ~LxAsyncImageView() override;

    const Content& imageState() const { return imageState_; }
    // Whether a fetch (or a hand-over from the cache) is under way.
    bool isFetching() const { return fetching_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void setImageState(Content content);
    QImage picture(const Content& content) const;

    Content imageState_;
    platform::reactive::AnyPublisher<Content> source_;
    std::optional<std::chrono::milliseconds> animation_;
    platform::reactive::AnyCancellable subscription_;
    bool fetching_ = false;
    // The cross-fade: what showed before and how far the new image has come.
    QImage fadingOut_;
    double fadeProgress_ = 1;
    QVariantAnimation* fade_;
};
