#include "FakeRegistryReader.h"

#include "LauncherFailure.h"

#include <cstring>

void FakeRegistryReader::setString(const QByteArray& subKey, const QByteArray& name,
                                   const QByteArray& text) {
    setRawValue(subKey, name, text + '\0');
}

void FakeRegistryReader::setRawValue(const QByteArray& subKey, const QByteArray& name,
                                     const QByteArray& bytes) {
    m_keys[subKey][name] = bytes;
}

void FakeRegistryReader::addKey(const QByteArray& subKey) {
    m_keys[subKey];
}

void FakeRegistryReader::failQueries(const QByteArray& name, long status, FailedQuery which) {
    m_queryFailures.insert(name, {status, which});
}

void FakeRegistryReader::throwIfUnavailable() const {
    if (!m_unavailable.isEmpty()) {
        throw LauncherFailure(m_unavailable);
    }
}

long FakeRegistryReader::openLocalMachineKey(const QByteArray& subKey, quint32 options,
                                             quint32 accessMask, RegistryKey& key) {
    throwIfUnavailable();
    openedKeys.append(subKey);
    openOptions.append(options);
    accessMasks.append(accessMask);
    key = 0;
    if (m_openStatus != registry::kSuccess) {
        return m_openStatus;
    }
    if (!m_keys.contains(subKey)) {
        return registry::kFileNotFound;
    }
    key = m_nextHandle++;
    m_openHandles.insert(key, subKey);
    handedOutKeys.append(key);
    return registry::kSuccess;
}

long FakeRegistryReader::queryValue(RegistryKey key, const QByteArray& valueName, quint32& type,
                                    char* data, quint32& size) {
    throwIfUnavailable();
    ++m_queries;
    if (!m_openHandles.contains(key)) {
        return registry::kInvalidHandle;
    }
    const auto& values = m_keys.value(m_openHandles.value(key));
    if (!values.contains(valueName)) {
        return registry::kFileNotFound;
    }
    const QByteArray bytes = values.value(valueName);
    const auto needed = static_cast<quint32>(bytes.size());
    const bool bufferFits = size >= needed;
    if (m_queryFailures.contains(valueName)) {
        const auto [status, which] = m_queryFailures.value(valueName);
        if (which == FailedQuery::Every || bufferFits) {
            return status;
        }
    }
    if (!bufferFits) {
        size = needed;
        return registry::kMoreData;
    }
    std::memcpy(data, bytes.constData(), bytes.size());
    size = needed;
    type = registry::kRegSz;
    return registry::kSuccess;
}

long FakeRegistryReader::closeKey(RegistryKey key) {
    throwIfUnavailable();
    closedKeys.append(key);
    return m_openHandles.remove(key) ? registry::kSuccess : registry::kInvalidHandle;
}
