#pragma once
// Applies the program's proxy settings to a network access manager: each
// request asks the settings for its proxy (so that https addresses and the
// hosts of no_proxy get theirs), and Qt answers a proxy's request to log on
// with the user name and password the proxy carries (basic authentication).
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <optional>

#include "components/proxysettings.h"

class QNetworkAccessManager;

namespace components::ui {

QNetworkProxy ToNetworkProxy(const std::optional<components::TProxyEndpoint>& endpoint);

// A copy of the settings taken when it was made; answers every query.
class TProxyFactory : public QNetworkProxyFactory {
public:
    explicit TProxyFactory(components::TProxySettings settings);
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override;

private:
    components::TProxySettings settings_;
};

// Replaces the manager's proxy configuration with the settings as they are
// now; call it again after they change.
void ApplyTo(const components::TProxySettings& settings, QNetworkAccessManager& manager);

} // namespace components::ui
