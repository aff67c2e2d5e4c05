#pragma once

#include "ProgramStarter.h"

#include <QString>
#include <QStringList>

// Records every command line it is asked to start; can be made to fail every start.
class FakeProgramStarter final : public ProgramStarter {
public:
    void failWith(const QString& description) { m_failure = description; }
    void start(const QString& commandLine) override;

    QStringList commandLines;

private:
    QString m_failure;
};
