#pragma once
// The database file of a benchmark: "<nome>.fdb" in a new temporary folder under `pasta` (the
// system's temporary folder when null), removed at the end unless VX_BENCH_MANTER=1 keeps it for a
// look at the plans.
#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace vx::bench {

class BancoTemporario {
public:
    BancoTemporario(const char* nome, const char* pasta)
        : m_dir((pasta ? QDir(QString::fromLocal8Bit(pasta)) : QDir::temp()).filePath(QLatin1String(nome) + QStringLiteral("-XXXXXX")))
        , m_arquivo(m_dir.filePath(QLatin1String(nome) + QStringLiteral(".fdb")))
    {
        m_dir.setAutoRemove(qEnvironmentVariableIsEmpty("VX_BENCH_MANTER"));
    }
    QString arquivo() const { return m_arquivo; }
    bool mantido() const { return !m_dir.autoRemove(); }

private:
    QTemporaryDir m_dir;
    QString m_arquivo;
};

} // namespace vx::bench
