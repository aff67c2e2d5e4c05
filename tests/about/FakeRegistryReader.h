#pragma once

#include "RegistryReader.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// An in-memory local-machine hive that answers like the Win32 registry calls and
// records what the launcher asks of it.
class FakeRegistryReader final : public RegistryReader {
public:
    // Which queries of a value a configured failure hits.
    enum class FailedQuery { Every, DataRead };

    // A string value as the registry stores it: its bytes and a terminating NUL.
    void setString(const QByteArray& subKey, const QByteArray& name, const QByteArray& text);
    // A value holding exactly these bytes; empty bytes give a value of size 0.
    void setRawValue(const QByteArray& subKey, const QByteArray& name, const QByteArray& bytes);
    // Creates the key without any value.
    void addKey(const QByteArray& subKey);

    // Every open returns status and leaves the key 0.
    void failOpens(long status) { m_openStatus = status; }
    // Queries of the value return status: all of them, or only the one that
    // brings a buffer large enough for the data.
    void failQueries(const QByteArray& name, long status, FailedQuery which);
    // Every call throws LauncherFailure with this description, as a registry
    // that cannot be reached at all.
    void makeUnavailable(const QString& description) { m_unavailable = description; }

    long openLocalMachineKey(const QByteArray& subKey, quint32 options, quint32 accessMask,
                             RegistryKey& key) override;
    long queryValue(RegistryKey key, const QByteArray& valueName, quint32& type, char* data,
                    quint32& size) override;
    long closeKey(RegistryKey key) override;

    int opens() const { return static_cast<int>(openedKeys.size()); }
    int queries() const { return m_queries; }

    QList<QByteArray> openedKeys;
    QList<quint32> accessMasks;
    QList<quint32> openOptions;
    QList<RegistryKey> handedOutKeys;
    QList<RegistryKey> closedKeys;

private:
    void throwIfUnavailable() const;

    QHash<QByteArray, QHash<QByteArray, QByteArray>> m_keys;
    QHash<RegistryKey, QByteArray> m_openHandles;
    QHash<QByteArray, QPair<long, FailedQuery>> m_queryFailures;
    RegistryKey m_nextHandle = 0x100;
    long m_openStatus = 0;
    int m_queries = 0;
    QString m_unavailable;
};
