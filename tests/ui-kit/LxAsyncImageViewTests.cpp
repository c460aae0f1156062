#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <QBuffer>
#include <QImage>
#include <QPointer>
#include <gtest/gtest.h>

#include "platform/http/Url.h"
#include "platform/qt/MainQueueDriver.h"
#include "support/LocalHttpServer.h"
#include "support/QtApplicationTest.h"
#include "support/ViewRendering.h"
#include "ui-kit/LxAnimation.h"
#include "ui-kit/LxAsyncImageView.h"

namespace {

using namespace std::chrono_literals;

// Views of images served by a real HTTP server on 127.0.0.1. Each test has its own server, on
// a port of its own, so the process-wide cache holds nothing of another test's URLs.
class LxAsyncImageViewTest : public QtApplicationTest {
protected:
    void SetUp() override {
        QtApplicationTest::SetUp();
        driver_ = std::make_unique<platform::qt::MainQueueDriver>();
        server_ = std::make_unique<LocalHttpServer>();
        server_->route("/red.png", {.body = png(Qt::red)});
        server_->route("/blue.png", {.body = png(Qt::blue)});
        server_->route("/garbage.png", {.body = "<html>not an image</html>"});
        server_->route("/gone.png", {.status = 410, .body = png(Qt::red)});
        server_->route("/slow.png", {.body = png(Qt::red), .delay = 10s});
    }

    void TearDown() override {
        views_.clear();
        processEvents();
        server_.reset();
        driver_.reset();
        QtApplicationTest::TearDown();
    }

    static std::string png(Qt::GlobalColor color) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(color);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes.toStdString();
    }

    LxAsyncImageView* makeView(const std::string& path,
                               std::optional<std::chrono::milliseconds> animation = {}) {
        const auto url = platform::Url::make(server_->url(path));
        EXPECT_TRUE(url);
        views_.push_back(std::make_unique<LxAsyncImageView>(*url, "AsyncPlaceholder", animation));
        views_.back()->resize(40, 30);
        return views_.back().get();
    }

    static QColor shown(LxAsyncImageView& view) { return view.grab().toImage().pixelColor(20, 15); }

    std::size_t requests(const std::string& path) const {
        std::size_t count = 0;
        for (const auto& request : server_->requests()) {
            count += request.path == path ? 1 : 0;
        }
        return count;
    }

    const QColor placeholder = QColor(0, 160, 0);
    std::unique_ptr<platform::qt::MainQueueDriver> driver_;
    std::unique_ptr<LocalHttpServer> server_;
    std::vector<std::unique_ptr<LxAsyncImageView>> views_;
};

TEST_F(LxAsyncImageViewTest, AShownViewFetchesOnceAndLaterViewsOfTheURLComeFromTheCache) {
    LxAsyncImageView& first = *makeView("/red.png");
    processEvents();
    EXPECT_EQ(requests("/red.png"), 0u) << "fetched before the view was shown";
    EXPECT_EQ(shown(first), placeholder);

    first.show();
    ASSERT_TRUE(processEventsUntil([&] { return !first.isFetching(); }));
    ASSERT_NE(first.imageState().image(), nullptr);
    EXPECT_EQ(shown(first), QColor(Qt::red)) << "the image is stretched over the whole view";
    EXPECT_EQ(requests("/red.png"), 1u);

    LxAsyncImageView& second = *makeView("/red.png");
    second.show();
    EXPECT_EQ(shown(second), placeholder) << "the cached image is painted before its turn";
    ASSERT_TRUE(processEventsUntil([&] { return second.imageState().image() != nullptr; }));
    EXPECT_EQ(shown(second), QColor(Qt::red));
    EXPECT_EQ(requests("/red.png"), 1u);

    // The same file under another URL text is another entry.
    LxAsyncImageView& third = *makeView("/red.png?again");
    third.show();
    ASSERT_TRUE(processEventsUntil([&] { return third.imageState().image() != nullptr; }));
    EXPECT_EQ(requests("/red.png"), 2u);
}

TEST_F(LxAsyncImageViewTest, AFailedFetchKeepsThePlaceholderAndCachesNothing) {
    for (const std::string path : {"/missing.png", "/gone.png", "/garbage.png"}) {
        SCOPED_TRACE(path);
        for (const std::size_t attempt : {1u, 2u}) {
            LxAsyncImageView& view = *makeView(path);
            view.show();
            ASSERT_TRUE(processEventsUntil([&] { return !view.isFetching(); }));
            EXPECT_NE(view.imageState().name(), nullptr);
            EXPECT_EQ(shown(view), placeholder);
            EXPECT_EQ(requests(path), attempt) << "a failure was cached";
        }
    }
}

TEST_F(LxAsyncImageViewTest, AViewGoneBeforeItsImageArrivesEndsTheFetch) {
    LxAsyncImageView* view = makeView("/slow.png");
    view->show();
    ASSERT_TRUE(processEventsUntil([&] { return requests("/slow.png") == 1; }));
    views_.clear();
    processEvents();

    // A view hidden while it waits stops waiting, and fetches again when shown again.
    LxAsyncImageView& hidden = *makeView("/slow.png");
    hidden.show();
    ASSERT_TRUE(processEventsUntil([&] { return requests("/slow.png") == 2; }));
    hidden.hide();
    EXPECT_FALSE(hidden.isFetching());
    processEvents();
    EXPECT_NE(hidden.imageState().name(), nullptr);
}

TEST_F(LxAsyncImageViewTest, WithAnAnimationTheImageFadesInOverThePlaceholder) {
    LxAnimation::setEnabled(true);
    LxAsyncImageView& view = *makeView("/blue.png", 400ms);
    view.show();
    ASSERT_TRUE(processEventsUntil([&] { return view.imageState().image() != nullptr; }));
    const QColor early = shown(view);
    EXPECT_NE(early, QColor(Qt::blue)) << "swapped without a fade";
    ASSERT_TRUE(processEventsUntil([&] { return shown(view) == QColor(Qt::blue); }));

    QWidget frame;
    frame.resize(120, 60);
    auto* placeholderView = new LxAsyncImageView(*platform::Url::make(server_->url("/missing")),
                                                 "AsyncPlaceholder", std::nullopt, &frame);
    placeholderView->setGeometry(0, 0, 60, 60);
    auto* imageView = new LxAsyncImageView(*platform::Url::make(server_->url("/red.png")),
                                           "AsyncPlaceholder", std::nullopt, &frame);
    imageView->setGeometry(60, 0, 60, 60);
    frame.show();
    ASSERT_TRUE(processEventsUntil([&] {
        return !placeholderView->isFetching() && imageView->imageState().image() != nullptr;
    }));
    renderAndKeep(frame, "async-image-placeholder-and-fetched");
}

}  // namespace
