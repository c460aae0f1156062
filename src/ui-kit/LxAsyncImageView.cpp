#include "ui-kit/LxAsyncImageView.h"

#include <utility>

#include <QBuffer>
#include <QByteArray>
#include <QCache>
#include <QEasingCurve>
#include <QPainter>
#include <QPointer>
#include <QVariantAnimation>

#include "network/UrlPublishers.h"
#include "platform/dispatch/MainQueue.h"
#include "reactive/PublisherHelpers.h"
#include "ui-kit/LxAnimation.h"
#include "ui-kit/LxBundle.h"
#include "ui-kit/image/ImageEncoding.h"

namespace {

using Content = LxAsyncImageView::Content;
using platform::reactive::AnyPublisher;

// Runs on the session's queue; touches nothing shared. Bounded as the package images are.
std::optional<QImage> decode(const lx::Bytes& bytes) {
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<qsizetype>(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return lx::decodedImage(buffer);
}

// The process's one image cache, made on first use. Main thread only: images are stored and
// looked up after their hand-over to the main queue.
class ImageFetcher {
public:
    static ImageFetcher& shared() {
        static ImageFetcher* const fetcher = new ImageFetcher;  // lives as long as the process
        return *fetcher;
    }

    AnyPublisher<Content> fetch(const platform::Url& url) {
        const QString key = QString::fromStdString(url.string());
        if (const QImage* cached = cache_.object(key)) {
            return platform::reactive::just(Content::uiImage(*cached))
                .receiveOn(platform::dispatch::mainQueue());
        }
        return lx::ignoreError(lx::rxFetch(url))
            .flatMap([](const lx::Bytes& bytes) {
                const std::optional<QImage> image = decode(bytes);
                return image ? platform::reactive::just(*image)
                             : platform::reactive::empty<QImage>();
            })
            .receiveOn(platform::dispatch::mainQueue())
            .map([key](const QImage& image) {
                shared().cache_.insert(key, new QImage(image), image.sizeInBytes());
                return Content::uiImage(image);
            });
    }

private:
    ImageFetcher() : cache_(LxAsyncImageView::cacheBytes) {}

    QCache<QString, QImage> cache_;
};

}  // namespace

LxAsyncImageView::LxAsyncImageView(platform::Url url, const QString& placeholderImageName,
                                   std::optional<std::chrono::milliseconds> animation,
                                   QWidget* parent)
    : QWidget(parent),
      imageState_(Content::named(placeholderImageName)),
      // Deferred: nothing is looked up or downloaded before the view is shown.
      source_([url = std::move(url)](
                  platform::reactive::Subscriber<Content, platform::reactive::Never> subscriber) {
          return ImageFetcher::shared().fetch(url).subscribe(std::move(subscriber));
      }),
      animation_(animation),
      fade_(new QVariantAnimation(this)) {
    fade_->setStartValue(0.0);
    fade_->setEndValue(1.0);
    fade_->setEasingCurve(QEasingCurve::InOutQuad);
    QObject::connect(fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        fadeProgress_ = value.toDouble();
        update();
    });
    QObject::connect(fade_, &QVariantAnimation::finished, this, [this] {
        fadingOut_ = QImage();
        fadeProgress_ = 1;
        update();
    });
}

LxAsyncImageView::~LxAsyncImageView() {
    subscription_.cancel();
    fade_->stop();
}

void LxAsyncImageView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The state moves once: an image already shown needs no second fetch.
    if (fetching_ || imageState_.image() != nullptr) {
        return;
    }
    fetching_ = true;
    const QPointer<LxAsyncImageView> view(this);
    subscription_ = source_.sink(
        [view](const platform::reactive::Completion<platform::reactive::Never>&) {
            if (view) {
                view->fetching_ = false;
            }
        },
        [view](const Content& content) {
            if (view) {
                view->setImageState(content);
            }
        });
}

void LxAsyncImageView::hideEvent(QHideEvent* event) {
    subscription_.cancel();
    fetching_ = false;
    QWidget::hideEvent(event);
}

void LxAsyncImageView::setImageState(Content content) {
    const bool fades =
        animation_ && animation_->count() > 0 && LxAnimation::isEnabled() && isVisible();
    fade_->stop();
    fadingOut_ = fades ? picture(imageState_) : QImage();
    imageState_ = std::move(content);
    fadeProgress_ = 1;
    if (fades) {
        fadeProgress_ = 0;
        fade_->setDuration(static_cast<int>(animation_->count()));
        fade_->start();
    }
    update();
}

QImage LxAsyncImageView::picture(const Content& content) const {
    if (const QImage* image = content.image()) {
        return *image;
    }
    return LxBundle::main().image(*content.name());
}

void LxAsyncImageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF whole = rect();
    if (!fadingOut_.isNull() && fadeProgress_ < 1) {
        painter.setOpacity(1 - fadeProgress_);
        painter.drawImage(whole, fadingOut_);
    }
    const QImage current = picture(imageState_);
    if (!current.isNull()) {
        painter.setOpacity(fadeProgress_);
        painter.drawImage(whole, current);
    }
}
