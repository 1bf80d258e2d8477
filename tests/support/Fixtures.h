#pragma once
// Test fixtures: temporary installation folders and fresh embedded databases.
#include "core/Banco.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
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
    // Detaches (so that another process may open the file) and attaches again.
    void desconecta();
    void reconecta();
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

// A whole file's bytes ("<ausente>" when it cannot be read), and writing one.
QByteArray LeArquivo(const QString& caminho);
void GravaArquivo(const QString& caminho, const QByteArray& dados);

// Writes `codigo` to `script`, runs it with /usr/bin/python3 and `args`, and waits for the port it
// prints once it listens. 0 (and the reason in *erro) when it did not start.
int IniciaServidorPython(QProcess& processo, const QString& script, const char* codigo, const QStringList& args,
                         QString* erro);

// Folder where screen PNGs of the gallery are written (build/screens).
QString PastaTelas();

} // namespace vx::test
