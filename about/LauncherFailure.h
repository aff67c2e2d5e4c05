#pragma once

#include <QByteArray>
#include <QString>

#include <exception>
#include <utility>

namespace parlo {

// A run-time failure inside the browser launcher or one of its platform layers.
// It never leaves the launcher: each public routine catches it and returns its
// own error prefix followed by description().
class LauncherFailure : public std::exception {
public:
    explicit LauncherFailure(QString description)
        : m_description(std::move(description)), m_what(m_description.toUtf8()) {}

    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    QString m_description;
    QByteArray m_what;
};

} // namespace parlo
