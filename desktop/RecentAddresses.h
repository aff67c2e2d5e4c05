#pragma once

#include <QString>
#include <QStringList>

namespace parlo {

// The file in which the addresses this user called successfully are kept
// between runs: a JSON object whose "addresses" member is an array of strings.
class RecentAddresses {
public:
    // recent-addresses.json in the program's folder under the user's
    // configuration folder, for example ~/.config/parlocall/.
    static QString standardPath();

    explicit RecentAddresses(QString path) : m_path(std::move(path)) {}

    // The addresses as written; a missing, unreadable or corrupt file holds none.
    QStringList load() const;
    // Replaces the file as a whole (never left half written); false when it
    // could not be written.
    bool save(const QStringList& addresses) const;

private:
    QString m_path;
};

} // namespace parlo
