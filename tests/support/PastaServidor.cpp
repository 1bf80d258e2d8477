#include "support/PastaServidor.h"

#include <QDir>
#include <QFile>

namespace vx::test {

PastaServidor::PastaServidor() : m_dir(QDir::tempPath() + QStringLiteral("/vornex-srv-XXXXXX"))
{
    // The server process runs as another user.
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther |
                                            QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup);
}

QString PastaServidor::host()
{
    return qEnvironmentVariable("VORNEX_TESTE_SERVIDOR");
}

QString PastaServidor::banco(const QString& arquivo) const
{
    return host() + QLatin1Char(':') + QDir(m_dir.path()).filePath(arquivo);
}

} // namespace vx::test
