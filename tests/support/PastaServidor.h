#pragma once
// A folder the tests' own Firebird server may write, for databases opened as "host:path".
#include <QString>
#include <QTemporaryDir>

namespace vx::test {

class PastaServidor {
public:
    PastaServidor();
    // The server's host (VORNEX_TESTE_SERVIDOR); empty when the run has no server.
    static QString host();
    // "host:<folder>/arquivo".
    QString banco(const QString& arquivo) const;

private:
    QTemporaryDir m_dir;
};

} // namespace vx::test
