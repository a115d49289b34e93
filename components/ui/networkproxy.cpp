#include "components/ui/networkproxy.h"

#include <QNetworkAccessManager>

#include "components/ui/ansiqt.h"

namespace components::ui {

QNetworkProxy ToNetworkProxy(const std::optional<components::TProxyEndpoint>& endpoint) {
    if (!endpoint)
        return QNetworkProxy(QNetworkProxy::NoProxy);
    QNetworkProxy proxy(QNetworkProxy::HttpProxy, ToQString(endpoint->Host),
                        static_cast<quint16>(endpoint->Port));
    if (endpoint->Authenticate) {
        proxy.setUser(ToQString(endpoint->Username));
        proxy.setPassword(ToQString(endpoint->Password));
    }
    return proxy;
}

TProxyFactory::TProxyFactory(components::TProxySettings settings)
    : settings_(std::move(settings)) {}

QList<QNetworkProxy> TProxyFactory::queryProxy(const QNetworkProxyQuery& query) {
    const QUrl url = query.url();
    return {ToNetworkProxy(settings_.ProxyFor(FromQString(url.scheme()), FromQString(url.host())))};
}

void ApplyTo(const components::TProxySettings& settings, QNetworkAccessManager& manager) {
    manager.setProxyFactory(new TProxyFactory(settings));
}

} // namespace components::ui
