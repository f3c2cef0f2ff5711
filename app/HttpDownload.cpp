#include "app/HttpDownload.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

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
    QNetworkRequest request(url);
    // The user-agent text is the address itself; nothing is taken from or
    // written to a cache.
    request.setHeader(QNetworkRequest::UserAgentHeader, address);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Pragma", "no-cache");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(limits.maxRedirects);

    QNetworkReply* reply = manager.get(request);
    QEventLoop loop;
    bool failed = false;
    qint64 received = 0;
    auto fail = [&] {
        failed = true;
        reply->abort();
    };
    QObject::connect(reply, &QNetworkReply::redirected, reply, [&](const QUrl& target) {
        if (!WebScheme(target)) {
            fail();
            return;
        }
        // Only the final answer counts: whatever came with the redirect goes.
        received = 0;
        out.seek(0);
        out.resize(0);
        emit reply->redirectAllowed();
    });
    auto drain = [&] {
        if (failed) return;
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
    QObject::connect(reply, &QNetworkReply::readyRead, reply, drain);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, reply, [&] { fail(); });
    timer.start(limits.timeoutMs);

    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    timer.stop();
    drain();

    const bool ok = !failed && (reply->error() == QNetworkReply::NoError || StatusOnly(*reply));
    delete reply;
    if (!out.flush()) return false;
    out.close();
    return ok && out.error() == QFileDevice::NoError;
}
