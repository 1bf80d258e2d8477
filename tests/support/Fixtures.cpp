#include "support/Fixtures.h"
#include "core/Configuracao.h"
#include "core/UDMCune.h"
#include "core/schema/Esquema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace vx::test {

namespace {
// One schema-complete database per test process; every BancoTeste gets a copy of it.
QString modelo(bool esquema)
{
    static QTemporaryDir dir;
    static QString comEsquema, vazio;
    QString& alvo = esquema ? comEsquema : vazio;
    if (alvo.isEmpty()) {
        const QString f = dir.filePath(esquema ? QStringLiteral("modelo.fdb") : QStringLiteral("vazio.fdb"));
        if (esquema) {
            CriaBancoNovo(f, {}, false);
        } else {
            Conexao::criaBanco(f, UsuarioBanco(), SenhaBanco(), false);
        }
        alvo = f;
    }
    return alvo;
}
} // namespace

BancoTeste::BancoTeste(bool esquema)
{
    m_arquivo = m_dir.filePath(QStringLiteral("teste.fdb"));
    QFile::copy(modelo(esquema), m_arquivo);
    QFile::setPermissions(m_arquivo, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_con = std::make_unique<Conexao>();
    m_con->conecta(m_arquivo, UsuarioBanco(), SenhaBanco());
    m_tr = std::make_unique<Transacao>(*m_con);
}

BancoTeste::~BancoTeste()
{
    m_tr.reset();
    m_con.reset();
}

void BancoTeste::desconecta()
{
    m_tr.reset();
    m_con.reset();
}

void BancoTeste::reconecta()
{
    m_con = std::make_unique<Conexao>();
    m_con->conecta(m_arquivo, UsuarioBanco(), SenhaBanco());
    m_tr = std::make_unique<Transacao>(*m_con);
}

void BancoTeste::executa(const QString& sql)
{
    m_tr->inicia();
    m_tr->executa(sql);
    m_tr->commit();
}

QVariant BancoTeste::valor(const QString& sql)
{
    m_tr->inicia();
    const QVariant v = m_tr->valor(sql);
    m_tr->commit();
    return v;
}

void InstalaConfiguracao(const QString& pasta, const QStringList& linhas)
{
    QFile f(QDir(pasta).filePath(QStringLiteral("vornex.conf")));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QByteArray b = "[GERAL]\r\n";
    for (const QString& l : linhas)
        b += l.toLatin1() + "\r\n";
    f.write(b);
    f.close();
    DefinePastaInstalacao(pasta);
    CarregaConfiguracao();
}

QString PastaTelas()
{
    const QString p = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../screens"));
    QDir().mkpath(p);
    return QDir(p).absolutePath();
}

QByteArray LeArquivo(const QString& caminho)
{
    QFile f(caminho);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<ausente>");
}

void GravaArquivo(const QString& caminho, const QByteArray& dados)
{
    QFile f(caminho);
    if (f.open(QIODevice::WriteOnly))
        f.write(dados);
}

int IniciaServidorPython(QProcess& processo, const QString& script, const char* codigo, const QStringList& args, QString* erro)
{
    GravaArquivo(script, codigo);
    processo.setProcessChannelMode(QProcess::SeparateChannels);
    processo.setStandardErrorFile(QProcess::nullDevice());
    processo.start(QStringLiteral("/usr/bin/python3"), QStringList{script} + args);
    if (!processo.waitForStarted(10000)) {
        if (erro)
            *erro = processo.errorString();
        return 0;
    }
    // The port is printed once the socket listens.
    while (!processo.canReadLine() && processo.state() == QProcess::Running)
        processo.waitForReadyRead(10000);
    if (!processo.canReadLine()) {
        if (erro)
            *erro = QStringLiteral("%1 did not start").arg(script);
        return 0;
    }
    return processo.readLine().trimmed().toInt();
}

} // namespace vx::test
