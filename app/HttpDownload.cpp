#include "app/HttpDownload.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <functional>

namespace {

bool WebScheme(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// Errors that only restate the HTTP status of an answer that did arrive.
bool StatusOnly(const QNetworkReply& reply) {
    if (!reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) return false;
    const int e = reply.error();
    return (e >= QNetworkReply::ContentAccessDenied && e <= QNetworkReply::UnknownContentError) ||
           (e >= QNetworkReply::InternalServerError && e <= QNetworkReply::UnknownServerError);
}

} // namespace

bool HttpDownloadToFile(const QString& address, const QString& file,
                        const Platform::DownloadLimits& limits) {
    const QUrl url(address);
    if (!url.isValid() || !WebScheme(url)) return false;
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;

    // The system's preconfigured proxy settings.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    QNetworkAccessManager manager;
    // The user-agent text is the first address itself; nothing is taken from
    // or written to a cache. Redirects are followed here, one request each,
    // rather than inside the network module, whose own chained redirects can
    // end in an empty answer that claims success.
    auto requestFor = [&address](const QUrl& target) {
        QNetworkRequest request(target);
        request.setHeader(QNetworkRequest::UserAgentHeader, address);
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                             QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        request.setRawHeader("Pragma", "no-cache");
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::ManualRedirectPolicy);
        return request;
    };

    QEventLoop loop;
    QNetworkReply* reply = nullptr; // the current request's; the manager owns them all
    bool failed = false;
    bool done = false;
    int redirects = 0;
    qint64 received = 0;
    auto finish = [&] {
        done = true;
        loop.quit();
    };
    auto fail = [&] {
        failed = true;
        if (reply && !reply->isFinished()) reply->abort();
        finish();
    };
    auto drain = [&] {
        if (failed || !reply) return;
        while (reply->bytesAvailable() > 0) {
            const QByteArray chunk = reply->read(1024);
            if (chunk.isEmpty()) break;
            received += chunk.size();
            if (received > limits.maxBytes || out.write(chunk) != chunk.size()) {
                fail();
                return;
            }
        }
    };
    std::function<void(const QUrl&)> get = [&](const QUrl& target) {
        // Only the final answer counts: whatever came with a redirect goes.
        received = 0;
        if (!out.seek(0) || !out.resize(0)) {
            fail();
            return;
        }
        reply = manager.get(requestFor(target));
        QNetworkReply* current = reply;
        QObject::connect(current, &QNetworkReply::readyRead, &loop, drain);
        QObject::connect(current, &QNetworkReply::finished, &loop, [&, current] {
            if (failed || done || current != reply) return;
            drain();
            if (failed) return;
            const int status = current->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            const QVariant location =
                current->attribute(QNetworkRequest::RedirectionTargetAttribute);
            if (status >= 300 && status < 400 && location.isValid()) {
                const QUrl next = current->url().resolved(location.toUrl());
                if (!next.isValid() || !WebScheme(next) || ++redirects > limits.maxRedirects) {
                    fail();
                    return;
                }
                get(next);
                return;
            }
            finish();
        });
    };
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] { fail(); });
    timer.start(limits.timeoutMs);
    get(url);
    if (!done) loop.exec(QEventLoop::ExcludeUserInputEvents);
    timer.stop();

    // A finished HTTP answer has a final status; anything else is a failure.
    const bool answered =
        reply && reply->isFinished() &&
        reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 200 &&
        (reply->error() == QNetworkReply::NoError || StatusOnly(*reply));
    const bool ok = !failed && answered;
    if (!out.flush()) return false;
    out.close();
    return ok && out.error() == QFileDevice::NoError;
}
