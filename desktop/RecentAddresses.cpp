#include "RecentAddresses.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace parlo {

namespace {

const QString kMember = QStringLiteral("addresses");
// Far more than a short list of addresses takes: a larger file is read in
// part, and so is not valid.
constexpr qint64 kMaxFileBytes = 64 * 1024;

} // namespace

QString RecentAddresses::standardPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
           QStringLiteral("/recent-addresses.json");
}

QStringList RecentAddresses::load() const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QJsonDocument document = QJsonDocument::fromJson(file.read(kMaxFileBytes));
    const QJsonValue list = document.object().value(kMember);
    QStringList addresses;
    for (const QJsonValue& address : list.toArray()) {
        if (!address.isString()) {
            return {};
        }
        addresses.append(address.toString());
    }
    return addresses;
}

bool RecentAddresses::save(const QStringList& addresses) const {
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        return false;
    }
    QSaveFile file(m_path);
    const QJsonObject content{{kMember, QJsonArray::fromStringList(addresses)}};
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(content).toJson()) >= 0 &&
           file.commit();
}

} // namespace parlo
