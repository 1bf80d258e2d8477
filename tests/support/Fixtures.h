#pragma once
// Test fixtures: temporary installation folders and fresh embedded databases.
#include "core/Banco.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace vx::test {

// A temporary installation folder (vornex.conf written from `conf` lines, GERAL section)
// and a fresh embedded database in it, at the current schema version.
class BancoTeste {
public:
    // `esquema` false: an empty database with no tables at all.
    explicit BancoTeste(bool esquema = true);
    ~BancoTeste();
    QString pasta() const { return m_dir.path(); }
    QString arquivo() const { return m_arquivo; }
    Conexao& conexao() { return *m_con; }
    Transacao& tr() { return *m_tr; }
    // Runs statements, each committed.
    void executa(const QString& sql);
    QVariant valor(const QString& sql);

private:
    QTemporaryDir m_dir;
    QString m_arquivo;
    std::unique_ptr<Conexao> m_con;
    std::unique_ptr<Transacao> m_tr;
};

// Writes `linhas` as the GERAL section of <pasta>/vornex.conf, makes it the installation folder
// and loads it.
void InstalaConfiguracao(const QString& pasta, const QStringList& linhas);

// Folder where screen PNGs of the gallery are written (build/screens).
QString PastaTelas();

} // namespace vx::test
